// Feeds arbitrary text to the bytemap text-form reader; whatever it accepts
// must survive a round trip through the writer.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "text/bytemap.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  BYTEMAP* map = BYTEMAPFromASCII(text.c_str());
  if (map == nullptr) return 0;
  char* written = BYTEMAPToASCII(map);
  if (written == nullptr) std::abort();
  BYTEMAP* back = BYTEMAPFromASCII(written);
  if (back == nullptr || !BYTEMAPEqual(map, back)) std::abort();
  std::free(written);
  BYTEMAPFree(&back);
  BYTEMAPFree(&map);
  return 0;
}
