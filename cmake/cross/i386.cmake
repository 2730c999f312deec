# Cross-building for 32-bit x86 Linux with Debian's cross compiler
# (crossbuild-essential-i386); see linux.cmake.
set(TORVELIN_CROSS_TRIPLET i686-linux-gnu)
set(TORVELIN_CROSS_MULTIARCH i386-linux-gnu)
set(TORVELIN_CROSS_QEMU qemu-i386)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/linux.cmake)
