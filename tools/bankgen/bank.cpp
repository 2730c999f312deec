#include "audio/bank.hpp"

// The generated object lays the records out by hand; keep it honest.
static_assert(sizeof(SAMPLE) == 16 && alignof(SAMPLE) == 8, "bank records assume a 64-bit SAMPLE");
static_assert(TORVELINBankValueCount == 8 * 11025 + 8 * 22050);
