// The shared pseudo-random generator: one 32-bit linear congruential state.
// Every random choice of the program draws from it, so a run is the same for
// the same key presses.
#pragma once
#include <cstdint>

// Sets the generator's state.
void RNDSeed(uint32_t seed);

// Advances the state (state * 214013 + 2531011, modulo 2^32) and returns
// bits 16..30 of the new state: a value from 0 to 32767.
int RNDNext();

// The current state, for code that must save and restore or jump ahead.
uint32_t RNDState();

// One or more generator steps as one affine map of the state:
// state -> state * multiplier + increment (modulo 2^32).
struct RNDStep {
  uint32_t multiplier;
  uint32_t increment;
};

inline constexpr RNDStep RNDOneStep{214013u, 2531011u};

constexpr uint32_t RNDApply(RNDStep step, uint32_t state) { return state * step.multiplier + step.increment; }

// The map that applies `first`, then `then`.
constexpr RNDStep RNDCompose(RNDStep first, RNDStep then) {
  return {then.multiplier * first.multiplier, then.multiplier * first.increment + then.increment};
}

// The map equal to `count` steps in a row, by repeated squaring: any count
// in at most 64 compositions. The period is 2^32, so RNDLeap(2^32) is the
// identity.
constexpr RNDStep RNDLeap(uint64_t count) {
  RNDStep result{1u, 0u};
  RNDStep power = RNDOneStep;
  for (; count != 0; count >>= 1) {
    if (count & 1u) result = RNDCompose(result, power);
    power = RNDCompose(power, power);
  }
  return result;
}

// Moves the shared state `count` steps ahead, as that many RNDNext calls
// would, without drawing them.
void RNDJump(uint64_t count);
