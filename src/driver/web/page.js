// The page's script: the picture's fit, the start, the touch controls,
// and the program's settings (Module), set before intro-web.js loads.
(function () {
  'use strict';
  var page = document.getElementById('page');
  var canvas = document.getElementById('canvas');
  var stage = document.getElementById('stage');
  var overlay = document.getElementById('overlay');
  var prompt = document.getElementById('prompt');
  var bar = document.getElementById('bar');
  var help = document.getElementById('help');
  var touch = document.getElementById('touch');
  var fullscreen = document.getElementById('fullscreen');
  var coarsePointer = window.matchMedia('(pointer: coarse)');
  var gap = 8;  // between the picture and the bar, as in the style
  var ready = false;
  var playing = false;
  var failed = false;

  // Whole device pixels per picture pixel: the largest factor that fits,
  // counted in device pixels; 0 when even the picture itself does not fit.
  function fittingFactor(width, height, ratio) {
    return Math.floor(Math.min(width, height) * ratio / 256);
  }
  function factorFor(width, height, ratio) {
    return Math.max(1, fittingFactor(width, height, ratio));
  }

  // The bar below or beside the picture, whichever leaves the larger
  // picture; a tie keeps it below, except for touch controls in landscape.
  // In a window too small for the picture and the bar, the bar goes
  // (class "bare"): the picture is never cut while the window holds it.
  function arrange(ratio) {
    var sideways = coarsePointer.matches && window.innerWidth > window.innerHeight;
    var best = null;
    ['below', 'beside'].forEach(function (side) {
      page.className = side;
      var width = window.innerWidth - (side === 'beside' ? bar.offsetWidth + gap : 0);
      var height = window.innerHeight - (side === 'below' ? bar.offsetHeight + gap : 0);
      var factor = fittingFactor(width, height, ratio);
      if (!best || factor > best.factor || (factor === best.factor && sideways)) best = { side: side, factor: factor };
    });
    if (best.factor === 0) {
      page.className = 'bare';
      return factorFor(window.innerWidth, window.innerHeight, ratio);
    }
    page.className = best.side;
    return best.factor;
  }

  // Sizes the picture and puts it on whole device pixels, in the middle of
  // the stage.
  function fit() {
    var ratio = window.devicePixelRatio || 1;
    var full = document.fullscreenElement === stage;
    help.hidden = coarsePointer.matches;
    touch.hidden = !coarsePointer.matches;
    var factor = full ? factorFor(stage.clientWidth, stage.clientHeight, ratio) : arrange(ratio);
    var size = factor * 256 / ratio;
    var root = document.documentElement.style;
    root.setProperty('--size', size + 'px');
    var box = stage.getBoundingClientRect();
    function onDevicePixel(start, length) {
      return Math.round((start + (length - size) / 2) * ratio) / ratio;
    }
    root.setProperty('--place', 'translate(' + onDevicePixel(box.left, box.width) + 'px, ' +
                     onDevicePixel(box.top, box.height) + 'px) scale(' + factor / ratio + ')');
  }

  // A change of devicePixelRatio (another screen, page zoom) shows as the
  // end of a match for the current ratio: watch for it anew each time.
  var ratioQuery = null;
  function watchRatio() {
    if (ratioQuery) ratioQuery.removeEventListener('change', onRatioChange);
    ratioQuery = window.matchMedia('(resolution: ' + (window.devicePixelRatio || 1) + 'dppx)');
    ratioQuery.addEventListener('change', onRatioChange);
  }
  function onRatioChange() { watchRatio(); fit(); }
  watchRatio();
  window.addEventListener('resize', fit);
  window.addEventListener('orientationchange', fit);
  coarsePointer.addEventListener('change', fit);
  document.addEventListener('fullscreenchange', function () { fit(); canvas.focus(); });
  fullscreen.hidden = !document.fullscreenEnabled;
  fit();

  fullscreen.addEventListener('click', function () {
    if (document.fullscreenElement) document.exitFullscreen();
    else if (stage.requestFullscreen) stage.requestFullscreen().catch(function () {});
  });

  // Browsers play sound only after the viewer did something: the intro,
  // and its audio, start on the first click, tap or key.
  function start(event) {
    if (!ready || playing) return;
    if (event) event.preventDefault();
    playing = true;
    overlay.hidden = true;
    canvas.focus();
    Module._torvelin_start();
  }
  overlay.addEventListener('click', start);
  window.addEventListener('keydown', function (event) {
    if (!overlay.hidden && !event.repeat) start(event);
  });

  // A touch control types its key on the canvas, where the keyboard's go.
  // The key is held until the intro has played a frame (at least 40 ms),
  // since the intro reads what is down once a frame.
  function typeKey(code) {
    function send(type) {
      var event = new KeyboardEvent(type, { bubbles: true, cancelable: true });
      Object.defineProperty(event, 'keyCode', { value: code });
      canvas.dispatchEvent(event);
    }
    var pressed = performance.now();
    var frame = Module._torvelin_frames();
    send('keydown');
    (function release() {
      var held = performance.now() - pressed;
      if (held >= 40 && (Module._torvelin_frames() !== frame || held >= 500)) send('keyup');
      else window.requestAnimationFrame(release);
    })();
  }
  touch.addEventListener('click', function (event) {
    var button = event.target.closest('button');
    if (!button) return;
    if (playing) typeKey(Number(button.dataset.key));
    else start(event);
  });

  // A hidden tab gets no animation callbacks, so no frames: the sound is
  // held with them, and both go on together when the tab shows again.
  var soundHeld = false;
  document.addEventListener('visibilitychange', function () {
    var sound = window.SDL && window.SDL.audioContext;
    if (document.hidden) {
      soundHeld = !!sound && sound.state === 'running';
      if (soundHeld) sound.suspend();
    } else {
      if (soundHeld) sound.resume();
      soundHeld = false;
      if (ready) Module._torvelin_shown();
    }
  });

  // One short line in place of "loading…" when the program cannot start.
  var blockedByPolicy = false;
  function failure(reason) {
    // The one-file page carries the line for its policy (#blocked).
    var oneFile = document.getElementById('blocked');
    if (blockedByPolicy) {
      return oneFile ? oneFile.textContent
        : 'This host\'s security policy blocks the intro: it needs script-src \'self\' \'wasm-unsafe-eval\'.';
    }
    if (location.protocol === 'file:') {
      return 'This page cannot load its program from the disk: open torvelin.html instead, or serve the folder with bash scripts/web.sh.';
    }
    return 'The intro could not load (' + reason + '): reload the page.';
  }
  function fail(reason) {
    if (ready || failed) return;
    failed = true;
    prompt.className = 'failed';
    prompt.textContent = failure(reason);
  }
  // A policy that lets the scripts run may still refuse to compile the
  // WebAssembly, or to run the inline program of the one-file page.
  document.addEventListener('securitypolicyviolation', function (event) {
    if (!/^script-src/.test(event.effectiveDirective)) return;
    blockedByPolicy = true;
    fail('blocked');
  });
  // A script that does not load, an error, or a refused fetch of the .wasm
  // (which the loader leaves unhandled) before the program is ready.
  window.addEventListener('error', function (event) {
    fail(event.message || 'intro-web.js is missing');
  }, true);
  window.addEventListener('unhandledrejection', function (event) {
    fail(event.reason && event.reason.message || String(event.reason));
  });
  // From a file address the browser hides the script's errors from the
  // page; the program, read from the disk, is ready within a moment or not
  // at all.
  if (location.protocol === 'file:') {
    window.setTimeout(function () { fail('not ready'); }, 3000);
  }

  window.Module = {
    canvas: canvas,
    // Keys go to the canvas, which keeps the focus.
    keyboardListeningElement: canvas,
    // The program only writes the screen: no read-back before each frame.
    screenIsReadOnly: true,
    SDL_numSimultaneouslyQueuedBuffers: 3,
    print: function (text) { console.log(text); },
    printErr: function (text) { console.error(text); },
    onAbort: function (what) { fail(String(what)); },
    onRuntimeInitialized: function () {
      ready = true;
      prompt.className = '';
      prompt.textContent = coarsePointer.matches ? 'tap to start' : 'click or press any key';
    },
    // After the exit fade: offer to play again.
    onIntroEnd: function () {
      playing = false;
      prompt.textContent = coarsePointer.matches ? 'play again: tap' : 'play again: click or press any key';
      overlay.hidden = false;
      overlay.focus();
    }
  };
  canvas.addEventListener('click', function () { canvas.focus(); });
  canvas.addEventListener('contextmenu', function (event) { event.preventDefault(); });
})();
