#include "text/cursor.hpp"

#include <cstdlib>

#include "core/identification.hpp"
#include "core/report.hpp"

namespace {

[[gnu::used]] constexpr Identification kIdentification{
    "CODE", "C", "TORVELIN", "20261207", "CURSOR  "};

constexpr bool kDiagnostics = false;

// A cursor whose length was written directly may still be unusable.
bool Usable(const CURSOR* cursor) { return cursor && cursor->length >= 1; }

}  // namespace

void CURSORError() {
  REPORTError(kDiagnostics, "CURSOR Error.\n");
}

CURSOR* CURSORNew() {
  auto* cursor = static_cast<CURSOR*>(std::calloc(1, sizeof(CURSOR)));
  if (!cursor) {
    CURSORError();
    return nullptr;
  }
  cursor->length = 16;
  cursor->step = 1;
  return cursor;
}

void CURSORFree(CURSOR** ref) {
  if (!ref || !*ref) {
    CURSORError();
    return;
  }
  std::free(*ref);
  *ref = nullptr;
}

void CURSORSet(CURSOR* cursor, int length, int step) {
  if (!cursor || length < 1) {
    CURSORError();
    return;
  }
  cursor->length = length;
  cursor->step = step;
  cursor->position = 0;
}

// The wrap gives the same position as repeated subtraction or addition of
// the length, without looping over huge steps or overflowing the sum.
void CURSORStep(CURSOR* cursor) {
  if (!Usable(cursor)) {
    CURSORError();
    return;
  }
  int64_t position = (int64_t{cursor->position} + cursor->step) % cursor->length;
  if (position < 0) position += cursor->length;
  cursor->position = static_cast<int32_t>(position);
}

void CURSORSeek(CURSOR* cursor, int n) {
  if (!Usable(cursor)) {
    CURSORError();
    return;
  }
  cursor->position = static_cast<int32_t>(int64_t{n} % cursor->length);
}

void CURSORMark(CURSOR* cursor) {
  if (!cursor) {
    CURSORError();
    return;
  }
  cursor->mark = cursor->position;
}

void CURSORRecall(CURSOR* cursor) {
  if (!cursor) {
    CURSORError();
    return;
  }
  cursor->position = cursor->mark;
}
