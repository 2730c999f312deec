// Feeds arbitrary bytes to the raw PCM reader, in memory and through a file,
// under every format; the two must agree and the count must follow the size.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "audio/sample.hpp"

namespace {

const char* TempPath() {
  static char path[64] = "";
  if (path[0] == '\0') {
    // A memory-backed directory keeps the file round trip cheap.
    struct stat info {};
    const char* dir = stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) ? "/dev/shm" : "/tmp";
    std::snprintf(path, sizeof path, "%s/fuzz_sample_read_%d.raw", dir, static_cast<int>(getpid()));
    std::atexit([] { std::remove(path); });
  }
  return path;
}

}  // namespace

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

  FILE* file = std::fopen(TempPath(), "wb");
  if (file != nullptr) {
    std::fwrite(body, 1, length, file);
    std::fclose(file);
    SAMPLE* fromFile = SAMPLERead(TempPath(), width, order, sign);
    if (!SAMPLEEqual(memory, fromFile)) std::abort();
    SAMPLEFree(&fromFile);
  }
  SAMPLEFree(&memory);
  return 0;
}
