// Feeds arbitrary bytes to the bytemap file reader through a scratch file of
// this process.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "text/bytemap.hpp"

namespace {

// In TMPDIR when set, so that long runs can keep the file in memory.
const std::string& scratchPath() {
  static const std::string path = [] {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/torvelin_fuzz_bytemap_" +
           std::to_string(getpid());
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(scratchPath().c_str(), "wb");
  if (file == nullptr) return 0;
  if (size > 0) std::fwrite(data, 1, size, file);
  std::fclose(file);
  BYTEMAP* map = BYTEMAPLoad(scratchPath().c_str());
  if (map != nullptr) {
    // The file reader never widens bitmaps, so a raw raster needs its bytes.
    const int64_t n = int64_t{map->width} * map->height;
    if (map->width < 1 || map->height < 1 || n > BYTEMAPMaxSamples) std::abort();
    if (n > static_cast<int64_t>(size) * 8) std::abort();
    BYTEMAPFree(&map);
  }
  return 0;
}
