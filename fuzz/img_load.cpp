// The PNM file reader on arbitrary file contents.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "image/img.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/fuzz_img_load_" + std::to_string(getpid()) + ".pnm";
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) return 0;
  const bool written = fwrite(data, 1, size, file) == size;
  if (fclose(file) != 0 || !written) return 0;
  IMG* img = IMGLoad(path.c_str());
  if (img) IMGFree(&img);
  return 0;
}
