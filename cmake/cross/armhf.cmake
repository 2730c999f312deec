# Cross-building for 32-bit ARM Linux (ARMv7, hard float) with Debian's cross compiler
# (crossbuild-essential-armhf); see linux.cmake.
set(TORVELIN_CROSS_TRIPLET arm-linux-gnueabihf)
set(TORVELIN_CROSS_QEMU qemu-arm)
set(CMAKE_SYSTEM_PROCESSOR arm)
include(${CMAKE_CURRENT_LIST_DIR}/linux.cmake)
