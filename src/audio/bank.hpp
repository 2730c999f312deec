// The embedded instrument bank: one block of 264600 values holding the 16
// instruments back to back, then the count 16, then 16 static SAMPLE records
// pointing into the block (capacity equal to length). The records lie in
// writable data, since the loader fills in their pointers, but no code
// writes them or the values: never free, reserve or resize these records.
//
// 0..7 last 0.25 s: kick, closed hat, snare, bass A2, pluck E4, tom E3,
// clap, bell C5. 8..15 are the same an octave lower, 0.5 s, at twice the level.
//
// The layout below is the only one: bankgen synthesizes to it and writes the
// records from it.
#pragma once
#include <cstdint>

#include "audio/sample.hpp"

inline constexpr int TORVELINBankSize = 16;

// Values of instrument i.
constexpr int TORVELINBankLength(int i) { return i < 8 ? 11025 : 2 * 11025; }

// Where instrument i starts in the block.
constexpr int TORVELINBankStart(int i) {
  int start = 0;
  for (int k = 0; k < i; ++k) start += TORVELINBankLength(k);
  return start;
}

inline constexpr int TORVELINBankValueCount = TORVELINBankStart(TORVELINBankSize);

extern int32_t TORVELINBankValues[TORVELINBankValueCount];
// The count as the layout stores it, after the block; code counts with
// TORVELINBankSize.
extern const int TORVELINBankStoredSize;
extern SAMPLE TORVELINBank[TORVELINBankSize];
