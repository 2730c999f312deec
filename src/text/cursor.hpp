// CURSOR: a circular index into a sequence of known length. Stepping moves
// the position by a signed step and wraps it back into 0 .. length - 1; one
// saved position (the mark) lets a walk return to where it started.
#pragma once
#include <cstdint>

struct CURSOR {
  int32_t length;
  int32_t step;
  int32_t position;
  int32_t mark;
};

CURSOR* CURSORNew();
void CURSORFree(CURSOR** ref);
// Refuses a length below 1: the cursor keeps its state.
void CURSORSet(CURSOR* cursor, int length, int step);
void CURSORStep(CURSOR* cursor);
// Sets the position to n modulo the length, a truncating remainder: a
// negative n gives a negative position, which the next step wraps.
void CURSORSeek(CURSOR* cursor, int n);
void CURSORMark(CURSOR* cursor);
void CURSORRecall(CURSOR* cursor);
void CURSORError();
