# The Linux tarball's build (scripts/linux_bundle.sh): programs that run on
# any x86-64 distribution with the C library 2.34 or later. The C++
# runtime, libpng and zlib are linked in (a distribution may have another
# libpng); the SDL comes from lib/ beside the programs through their run
# path; libgcc_s, which every distribution installs, stays shared (its
# static unwinder needs the C library 2.35).
set(TORVELIN_SDL_PREFIX "${CMAKE_BINARY_DIR}/sdl" CACHE PATH "SDL 1.2 built for the Linux tarball (scripts/linux_sdl.sh)")
if(NOT EXISTS ${TORVELIN_SDL_PREFIX}/lib/pkgconfig/sdl.pc)
  message(FATAL_ERROR "${TORVELIN_SDL_PREFIX} holds no SDL 1.2: build it first (scripts/linux_sdl.sh)")
endif()
set(ENV{PKG_CONFIG_PATH} ${TORVELIN_SDL_PREFIX}/lib/pkgconfig)
find_library(PNG_LIBRARY_RELEASE NAMES libpng16.a libpng.a)
find_library(ZLIB_LIBRARY_RELEASE NAMES libz.a)
target_link_options(tv_build_options INTERFACE -static-libstdc++)
set(CMAKE_BUILD_WITH_INSTALL_RPATH ON)
set(CMAKE_INSTALL_RPATH "\$ORIGIN/lib")

add_library(tv_portable_libc OBJECT ${CMAKE_SOURCE_DIR}/cmake/portable/arc4random.c)
function(torvelin_portable_programs)
  foreach(program intro intro-fullscreen intro-capture)
    if(TARGET ${program})
      target_link_libraries(${program} PRIVATE tv_portable_libc)
    endif()
  endforeach()
  # The tarball made from this build folder, played with the system's SDL
  # hidden (ctest -R linux_tarball, after scripts/linux_bundle.sh).
  add_test(NAME linux_tarball COMMAND bash ${CMAKE_SOURCE_DIR}/tests/linux/tarball_runs.sh
    ${CMAKE_BINARY_DIR}/torvelin-${PROJECT_VERSION}-linux-x86_64.tar.gz)
  set_tests_properties(linux_tarball PROPERTIES LABELS linux TIMEOUT 300)
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL torvelin_portable_programs)
