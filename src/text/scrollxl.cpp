#include "text/scrollxl.hpp"

#include <cstdlib>
#include <cstring>

#include "core/identification.hpp"
#include "core/report.hpp"
#include "image/img.hpp"
#include "text/cursor.hpp"
#include "text/font.hpp"
#include "text/scroll.hpp"

namespace {

[[gnu::used]] constexpr Identification kIdentification{
    "CODE", "C", "TORVELIN", "20261207", "SCROLLXL"};

constexpr bool kDiagnostics = false;

// Length of the text a new scroller pretends to hold: "A scroll's default text. ".
constexpr int kDefaultTextLength = 25;
constexpr int kSpeedAfterSet = 8;

// Width of one enlarged letter; 0 when the fonts cannot make one.
int64_t LetterCell(const SCROLLXL* scroll) {
  const int64_t cell = int64_t{scroll->letters->glyphWidth} * scroll->dots->glyphWidth;
  return cell >= 1 && cell <= INT32_MAX ? cell : 0;
}

}  // namespace

void SCROLLXLError() {
  REPORTError(kDiagnostics, "SCROLLXL error\n");
}

SCROLLXL* SCROLLXLNew() {
  auto* scroll = static_cast<SCROLLXL*>(std::calloc(1, sizeof(SCROLLXL)));
  if (!scroll) {
    SCROLLXLError();
    return nullptr;
  }
  scroll->cursor = CURSORNew();
  if (!scroll->cursor) {
    std::free(scroll);
    SCROLLXLError();
    return nullptr;
  }
  CURSORSet(scroll->cursor, kDefaultTextLength, 1);
  scroll->speed = 1;
  return scroll;
}

void SCROLLXLFree(SCROLLXL** ref) {
  if (!ref || !*ref) {
    SCROLLXLError();
    return;
  }
  if ((*ref)->cursor) CURSORFree(&(*ref)->cursor);
  std::free(*ref);
  *ref = nullptr;
}

void SCROLLXLSet(SCROLLXL* scroll, const char* text, FONT* letters, FONT* dots, IMG* target) {
  if (!scroll || !text || !letters || !dots || !target || !*text) {
    SCROLLXLError();
    return;
  }
  CURSOR* cursor = CURSORNew();
  if (!cursor) {
    SCROLLXLError();
    return;
  }
  CURSORSet(cursor, static_cast<int>(std::strlen(text)), 1);
  if (scroll->cursor) CURSORFree(&scroll->cursor);
  scroll->cursor = cursor;
  scroll->text = text;
  scroll->letters = letters;
  scroll->dots = dots;
  scroll->target = target;
  scroll->x = 0;
  scroll->y = 0;
  scroll->width = target->width;
  scroll->offset = 0;
  scroll->speed = kSpeedAfterSet;
}

// Letters are cut by FONTPutBigChar, which reads nothing outside the letter
// sheet whatever glyph index the text holds.
void SCROLLXLDraw(SCROLLXL* scroll) {
  if (!scroll || !scroll->text || !scroll->cursor || !scroll->target || !scroll->letters ||
      !scroll->dots || LetterCell(scroll) == 0) {
    SCROLLXLError();
    return;
  }
  FONT* letters = scroll->letters;
  CURSOR* cursor = scroll->cursor;
  letters->x = scroll->x - scroll->offset;
  letters->y = scroll->y;
  letters->target = scroll->target;
  scroll->dots->target = scroll->target;
  const int64_t count = scroll->width / LetterCell(scroll) + 2;
  CURSORMark(cursor);
  cursor->step = 1;
  for (int64_t i = 0; i < count; ++i) {
    letters->ch = static_cast<signed char>(scroll->text[cursor->position]);
    FONTPutBigChar(letters, scroll->dots);
    CURSORStep(cursor);
  }
  CURSORRecall(cursor);
}

void SCROLLXLMove(SCROLLXL* scroll) {
  if (!scroll || !scroll->text || !scroll->cursor || !scroll->letters || !scroll->dots ||
      LetterCell(scroll) == 0) {
    SCROLLXLError();
    return;
  }
  SCROLLAdvance(scroll->cursor, &scroll->offset, scroll->speed,
                static_cast<int>(LetterCell(scroll)));
}
