#include "wavout.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

namespace {

constexpr int kHeaderBytes = 44;

void PutLittle(uint8_t* at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

// The canonical 44-byte header of a 16-bit mono PCM file of `values` values.
void MakeHeader(uint8_t* header, int rate, uint32_t values) {
  const uint32_t dataBytes = values * 2;
  const uint8_t tags[][4] = {{'R', 'I', 'F', 'F'}, {'W', 'A', 'V', 'E'}, {'f', 'm', 't', ' '}, {'d', 'a', 't', 'a'}};
  std::copy(tags[0], tags[0] + 4, header);
  PutLittle(header + 4, 36 + dataBytes, 4);
  std::copy(tags[1], tags[1] + 4, header + 8);
  std::copy(tags[2], tags[2] + 4, header + 12);
  PutLittle(header + 16, 16, 4);  // format chunk size
  PutLittle(header + 20, 1, 2);   // integer PCM
  PutLittle(header + 22, 1, 2);   // one channel
  PutLittle(header + 24, static_cast<uint32_t>(rate), 4);
  PutLittle(header + 28, static_cast<uint32_t>(rate) * 2, 4);  // bytes per second
  PutLittle(header + 32, 2, 2);   // bytes per value
  PutLittle(header + 34, 16, 2);  // bits per value
  std::copy(tags[3], tags[3] + 4, header + 36);
  PutLittle(header + 40, dataBytes, 4);
}

}  // namespace

std::string WAVOUTOpen(WAVOUT* wav, const std::string& name, int rate, uint32_t plannedValues) {
  wav->rate = rate;
  wav->planned = std::min(plannedValues, WAVOUTMaxValues);
  wav->written = 0;
  if (std::string error = OUTFILEOpen(&wav->file, name); !error.empty()) return error;
  uint8_t header[kHeaderBytes];
  MakeHeader(header, rate, wav->planned);
  return OUTFILEWrite(&wav->file, header, sizeof header);
}

std::string WAVOUTWrite(WAVOUT* wav, const int16_t* values, size_t count) {
  if (wav->written + count > WAVOUTMaxValues) return OUTFILEFailure(&wav->file, EFBIG);
  std::vector<uint8_t> bytes(count * 2);
  for (size_t i = 0; i < count; ++i) PutLittle(&bytes[2 * i], static_cast<uint16_t>(values[i]), 2);
  wav->written += count;
  return OUTFILEWrite(&wav->file, bytes.data(), bytes.size());
}

std::string WAVOUTClose(WAVOUT* wav) {
  if (wav->written != wav->planned) {
    uint8_t header[kHeaderBytes];
    MakeHeader(header, wav->rate, static_cast<uint32_t>(wav->written));
    FILE* stream = wav->file.stream;
    if (fflush(stream) != 0 || fseek(stream, 0, SEEK_SET) != 0) {
      const std::string error = errno == ESPIPE ? "cannot write " + wav->file.name +
                                                      ": the sound came out of another length than its header"
                                                      " announced, and a pipe cannot be rewound to mend it"
                                                : OUTFILEFailure(&wav->file, errno);
      WAVOUTDiscard(wav);
      return error;
    }
    if (std::string error = OUTFILEWrite(&wav->file, header, sizeof header); !error.empty()) {
      WAVOUTDiscard(wav);
      return error;
    }
  }
  return OUTFILECommit(&wav->file);
}

void WAVOUTDiscard(WAVOUT* wav) { OUTFILEDiscard(&wav->file); }
