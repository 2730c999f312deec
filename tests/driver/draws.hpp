// A second, independent copy of the shared generator's arithmetic, so tests
// can predict draws and count how many a step made.
#pragma once
#include <cstdint>

struct Lcg {
  uint32_t state;
  int next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>(state >> 16 & 0x7fff);
  }
};

// Draws that lead from one generator state to another (-1 beyond `limit`).
inline int drawsBetween(uint32_t from, uint32_t to, int limit = 4096) {
  Lcg lcg{from};
  for (int n = 0; n <= limit; ++n) {
    if (lcg.state == to) return n;
    lcg.next();
  }
  return -1;
}
