// Feeds arbitrary text to the sample text parser; anything it accepts must
// write back to a text that parses to an equal buffer.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "audio/sample.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  SAMPLE* s = SAMPLEFromASCII(text.c_str());
  if (s == nullptr) return 0;
  if (s->length < 0 || s->length > s->capacity) std::abort();
  char* again = SAMPLEToASCII(s);
  SAMPLE* back = SAMPLEFromASCII(again);
  if (!SAMPLEEqual(s, back)) std::abort();
  std::free(again);
  SAMPLEFree(&back);
  SAMPLEFree(&s);
  return 0;
}
