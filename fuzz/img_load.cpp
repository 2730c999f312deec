// The PNM file reader on arbitrary file contents.
#include <cstddef>
#include <cstdint>

#include "image/img.hpp"
#include "scratch_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ScratchFile scratch;
  IMG* img = IMGLoad(scratch.Hold(data, size));
  if (img) IMGFree(&img);
  return 0;
}
