// A sound as a WAV file: 16-bit mono PCM, written through an OUTFILE.
//
// The header is written first, with the length the caller plans; closing
// sets the length actually written when it differs, which needs a file
// that can be rewound (a pipe cannot). A caller that knows the length
// ahead can therefore stream to a pipe or a device.
#pragma once
#include <cstdint>
#include <string>

#include "outfile.hpp"

// Values a WAV file can hold: its sizes are 32-bit.
constexpr uint32_t WAVOUTMaxValues = (UINT32_MAX - 36) / 2;

struct WAVOUT {
  OUTFILE file;
  int rate = 0;
  uint32_t planned = 0;  // values announced in the header
  uint64_t written = 0;  // values written so far
};

// Each returns an empty text on success, else one plain line.
std::string WAVOUTOpen(WAVOUT* wav, const std::string& name, int rate, uint32_t plannedValues);
std::string WAVOUTWrite(WAVOUT* wav, const int16_t* values, size_t count);
std::string WAVOUTClose(WAVOUT* wav);
void WAVOUTDiscard(WAVOUT* wav);
