// MUSIC: the soundtrack, made at run time. One looping output buffer of
// 40000 values; every `period` updates one randomly chosen bank instrument
// is dropped in at one of 16 random steps while everything already in the
// loop fades to three quarters.
#pragma once
#include <cstdint>

struct ARRAY;
struct SAMPLE;

struct MUSIC {
  int32_t countdown;
  int32_t period;
  SAMPLE* output;
  ARRAY* bank;
};

inline constexpr int MUSICLoopLength = 40000;
inline constexpr int MUSICPeriod = 300;
inline constexpr int MUSICSteps = 16;

MUSIC* MUSICNew();
// Releases the output and the bank array; the bank's samples are borrowed
// and stay untouched.
void MUSICFree(MUSIC** ref);
// The bank borrows the sample.
void MUSICAddSample(MUSIC* m, SAMPLE* s);
// Once per frame: counts down and rebuilds the loop when the count runs out.
void MUSICUpdate(MUSIC* m);

// Object family placeholders: music has no text form, copy or comparison.
char* MUSICToASCII(const MUSIC* m);
MUSIC* MUSICFromASCII(const char* text);
bool MUSICEqual(const MUSIC* a, const MUSIC* b);
MUSIC* MUSICClone(const MUSIC* m);

// Prints "MUSIC ERROR\n" when the diagnostics switch is on.
void MUSICError();
extern bool MUSICDiagnostics;
