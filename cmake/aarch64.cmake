# Cross-building for 64-bit ARM Linux with Debian's cross compiler
# (crossbuild-essential-arm64); the build's own programs (the picture and
# instrument generators, the test programs) run under qemu-user, so what
# gets embedded and tested is what arm64 code made.
#
#   cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64.cmake \
#         -DTORVELIN_ARM64_DEPS=<folder with arm64 libraries unpacked>
#
# TORVELIN_ARM64_DEPS holds arm64 libraries that the cross compiler lacks
# (libpng, zlib, SDL 1.2, GoogleTest), unpacked from Debian's packages;
# scripts/test_arm64.sh fills it.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

set(TORVELIN_ARM64_DEPS "" CACHE PATH "Folder with arm64 libraries unpacked from Debian's packages")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TORVELIN_ARM64_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu ${TORVELIN_ARM64_DEPS} ${TORVELIN_ARM64_DEPS}/gtest)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# GCC's note that passing some pairs changed in GCC 10 concerns mixing code
# of older compilers, which never happens here.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)

# pkg-config (for SDL) reads the arm64 .pc files only.
set(ENV{PKG_CONFIG_LIBDIR} "${TORVELIN_ARM64_DEPS}/usr/lib/aarch64-linux-gnu/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "${TORVELIN_ARM64_DEPS}")

# The loader and shared libraries of a dynamically linked program come from
# the cross toolchain's folder.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /usr/aarch64-linux-gnu)
