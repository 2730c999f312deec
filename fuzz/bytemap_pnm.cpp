// Feeds arbitrary bytes to the bounded in-memory bytemap reader.
#include <cstdint>
#include <cstdlib>

#include "text/bytemap.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  BYTEMAP* map = BYTEMAPFromPNMBounded(data, size);
  if (map != nullptr) {
    // A decoded raster has a size and never more samples than the cap.
    const int64_t n = int64_t{map->width} * map->height;
    if (map->width < 1 || map->height < 1 || n > BYTEMAPMaxSamples || !map->samples) std::abort();
    BYTEMAPFree(&map);
  }
  return 0;
}
