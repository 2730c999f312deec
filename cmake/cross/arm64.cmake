# Cross-building for 64-bit ARM Linux with Debian's cross compiler
# (crossbuild-essential-arm64); see linux.cmake.
set(TORVELIN_CROSS_TRIPLET aarch64-linux-gnu)
set(TORVELIN_CROSS_QEMU qemu-aarch64)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux.cmake)
