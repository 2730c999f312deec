// Multi-byte values that files and the embedded data hold in little-endian
// byte order, and the host's own order.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>

inline constexpr bool kHostIsLittleEndian = std::endian::native == std::endian::little;
static_assert(kHostIsLittleEndian || std::endian::native == std::endian::big, "a host of mixed byte order");

constexpr uint32_t ByteSwap32(uint32_t value) {
  return value >> 24 | (value >> 8 & 0xFF00u) | (value << 8 & 0xFF0000u) | value << 24;
}

// Turns `count` 32-bit values, stored little-endian, into the host's values
// in place: nothing to do on a little-endian host.
inline void LittleEndianToHost(int32_t* values, size_t count) {
  if constexpr (!kHostIsLittleEndian)
    for (size_t i = 0; i < count; ++i) values[i] = static_cast<int32_t>(ByteSwap32(static_cast<uint32_t>(values[i])));
}
