// The shared generator's rule written out again (state * 214013 + 2531011
// modulo 2^32; a draw is bits 16..30 of the new state), so tests predict and
// count draws without running them through the code under test.
#pragma once
#include <cstdint>

struct Replay {
  uint32_t state;
  explicit Replay(uint32_t seed) : state(seed) {}
  int next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7fffu);
  }
  void skip(int count) {
    for (int i = 0; i < count; ++i) next();
  }
};

// The generator state after `count` more draws from `seed`.
inline uint32_t StateAfter(uint32_t seed, int count) {
  Replay r(seed);
  r.skip(count);
  return r.state;
}

// Draws that lead from one generator state to another (-1 beyond `limit`).
inline int DrawsBetween(uint32_t from, uint32_t to, int limit = 4096) {
  Replay r(from);
  for (int n = 0; n <= limit; ++n, r.next())
    if (r.state == to) return n;
  return -1;
}

// The first seed from `start` on (stepping the generator) whose next draw
// satisfies `wanted`.
template <typename Predicate>
uint32_t SeedWhoseNextDraw(uint32_t start, Predicate wanted) {
  Replay r(start);
  for (;;) {
    Replay probe(r.state);
    if (wanted(probe.next())) return r.state;
    r.next();
  }
}
