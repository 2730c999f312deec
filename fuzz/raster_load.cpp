// Feeds arbitrary bytes to the raster file reader through a scratch file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "effects/raster.hpp"

namespace {

// One scratch file per process, removed when the fuzzer exits.
struct ScratchFile {
  std::string path = "/tmp/torvelin_fuzz_raster_" + std::to_string(getpid());
  ~ScratchFile() { std::remove(path.c_str()); }
};

const std::string& ScratchPath() {
  static const ScratchFile scratch;
  return scratch.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(ScratchPath().c_str(), "wb");
  if (file == nullptr) return 0;
  if (size > 0) std::fwrite(data, 1, size, file);
  std::fclose(file);
  RASTER* raster = RASTERLoad(ScratchPath().c_str());
  if (raster != nullptr) {
    // A loaded table is whole: its size matches the file exactly.
    const size_t expected = raster->count == 0 ? 0 : 8 + static_cast<size_t>(raster->count) * 4;
    if (expected != size) std::abort();
    RASTERFree(&raster);
  }
  return 0;
}
