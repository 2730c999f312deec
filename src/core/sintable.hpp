// One full turn of sine in 1024 signed 16-bit steps, scaled by 32767.
// Consumers multiply by an entry and shift right by 15; angles are in table
// units (1024 per turn) and wrap with SinTableMask.
#pragma once
#include <array>
#include <cstdint>

inline constexpr int SinTableLength = 1024;
inline constexpr int SinTableMask = 1023;

extern const std::array<int16_t, SinTableLength> SinTable;
