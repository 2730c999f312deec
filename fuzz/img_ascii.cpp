// The IMG text-form reader on arbitrary zero-terminated text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "image/img.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  char* text = static_cast<char*>(malloc(size + 1));
  if (!text) return 0;
  memcpy(text, data, size);
  text[size] = '\0';
  IMG* img = IMGFromASCII(text);
  if (img) {
    // Whatever was read must write back out.
    char* again = IMGToASCII(img);
    free(again);
    IMGFree(&img);
  }
  free(text);
  return 0;
}
