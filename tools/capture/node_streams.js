// Loaded before intro-capture's WebAssembly build under node. The runtime
// calls its standard streams terminals whatever they are; tell it the
// truth, so --raw into a pipe is allowed and progress knows where it goes.
// Its argv[0] would otherwise be "./this.program".
Module['thisProgram'] = 'intro-capture';
Module['onRuntimeInitialized'] = function() {
  var tty = require('tty');
  for (var fd = 0; fd < 3; fd++) {
    if (FS.streams[fd]) FS.streams[fd].tty = tty.isatty(fd);
  }
};
