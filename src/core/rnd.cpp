#include "core/rnd.hpp"

namespace {
uint32_t rndState = 0;
}

void RNDSeed(uint32_t seed) { rndState = seed; }

int RNDNext() {
  rndState = RNDApply(RNDOneStep, rndState);
  return static_cast<int>((rndState >> 16) & 0x7FFFu);
}

uint32_t RNDState() { return rndState; }

void RNDJump(uint64_t count) { rndState = RNDApply(RNDLeap(count), rndState); }
