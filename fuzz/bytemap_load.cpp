// Feeds arbitrary bytes to the bytemap file reader.
#include <cstdint>
#include <cstdlib>

#include "memory_file.hpp"
#include "text/bytemap_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryFile file(data, size);
  BYTEMAP* map = BYTEMAPReadFile(file.get());
  if (map != nullptr) {
    // The file reader never widens bitmaps, so a raw raster needs its bytes.
    const int64_t n = int64_t{map->width} * map->height;
    if (map->width < 1 || map->height < 1 || n > BYTEMAPMaxSamples) std::abort();
    if (n > static_cast<int64_t>(size) * 8) std::abort();
    BYTEMAPFree(&map);
  }
  return 0;
}
