// Pixel memory on POSIX systems: aligned heap blocks, with huge pages
// offered for the large ones where the kernel takes the advice.
#include <sys/mman.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <cstdlib>
#include <cstring>

#include "image/img.hpp"
#include "image/img_memory.hpp"

namespace {

// Arrays of 2 MiB and more (the larger logo copies, the wide logo, the
// strip) start on a 2 MiB boundary, and their whole 2 MiB stretches are
// offered to the kernel's huge pages: one page fault and one
// address-translation entry per 2 MiB instead of 512. Rows read far apart
// across the logo copies then stop missing the translation cache, and
// setting the copies up stops paying thousands of page faults. The part
// after the last whole stretch keeps small pages, so nothing extra becomes
// resident. The advice is given for the block's own range only; no setting
// of the process changes.
constexpr size_t kHugePageBytes = size_t{2} << 20;

uint32_t* AllocHugeArray([[maybe_unused]] size_t bytes) {
#if defined(MADV_HUGEPAGE)
  void* pixels = nullptr;
  if (posix_memalign(&pixels, kHugePageBytes, bytes) != 0) return nullptr;
  madvise(pixels, bytes / kHugePageBytes * kHugePageBytes, MADV_HUGEPAGE);  // advice only
  memset(pixels, 0, bytes);
  return static_cast<uint32_t*>(pixels);
#else
  return nullptr;
#endif
}

// Every array starts on a cache line, so that the vector loops' loads and
// stores of rows whose width is a multiple of 16 never straddle two lines.
constexpr size_t kLineBytes = 64;

uint32_t* AllocLineArray(size_t bytes) {
  void* pixels = aligned_alloc(kLineBytes, (bytes + kLineBytes - 1) / kLineBytes * kLineBytes);
  if (pixels) memset(pixels, 0, bytes);
  return static_cast<uint32_t*>(pixels);
}

}  // namespace

uint32_t* IMGMemoryAlloc(size_t bytes) {
  uint32_t* pixels = bytes >= kHugePageBytes ? AllocHugeArray(bytes) : nullptr;
  return pixels ? pixels : AllocLineArray(bytes);
}

void IMGMemoryFree(uint32_t* pixels) { free(pixels); }

// Fixing both thresholds also stops glibc from moving them as blocks are
// freed, which made resident memory grow once in the second loop.
void IMGKeepPixelMemoryInTheHeap() {
#if defined(__GLIBC__)
  constexpr int kMapAbove = 32 << 20;  // glibc's largest threshold; larger arrays are still mapped
  constexpr int kKeepBelow = 64 << 20;
  mallopt(M_MMAP_THRESHOLD, kMapAbove);
  mallopt(M_TRIM_THRESHOLD, kKeepBelow);
#endif
}
