// The PNM file reader on arbitrary file contents.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "image/img.hpp"

namespace {
// The per-process scratch file, removed when the fuzzer exits.
struct ScratchFile {
  std::string path = "/tmp/fuzz_img_load_" + std::to_string(getpid()) + ".pnm";
  ~ScratchFile() { remove(path.c_str()); }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const ScratchFile scratch;
  const std::string& path = scratch.path;
  // A fresh file each time: truncating the old one in place makes the file
  // system flush it to disk on close, which costs far more than the read.
  remove(path.c_str());
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) return 0;
  const bool written = fwrite(data, 1, size, file) == size;
  if (fclose(file) != 0 || !written) return 0;
  IMG* img = IMGLoad(path.c_str());
  if (img) IMGFree(&img);
  return 0;
}
