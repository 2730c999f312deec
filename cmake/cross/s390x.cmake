# Cross-building for 64-bit s390x Linux (big-endian) with Debian's cross compiler
# (crossbuild-essential-s390x); see linux.cmake.
set(TORVELIN_CROSS_TRIPLET s390x-linux-gnu)
set(TORVELIN_CROSS_QEMU qemu-s390x)
set(CMAKE_SYSTEM_PROCESSOR s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux.cmake)
