// The embedded instrument bank: one block of 264600 values holding the 16
// instruments back to back, then the count 16, then 16 static SAMPLE records
// pointing into the block (capacity equal to length). Read-only: never free,
// reserve or resize these records.
//
// 0..7 last 0.25 s: kick, closed hat, snare, bass A2, pluck E4, tom E3,
// clap, bell C5. 8..15 are the same an octave lower, 0.5 s, at twice the level.
#pragma once
#include <cstdint>

#include "audio/sample.hpp"

inline constexpr int TORVELINBankValueCount = 264600;
inline constexpr int TORVELINBankSize = 16;

extern int32_t TORVELINBankValues[TORVELINBankValueCount];
extern const int TORVELINBankCount;
extern SAMPLE TORVELINBank[TORVELINBankSize];
