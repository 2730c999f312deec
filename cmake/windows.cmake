# The Windows build: the same sources cross-built with mingw-w64 (toolchain
# file cmake/mingw.cmake), with SDL 1.2 for Windows under the windowed
# programs. The pictures, the icon and the instrument bank come from a
# native build folder (TORVELIN_HOST_BUILD), whose generators made them.
#
#   torvelin.exe, torvelin-fullscreen.exe  windowed (GUI) programs
#   torvelin-capture.exe                   the capture tool, a console program
#
# Each carries the icon and its version as resources. The C and C++
# runtimes are linked in; the programs need only SDL.dll beside them.
set(TORVELIN_HOST_BUILD "${CMAKE_SOURCE_DIR}/build" CACHE PATH "Native build folder with the generated pictures, icon and bank")
set(TORVELIN_SDL_PREFIX "${CMAKE_BINARY_DIR}/sdl" CACHE PATH "SDL 1.2 built for Windows (scripts/windows_sdl.sh)")
set(TORVELIN_PNG_PREFIX "${CMAKE_BINARY_DIR}/png" CACHE PATH "zlib and libpng built for Windows (scripts/windows_png.sh)")

include(${CMAKE_SOURCE_DIR}/cmake/embedded_data.cmake)
set(picture_dir ${TORVELIN_HOST_BUILD}/generated/pictures)
set(bank_file ${TORVELIN_HOST_BUILD}/tools/bankgen/bank.bin)
set(bank_records ${TORVELIN_HOST_BUILD}/tools/bankgen/bank_records.s)
set(icon_file ${TORVELIN_HOST_BUILD}/generated/icons/torvelin.ico)
set(picture_files)
foreach(name ${TORVELIN_PICTURE_FILES})
  list(APPEND picture_files ${picture_dir}/${name})
endforeach()
foreach(file ${bank_file} ${bank_records} ${icon_file} ${picture_files})
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "${file} is missing: build the native targets tv_pictures, tv_bank and tv_icon first")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
endforeach()
foreach(file ${TORVELIN_SDL_PREFIX}/include/SDL/SDL.h ${TORVELIN_SDL_PREFIX}/lib/libSDL.dll.a)
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "${file} is missing: build SDL 1.2 for Windows first (scripts/windows_sdl.sh)")
  endif()
endforeach()

# GCC keeps 32-byte vector values on a stack that Windows aligns to 16
# only: the assembler turns their aligned moves into unaligned ones.
target_compile_options(tv_build_options INTERFACE -Wa,-muse-unaligned-vector-move)
# This GCC's -Wrestrict misfires inside std::string's inlined copies when
# a string is joined from a literal and a view (GCC bug 105329).
target_compile_options(tv_build_options INTERFACE -Wno-restrict)
# No DLLs of the compiler's: its runtimes and the threads library are linked
# in. SDL comes through its import library, named as a file.
target_link_options(tv_build_options INTERFACE -static)
# No link time in the PE headers: the same sources give the same programs.
target_link_options(tv_build_options INTERFACE -Wl,--no-insert-timestamp)

# Every module with the embedded pictures and bank, in the COFF assembler's syntax.
torvelin_cross_modules(tv_windows_modules coff ${picture_dir} ${bank_file} ${bank_records})
# The wide command line is split by shell32.
target_link_libraries(tv_windows_modules INTERFACE shell32)

torvelin_cross_backend(tv_windows_backend_sdl sdl)
target_sources(tv_windows_backend_sdl PRIVATE ${CMAKE_SOURCE_DIR}/src/platform/sdl_common/events_sdl.cpp
  ${CMAKE_SOURCE_DIR}/src/audio/sdl_common/sdlsnd_sdl_common.cpp)
target_include_directories(tv_windows_backend_sdl PRIVATE ${TORVELIN_SDL_PREFIX}/include)
torvelin_cross_backend(tv_windows_backend_headless headless)

# The icon, the manifest and the version of each program, from
# cmake/windows.rc.in and cmake/windows.manifest.in.
enable_language(RC)
string(REPLACE "." "," version_commas "${PROJECT_VERSION},0")
function(torvelin_windows_resources target description)
  set(TORVELIN_RC_NAME ${target})
  set(TORVELIN_RC_DESCRIPTION ${description})
  set(TORVELIN_RC_VERSION ${PROJECT_VERSION})
  set(TORVELIN_RC_VERSION_COMMAS ${version_commas})
  set(TORVELIN_RC_ICON ${icon_file})
  set(TORVELIN_RC_MANIFEST ${CMAKE_BINARY_DIR}/generated/${target}.manifest)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/windows.manifest.in ${TORVELIN_RC_MANIFEST} @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/windows.rc.in ${CMAKE_BINARY_DIR}/generated/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/generated/${target}.rc)
  set_source_files_properties(${CMAKE_BINARY_DIR}/generated/${target}.rc PROPERTIES
    OBJECT_DEPENDS "${icon_file};${TORVELIN_RC_MANIFEST}")
endfunction()

# The windowed programs start in SDL's WinMain (SDLmain), which calls
# SDL_main: their main is compiled as that, with SDL's declaration of it.
set(main_source ${CMAKE_SOURCE_DIR}/src/driver/main.cpp)
set_source_files_properties(${main_source} PROPERTIES
  INCLUDE_DIRECTORIES ${TORVELIN_SDL_PREFIX}/include COMPILE_OPTIONS "-include;SDL/SDL_main.h")
# gdi32: the desktop's scale (platform/desktop_windows.cpp).
set(sdl_libraries mingw32 ${TORVELIN_SDL_PREFIX}/lib/libSDLmain.a ${TORVELIN_SDL_PREFIX}/lib/libSDL.dll.a gdi32)
foreach(program torvelin torvelin-fullscreen)
  add_executable(${program} WIN32 ${main_source})
  target_link_libraries(${program} PRIVATE tv_windows_backend_sdl tv_windows_modules ${sdl_libraries})
endforeach()
target_sources(torvelin PRIVATE ${CMAKE_SOURCE_DIR}/src/driver/flavour_windowed.cpp)
target_sources(torvelin-fullscreen PRIVATE ${CMAKE_SOURCE_DIR}/src/driver/flavour_fullscreen.cpp)
torvelin_windows_resources(torvelin "TORVELIN, a real-time audiovisual intro")
torvelin_windows_resources(torvelin-fullscreen "TORVELIN, a real-time audiovisual intro, full screen")

# The capture tool, with zlib and libpng linked in for its PNG frames, and
# its --video through an ffmpeg.exe of the user's.
foreach(file ${TORVELIN_PNG_PREFIX}/include/png.h ${TORVELIN_PNG_PREFIX}/lib/libpng16.a ${TORVELIN_PNG_PREFIX}/lib/libz.a)
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "${file} is missing: build libpng for Windows first (scripts/windows_png.sh)")
  endif()
endforeach()
torvelin_system_sources(capture_sources ${CMAKE_SOURCE_DIR}/tools/capture)
torvelin_system_sources(outfile_sources ${CMAKE_SOURCE_DIR}/tools/outfile)
add_executable(torvelin-capture ${capture_sources} ${outfile_sources} ${CMAKE_SOURCE_DIR}/src/driver/flavour_windowed.cpp)
target_include_directories(torvelin-capture PRIVATE ${CMAKE_SOURCE_DIR}/tools/capture ${CMAKE_SOURCE_DIR}/tools/outfile
  ${TORVELIN_PNG_PREFIX}/include)
target_link_libraries(torvelin-capture PRIVATE tv_windows_backend_headless tv_windows_modules
  ${TORVELIN_PNG_PREFIX}/lib/libpng16.a ${TORVELIN_PNG_PREFIX}/lib/libz.a)
torvelin_windows_resources(torvelin-capture "TORVELIN's capture tool: frames and sound to files")

# The DLL beside the programs, so that they run from the build folder.
add_custom_target(tv_windows_sdl_dll ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TORVELIN_SDL_PREFIX}/bin/SDL.dll ${CMAKE_BINARY_DIR}/SDL.dll)

# The Windows build's checks under wine (label wine), with the native
# build's capture tests and reference capture.
if(BUILD_TESTING)
  add_test(NAME wine_programs COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/test_windows.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(wine_programs PROPERTIES LABELS wine ENVIRONMENT TORVELIN_HOST_BUILD=${TORVELIN_HOST_BUILD})
endif()
