// Feeds arbitrary bytes to the raster file reader.
#include <cstdint>
#include <cstdlib>

#include "effects/raster_file.hpp"
#include "memory_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryFile file(data, size);
  RASTER* raster = RASTERReadFile(file.get());
  if (raster != nullptr) {
    // A loaded table is whole: its size matches the file exactly.
    const size_t expected = raster->count == 0 ? 0 : 8 + static_cast<size_t>(raster->count) * 4;
    if (expected != size) std::abort();
    RASTERFree(&raster);
  }
  return 0;
}
