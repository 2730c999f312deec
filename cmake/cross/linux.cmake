# What every cross build for Linux shares; cmake/cross/<arch>.cmake sets the
# architecture's names and includes this file:
#
#   TORVELIN_CROSS_TRIPLET   the prefix of the target's cross compiler
#   TORVELIN_CROSS_MULTIARCH the folder of its libraries under usr/lib/ (the
#                            triplet unless set; i386 differs)
#   TORVELIN_CROSS_QEMU      the qemu-user program that runs its code
#   CMAKE_SYSTEM_PROCESSOR   the processor, as CMake names it
#
# The build's own programs (the picture and instrument generators, the test
# programs) run under qemu-user, so what gets embedded and tested is what
# the target's code made.
#
#   cmake -S . -B build-ARCH -DCMAKE_TOOLCHAIN_FILE=cmake/cross/ARCH.cmake \
#         -DTORVELIN_CROSS_DEPS=<folder with the target's libraries unpacked>
#
# TORVELIN_CROSS_DEPS holds the target's libraries that the cross compiler
# lacks (libpng, zlib, SDL 1.2, GoogleTest), unpacked from Debian's
# packages; scripts/test_cross.sh fills it.
if(NOT TORVELIN_CROSS_MULTIARCH)
  set(TORVELIN_CROSS_MULTIARCH ${TORVELIN_CROSS_TRIPLET})
endif()
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${TORVELIN_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${TORVELIN_CROSS_TRIPLET}-g++)

set(TORVELIN_CROSS_DEPS "" CACHE PATH "Folder with the target's libraries unpacked from Debian's packages")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TORVELIN_CROSS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/${TORVELIN_CROSS_TRIPLET} ${TORVELIN_CROSS_DEPS} ${TORVELIN_CROSS_DEPS}/gtest)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# GCC's note that passing some pairs changed in GCC 10 (or 7.1 on 32-bit
# ARM) concerns mixing code of older compilers, which never happens here.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)

# pkg-config (for SDL) reads the target's .pc files only.
set(ENV{PKG_CONFIG_LIBDIR} "${TORVELIN_CROSS_DEPS}/usr/lib/${TORVELIN_CROSS_MULTIARCH}/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "${TORVELIN_CROSS_DEPS}")

# The loader and shared libraries of a dynamically linked program come from
# the cross toolchain's folder.
set(CMAKE_CROSSCOMPILING_EMULATOR ${TORVELIN_CROSS_QEMU} -L /usr/${TORVELIN_CROSS_TRIPLET})
