# Writes the page as one file: the page with its style, its script and its
# program's script (built with the WebAssembly inside it) in place of the
# tags that load them.
#   cmake -DPAGE_FOLDER=src/driver/web -DSCRIPT=intro-web-one.js -DOUT=torvelin.html -P web_one_file.cmake
#
# Inline style and script are what a strict security policy blocks. The
# page then shows, unstyled, the line put first in its body, which its
# first inline script hides as soon as scripts may run.
file(READ ${PAGE_FOLDER}/index.html page)
file(READ ${PAGE_FOLDER}/page.css style)
file(READ ${PAGE_FOLDER}/page.js page_script)
file(READ ${SCRIPT} script)

function(replace_tag tag replacement)
  string(FIND "${page}" "${tag}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${PAGE_FOLDER}/index.html has no ${tag} to replace")
  endif()
  string(REPLACE "${tag}" "${replacement}" page "${page}")
  set(page "${page}" PARENT_SCOPE)
endfunction()

foreach(inlined script page_script)
  string(FIND "${${inlined}}" "</script" closing)
  if(NOT closing EQUAL -1)
    message(FATAL_ERROR "a script holds </script and cannot be put inside the page")
  endif()
endforeach()

set(blocked_line "<p id=\"blocked\">This host's security policy blocks torvelin.html, the page in one file: serve the folder with index.html instead.</p>\n<script>document.getElementById('blocked').hidden = true;</script>")
# No icon file travels with the one file.
replace_tag("<link rel=\"icon\" href=\"icon.png\">" "<link rel=\"icon\" href=\"data:,\">")
replace_tag("<link rel=\"stylesheet\" href=\"page.css\">" "<style>\n${style}</style>")
replace_tag("<body>\n" "<body>\n${blocked_line}\n")
replace_tag("<script src=\"page.js\"></script>" "<script>\n${page_script}</script>")
replace_tag("<script src=\"intro-web.js\"></script>" "<script>\n${script}</script>")
file(WRITE ${OUT} "${page}")
