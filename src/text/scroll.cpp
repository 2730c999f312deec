#include "text/scroll.hpp"

#include <cstdlib>
#include <cstring>

#include "core/identification.hpp"
#include "core/report.hpp"
#include "core/sintable.hpp"
#include "text/cursor.hpp"
#include "text/font.hpp"
#include "image/img.hpp"

int32_t wavePhase = 0;

namespace {

[[gnu::used]] constexpr Identification kIdentification{
    "CODE", "C", "TORVELIN", "20261207", "SCROLL  "};

constexpr bool kDiagnostics = false;

// Length of the text a new scroller pretends to hold: "A scroll's default text. ".
constexpr int kDefaultTextLength = 25;

// Only the rising half of the table is used, so glyphs hop instead of swing.
constexpr int kHalfWaveMask = SinTableMask >> 1;

int32_t KeepPhaseInTurn(int64_t phase) { return static_cast<int32_t>(phase % SinTableLength); }

}  // namespace

void SCROLLError() {
  REPORTError(kDiagnostics, "SCROLL error\n");
}

int SCROLLAdvance(CURSOR* cursor, int32_t* offset, int speed, int cellWidth) {
  int64_t moved = int64_t{*offset} + speed;
  int64_t step = 0;
  if (moved >= cellWidth) {
    step = moved / cellWidth;
    moved %= cellWidth;
  } else if (moved < 0) {
    step = moved / cellWidth - 1;
    moved = moved % cellWidth + cellWidth;
  }
  *offset = static_cast<int32_t>(moved);
  if (step != 0) {
    cursor->step = static_cast<int32_t>(step);
    CURSORStep(cursor);
  }
  return static_cast<int>(step);
}

SCROLL* SCROLLNew() {
  auto* scroll = static_cast<SCROLL*>(std::calloc(1, sizeof(SCROLL)));
  if (!scroll) {
    SCROLLError();
    return nullptr;
  }
  scroll->cursor = CURSORNew();
  if (!scroll->cursor) {
    std::free(scroll);
    SCROLLError();
    return nullptr;
  }
  CURSORSet(scroll->cursor, kDefaultTextLength, 1);
  scroll->speed = 1;
  return scroll;
}

void SCROLLFree(SCROLL** ref) {
  if (!ref || !*ref) {
    SCROLLError();
    return;
  }
  if ((*ref)->cursor) CURSORFree(&(*ref)->cursor);
  std::free(*ref);
  *ref = nullptr;
}

void SCROLLSet(SCROLL* scroll, const char* text, FONT* font, IMG* target) {
  if (!scroll || !text || !font || !target || !*text) {
    SCROLLError();
    return;
  }
  CURSOR* cursor = CURSORNew();
  if (!cursor) {
    SCROLLError();
    return;
  }
  CURSORSet(cursor, static_cast<int>(std::strlen(text)), 1);
  if (scroll->cursor) CURSORFree(&scroll->cursor);
  scroll->cursor = cursor;
  scroll->text = text;
  scroll->font = font;
  scroll->target = target;
  scroll->x = 0;
  scroll->width = target->width;
}

void SCROLLDraw(SCROLL* scroll) {
  if (!scroll || !scroll->text || !scroll->cursor || !scroll->target || !scroll->font ||
      scroll->font->glyphWidth < 1) {
    SCROLLError();
    return;
  }
  FONT* font = scroll->font;
  CURSOR* cursor = scroll->cursor;
  font->x = scroll->x - scroll->offset;
  font->target = scroll->target;
  const int glyphs = scroll->width / font->glyphWidth + 2;
  CURSORMark(cursor);
  cursor->step = 1;
  int64_t phase = wavePhase;
  for (int i = 0; i < glyphs; ++i) {
    phase += SCROLLPhasePerGlyph;
    const int sine = SinTable[phase & kHalfWaveMask];
    font->y = SCROLLBaseline - ((sine * SCROLLWaveAmplitude) >> 15);
    font->ch = static_cast<signed char>(scroll->text[cursor->position]);
    FONTPutCharOpaque(font);
    CURSORStep(cursor);
  }
  CURSORRecall(cursor);
  wavePhase = KeepPhaseInTurn(int64_t{wavePhase} + SCROLLPhasePerFrame);
}

// The phase follows the text by whole glyphs, so each character keeps its own
// hop as it crosses the band.
void SCROLLMove(SCROLL* scroll) {
  if (!scroll || !scroll->text || !scroll->cursor || !scroll->font ||
      scroll->font->glyphWidth < 1) {
    SCROLLError();
    return;
  }
  const int step =
      SCROLLAdvance(scroll->cursor, &scroll->offset, scroll->speed, scroll->font->glyphWidth);
  wavePhase = KeepPhaseInTurn(int64_t{wavePhase} + int64_t{SCROLLPhasePerGlyph} * step);
}
