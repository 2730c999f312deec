// One full turn of sine in 1024 signed 16-bit steps, scaled by 32767.
// Consumers multiply by an entry and shift right by 15; angles are in table
// units (1024 per turn) and wrap with SinTableMask.
#pragma once
#include <array>
#include <cstdint>

inline constexpr int SinTableLength = 1024;
inline constexpr int SinTableMask = 1023;
// A quarter turn in table units: SinTable[(a + SinTableQuarterTurn) & mask]
// is the cosine of a.
inline constexpr int SinTableQuarterTurn = 256;
// The square root of two in 16.16 fixed point (92667 / 65536 = 1.41400...):
// a picture rotated by any angle fits in a copy this much larger each way.
inline constexpr int64_t SinTableSqrt2 = 92667;

extern const std::array<int16_t, SinTableLength> SinTable;
