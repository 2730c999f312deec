// Pixel memory on Windows: the C runtime's aligned blocks, which only
// _aligned_free may give back.
#include <malloc.h>

#include <cstring>

#include "image/img.hpp"
#include "image/img_memory.hpp"

namespace {

// Every array starts on a cache line, as on the other systems.
constexpr size_t kLineBytes = 64;

}  // namespace

uint32_t* IMGMemoryAlloc(size_t bytes) {
  void* pixels = _aligned_malloc(bytes, kLineBytes);
  if (pixels) memset(pixels, 0, bytes);
  return static_cast<uint32_t*>(pixels);
}

void IMGMemoryFree(uint32_t* pixels) { _aligned_free(pixels); }

// The heap has no thresholds to set.
void IMGKeepPixelMemoryInTheHeap() {}
