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

include_directories(${CMAKE_SOURCE_DIR}/src)
# GCC keeps 32-byte vector values on a stack that Windows aligns to 16
# only: the assembler turns their aligned moves into unaligned ones.
add_compile_options(-Wa,-muse-unaligned-vector-move)
# This GCC's -Wrestrict misfires inside std::string's inlined copies when
# a string is joined from a literal and a view (GCC bug 105329).
add_compile_options(-Wno-restrict)
# No DLLs of the compiler's: its runtimes and the threads library are linked
# in. SDL comes through its import library, named as a file.
add_link_options(-static)
# No link time in the PE headers: the same sources give the same programs.
add_link_options(-Wl,--no-insert-timestamp)

# Every module with the embedded pictures and bank, in the COFF assembler's syntax.
torvelin_cross_modules(tv_windows_modules coff ${picture_dir} ${bank_file} ${bank_records})

torvelin_cross_backend(tv_windows_backend_sdl sdl)
target_include_directories(tv_windows_backend_sdl PRIVATE ${TORVELIN_SDL_PREFIX}/include)
torvelin_cross_backend(tv_windows_backend_headless headless)

# The version and the icon of each program, from cmake/windows.rc.in.
enable_language(RC)
string(REPLACE "." "," version_commas "${PROJECT_VERSION},0")
function(torvelin_windows_resources target description)
  set(TORVELIN_RC_NAME ${target})
  set(TORVELIN_RC_DESCRIPTION ${description})
  set(TORVELIN_RC_VERSION ${PROJECT_VERSION})
  set(TORVELIN_RC_VERSION_COMMAS ${version_commas})
  set(TORVELIN_RC_ICON ${icon_file})
  configure_file(${CMAKE_SOURCE_DIR}/cmake/windows.rc.in ${CMAKE_BINARY_DIR}/generated/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/generated/${target}.rc)
  set_source_files_properties(${CMAKE_BINARY_DIR}/generated/${target}.rc PROPERTIES OBJECT_DEPENDS ${icon_file})
endfunction()

# The windowed programs start in SDL's WinMain (SDLmain), which calls
# SDL_main: their main is compiled as that, with SDL's declaration of it.
set(main_source ${CMAKE_SOURCE_DIR}/src/driver/main.cpp)
set_source_files_properties(${main_source} PROPERTIES
  INCLUDE_DIRECTORIES ${TORVELIN_SDL_PREFIX}/include COMPILE_OPTIONS "-include;SDL/SDL_main.h")
set(sdl_libraries mingw32 ${TORVELIN_SDL_PREFIX}/lib/libSDLmain.a ${TORVELIN_SDL_PREFIX}/lib/libSDL.dll.a)
foreach(program torvelin torvelin-fullscreen)
  add_executable(${program} WIN32 ${main_source})
  target_link_libraries(${program} PRIVATE tv_windows_backend_sdl tv_windows_modules ${sdl_libraries})
endforeach()
target_sources(torvelin PRIVATE ${CMAKE_SOURCE_DIR}/src/driver/flavour_windowed.cpp)
target_sources(torvelin-fullscreen PRIVATE ${CMAKE_SOURCE_DIR}/src/driver/flavour_fullscreen.cpp)
torvelin_windows_resources(torvelin "TORVELIN, a real-time audiovisual intro")
torvelin_windows_resources(torvelin-fullscreen "TORVELIN, a real-time audiovisual intro, full screen")

# The capture tool writes raw frames and WAV sound (no PNG library here;
# no --video, which starts ffmpeg as a child process the POSIX way).
set(capture_dir ${CMAKE_SOURCE_DIR}/tools/capture)
set(outfile_dir ${CMAKE_SOURCE_DIR}/tools/outfile)
file(GLOB outfile_sources ${outfile_dir}/*.cpp)
list(FILTER outfile_sources EXCLUDE REGEX "_${TORVELIN_OTHER_OS}\\.cpp$")
add_executable(torvelin-capture ${capture_dir}/main.cpp ${capture_dir}/options.cpp ${capture_dir}/frames.cpp
  ${capture_dir}/console_windows.cpp ${capture_dir}/video_none.cpp ${outfile_sources} ${CMAKE_SOURCE_DIR}/src/driver/flavour_windowed.cpp)
target_include_directories(torvelin-capture PRIVATE ${capture_dir} ${outfile_dir})
target_link_libraries(torvelin-capture PRIVATE tv_windows_backend_headless tv_windows_modules)
torvelin_windows_resources(torvelin-capture "TORVELIN's capture tool: frames and sound to files")

# The DLL beside the programs, so that they run from the build folder.
add_custom_target(tv_windows_sdl_dll ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TORVELIN_SDL_PREFIX}/bin/SDL.dll ${CMAKE_BINARY_DIR}/SDL.dll)
