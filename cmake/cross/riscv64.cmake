# Cross-building for 64-bit RISC-V Linux with Debian's cross compiler
# (g++-riscv64-linux-gnu); see linux.cmake.
set(TORVELIN_CROSS_TRIPLET riscv64-linux-gnu)
set(TORVELIN_CROSS_QEMU qemu-riscv64)
set(CMAKE_SYSTEM_PROCESSOR riscv64)
include(${CMAKE_CURRENT_LIST_DIR}/linux.cmake)
