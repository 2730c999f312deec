// The PNM file reader on arbitrary file contents.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "image/img_file.hpp"
#include "memory_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryFile file(data, size);
  IMG* img = IMGReadFile(file.get());
  if (img) {
    // The file reader never widens bitmaps, so a raster needs its bytes.
    const int64_t n = int64_t{img->width} * img->height;
    if (img->width < 1 || img->height < 1 || n > IMGMaxPixels) std::abort();
    if (n > static_cast<int64_t>(size) * 8) std::abort();
    IMGFree(&img);
  }
  return 0;
}
