# The web build: the same sources compiled to WebAssembly with emscripten,
# the browser port of SDL 1.2 as the third backend. Used when the build is
# configured with emcmake. The pictures and the instrument bank come from a
# native build folder (TORVELIN_HOST_BUILD), whose generators made them.
#
#   intro-web      the page's program (intro-web.js + intro-web.wasm)
#   intro-web-one  the same page as one file, torvelin.html
#   intro-capture  the capture tool for node: raw frames and WAV sound
#   web-bench      the cost of each scene's frames, under node or in a page
#   intro-capture-node  a script that runs intro-capture.js under node
set(TORVELIN_HOST_BUILD "${CMAKE_SOURCE_DIR}/build" CACHE PATH "Native build folder with the generated pictures and bank")
option(TORVELIN_WEB_SIMD "Use WebAssembly SIMD through the SSE2 intrinsics" ON)

include(${CMAKE_SOURCE_DIR}/cmake/embedded_data.cmake)
set(picture_dir ${TORVELIN_HOST_BUILD}/generated/pictures)
set(bank_file ${TORVELIN_HOST_BUILD}/tools/bankgen/bank.bin)
set(bank_records ${TORVELIN_HOST_BUILD}/tools/bankgen/bank_records.s)
foreach(file ${bank_file} ${bank_records} ${TORVELIN_PICTURE_FILES})
  if(NOT IS_ABSOLUTE ${file})
    set(file ${picture_dir}/${file})
  endif()
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "${file} is missing: build the native targets tv_pictures and tv_bank first")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
endforeach()

# The page's icon, drawn by the native build's icon generator.
set(icon_file ${TORVELIN_HOST_BUILD}/generated/icons/32/torvelin.png)
if(NOT EXISTS ${icon_file})
  message(FATAL_ERROR "${icon_file} is missing: build the native target tv_icon first")
endif()

if(TORVELIN_WEB_SIMD)
  target_compile_options(tv_build_options INTERFACE -msse2 -msimd128)
endif()

# Every module, the windowed flavour and the embedded data, in WebAssembly's
# assembler syntax.
torvelin_cross_modules(tv_web_modules wasm ${picture_dir} ${bank_file} ${bank_records}
  ${CMAKE_SOURCE_DIR}/src/driver/flavour_windowed.cpp)

torvelin_cross_backend(tv_web_backend_web web)
# Keys, the clock and the sound device go through the same SDL 1.2 calls as
# on the desktop.
target_sources(tv_web_backend_web PRIVATE ${CMAKE_SOURCE_DIR}/src/platform/sdl_common/events_sdl.cpp
  ${CMAKE_SOURCE_DIR}/src/audio/sdl_common/sdlsnd_sdl_common.cpp)
torvelin_cross_backend(tv_web_backend_headless headless)

set(web_link_options -O3 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=64MB)

add_executable(intro-web ${CMAKE_SOURCE_DIR}/src/driver/web/main.cpp)
target_link_libraries(intro-web PRIVATE tv_web_backend_web tv_web_modules)
target_link_options(intro-web PRIVATE ${web_link_options} -sENVIRONMENT=web)
# The page's folder: the page, its style, script and icon, and the program,
# ready for any static server. Nothing is inline, so the page plays under a
# strict security policy (script-src 'self' 'wasm-unsafe-eval').
set(site_dir ${CMAKE_BINARY_DIR}/site)
set(page_dir ${CMAKE_SOURCE_DIR}/src/driver/web)
set(page_files ${page_dir}/index.html ${page_dir}/page.css ${page_dir}/page.js)
add_custom_command(TARGET intro-web POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory ${site_dir}
  COMMAND ${CMAKE_COMMAND} -E copy ${page_files}
          $<TARGET_FILE_DIR:intro-web>/intro-web.js $<TARGET_FILE_DIR:intro-web>/intro-web.wasm ${site_dir}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/LICENSE ${site_dir}/LICENSE.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${icon_file} ${site_dir}/icon.png
  VERBATIM)
set_property(TARGET intro-web APPEND PROPERTY LINK_DEPENDS ${page_files})

# The same page as one file, site/torvelin.html, with the WebAssembly inside
# its script: it plays when opened straight from the disk.
add_executable(intro-web-one ${CMAKE_SOURCE_DIR}/src/driver/web/main.cpp)
target_link_libraries(intro-web-one PRIVATE tv_web_backend_web tv_web_modules)
target_link_options(intro-web-one PRIVATE ${web_link_options} -sENVIRONMENT=web -sSINGLE_FILE=1)
add_custom_command(TARGET intro-web-one POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory ${site_dir}
  COMMAND ${CMAKE_COMMAND} -DPAGE_FOLDER=${page_dir}
          -DSCRIPT=$<TARGET_FILE_DIR:intro-web-one>/intro-web-one.js -DOUT=${site_dir}/torvelin.html
          -P ${CMAKE_SOURCE_DIR}/cmake/web_one_file.cmake
  VERBATIM)
set_property(TARGET intro-web-one APPEND PROPERTY LINK_DEPENDS ${page_files} ${CMAKE_SOURCE_DIR}/cmake/web_one_file.cmake)

# No child processes and no PNG library here.
torvelin_system_sources(capture_sources ${CMAKE_SOURCE_DIR}/tools/capture WITHOUT video_posix)
torvelin_system_sources(outfile_sources ${CMAKE_SOURCE_DIR}/tools/outfile WITHOUT pngout)
add_executable(intro-capture ${capture_sources} ${outfile_sources})
target_include_directories(intro-capture PRIVATE ${CMAKE_SOURCE_DIR}/tools/capture ${CMAKE_SOURCE_DIR}/tools/outfile)
target_link_libraries(intro-capture PRIVATE tv_web_backend_headless tv_web_modules)
target_link_options(intro-capture PRIVATE ${web_link_options} -sENVIRONMENT=node -sNODERAWFS=1 -sEXIT_RUNTIME=1
  --pre-js ${CMAKE_SOURCE_DIR}/tools/capture/node_streams.js)
set_property(TARGET intro-capture APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/tools/capture/node_streams.js)

# The page's own work per frame, scene by scene: node build-web/web-bench.js,
# or build-web/web-bench.html in a browser (the numbers go to the console).
add_executable(web-bench ${CMAKE_SOURCE_DIR}/bench/web/scene_cost.cpp)
target_link_libraries(web-bench PRIVATE tv_web_backend_headless tv_web_modules)
target_link_options(web-bench PRIVATE ${web_link_options} -sENVIRONMENT=web,node)
file(WRITE ${CMAKE_BINARY_DIR}/web-bench.html
  "<!DOCTYPE html><meta charset=\"utf-8\"><title>web-bench</title><link rel=\"icon\" href=\"data:,\">\n"
  "<script src=\"web-bench.js\"></script>\n")

# Runs intro-capture's WebAssembly build under node like a program.
file(WRITE ${CMAKE_BINARY_DIR}/intro-capture-node
  "#!/bin/sh\nexec node --no-experimental-fetch ${CMAKE_BINARY_DIR}/intro-capture.js \"$@\"\n")
file(CHMOD ${CMAKE_BINARY_DIR}/intro-capture-node PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
  GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The web build's checks (label web): intro-capture under node held to the
# stored digests by the native build's regression tests, and the page in
# headless Chromium, driven by puppeteer-core, which npm installs first
# (the system's Chromium is used: puppeteer never downloads a browser).
if(BUILD_TESTING)
  add_test(NAME web_regression COMMAND ${CMAKE_CTEST_COMMAND} --test-dir ${TORVELIN_HOST_BUILD}
    -L ^regression$ --no-tests=error --output-on-failure)
  set_tests_properties(web_regression PROPERTIES LABELS "web;regression"
    ENVIRONMENT TORVELIN_CAPTURE_PROGRAM=${CMAKE_BINARY_DIR}/intro-capture-node)
  # The sound onto a pipe as into a file.
  add_test(NAME web_sound_on_standard_output COMMAND sh -c
    "\"$0\" --quiet --frames 20 --wav \"$1\" && \"$0\" --quiet --frames 20 --wav - | cmp - \"$1\""
    ${CMAKE_BINARY_DIR}/intro-capture-node ${CMAKE_BINARY_DIR}/sound_on_standard_output.wav)
  set_tests_properties(web_sound_on_standard_output PROPERTIES LABELS web)
  add_test(NAME web_page_driver COMMAND npm ci --no-audit --no-fund --loglevel=error
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/web)
  set_tests_properties(web_page_driver PROPERTIES LABELS web FIXTURES_SETUP web_page_driver
    ENVIRONMENT PUPPETEER_SKIP_DOWNLOAD=1)
  add_test(NAME web_page COMMAND node --test tests/web/ WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  set_tests_properties(web_page PROPERTIES LABELS web FIXTURES_REQUIRED web_page_driver
    ENVIRONMENT "TORVELIN_SITE=${CMAKE_BINARY_DIR}/site;TORVELIN_SHOTS=${CMAKE_BINARY_DIR}/screenshots")
endif()
