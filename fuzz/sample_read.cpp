// Feeds arbitrary bytes to the raw PCM reader, in memory and as a file,
// under every format; the two must agree and the count must follow the size.
#include <cstdint>
#include <cstdlib>

#include "audio/sample.hpp"
#include "audio/sample_file.hpp"
#include "memory_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the format; the rest is the file.
  const int width = (data[0] & 1) ? 16 : 8;
  const char order = (data[0] & 2) ? 'b' : 'l';
  const char sign = (data[0] & 4) ? 'u' : 's';
  const uint8_t* body = data + 1;
  const size_t length = size - 1;

  SAMPLE* memory = SAMPLEReadBuffer(body, length, width, order, sign);
  if (memory == nullptr) std::abort();
  const size_t expected = width == 8 ? length : length / 2;
  if (static_cast<size_t>(memory->length) != expected) std::abort();
  for (int i = 0; i < memory->length; ++i) {
    if (memory->values[i] < -32768 || memory->values[i] > 32767) std::abort();
  }

  MemoryFile file(body, length);
  SAMPLE* fromFile = SAMPLEReadFile(file.get(), width, order, sign);
  if (!SAMPLEEqual(memory, fromFile)) std::abort();
  SAMPLEFree(&fromFile);
  SAMPLEFree(&memory);
  return 0;
}
