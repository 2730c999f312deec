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
