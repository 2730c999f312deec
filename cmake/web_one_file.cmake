# Writes the page as one file: the page with its program's script (built
# with the WebAssembly inside it) in place of the tag that loads it.
#   cmake -DPAGE=index.html -DSCRIPT=intro-web-one.js -DOUT=torvelin.html -P web_one_file.cmake
file(READ ${PAGE} page)
file(READ ${SCRIPT} script)
set(tag "<script src=\"intro-web.js\"></script>")
string(FIND "${page}" "${tag}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${PAGE} has no ${tag} to replace")
endif()
string(FIND "${script}" "</script" closing)
if(NOT closing EQUAL -1)
  message(FATAL_ERROR "${SCRIPT} holds </script and cannot be put inside the page")
endif()
string(REPLACE "${tag}" "<script>\n${script}</script>" page "${page}")
file(WRITE ${OUT} "${page}")
