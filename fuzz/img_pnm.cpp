// The bounded in-memory PNM decoder on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "image/img.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IMG* img = IMGFromPNMBounded(data, size);
  if (img) IMGFree(&img);
  return 0;
}
