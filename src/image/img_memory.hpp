// The memory under image pixels: arrays aligned for the vector loops,
// zeroed, given back only through IMGMemoryFree. img_memory_posix.cpp and
// img_memory_windows.cpp hold each system's form.
#pragma once
#include <cstddef>
#include <cstdint>

// A zeroed array of `bytes` bytes starting on a cache line at least, or
// nullptr when there is no memory.
uint32_t* IMGMemoryAlloc(size_t bytes);
// Gives back an array from IMGMemoryAlloc; nullptr is allowed.
void IMGMemoryFree(uint32_t* pixels);
