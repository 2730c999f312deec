// The sound file: a plain RIFF WAVE file of 16-bit mono PCM. The header is
// written first with zero sizes and completed when the file is closed.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "capture.hpp"

struct CAPTUREWav {
  FILE* file;
  uint32_t dataBytes;
};

namespace {

constexpr uint32_t kHeaderBytes = 44;

void Put32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}
void Put16(uint8_t* at, uint16_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void Header(uint8_t* h, int rate, uint32_t dataBytes) {
  memcpy(h, "RIFF", 4);
  Put32(h + 4, kHeaderBytes - 8 + dataBytes);
  memcpy(h + 8, "WAVEfmt ", 8);
  Put32(h + 16, 16);                             // format chunk size
  Put16(h + 20, 1);                              // integer PCM
  Put16(h + 22, 1);                              // one channel
  Put32(h + 24, static_cast<uint32_t>(rate));
  Put32(h + 28, static_cast<uint32_t>(rate) * 2);  // bytes per second
  Put16(h + 32, 2);                              // bytes per frame
  Put16(h + 34, 16);                             // bits per value
  memcpy(h + 36, "data", 4);
  Put32(h + 40, dataBytes);
}

}  // namespace

CAPTUREWav* CAPTUREWavOpen(const std::string& path, std::string* error) {
  FILE* file = fopen(path.c_str(), "wb");
  uint8_t header[kHeaderBytes];
  Header(header, CAPTURESampleRate, 0);
  if (file == nullptr || fwrite(header, 1, kHeaderBytes, file) != kHeaderBytes) {
    *error = strerror(errno);
    if (file != nullptr) fclose(file);
    return nullptr;
  }
  return new CAPTUREWav{file, 0};
}

bool CAPTUREWavWrite(CAPTUREWav* wav, const int16_t* values, int count) {
  uint8_t bytes[2 * CAPTUREValuesPerFrame];
  for (int done = 0; done < count;) {
    const int chunk = count - done < CAPTUREValuesPerFrame ? count - done : CAPTUREValuesPerFrame;
    for (int i = 0; i < chunk; ++i) Put16(bytes + 2 * i, static_cast<uint16_t>(values[done + i]));
    if (fwrite(bytes, 2, static_cast<size_t>(chunk), wav->file) != static_cast<size_t>(chunk)) return false;
    wav->dataBytes += 2 * static_cast<uint32_t>(chunk);
    done += chunk;
  }
  return true;
}

bool CAPTUREWavClose(CAPTUREWav* wav, std::string* error) {
  uint8_t header[kHeaderBytes];
  Header(header, CAPTURESampleRate, wav->dataBytes);
  bool ok = fseek(wav->file, 0, SEEK_SET) == 0 && fwrite(header, 1, kHeaderBytes, wav->file) == kHeaderBytes &&
            fflush(wav->file) == 0;
  if (!ok) *error = strerror(errno);
  if (fclose(wav->file) != 0 && ok) {
    *error = strerror(errno);
    ok = false;
  }
  delete wav;
  return ok;
}
