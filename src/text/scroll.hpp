// SCROLL: the sine-wave text scroller. A band of glyphs moves left by `speed`
// pixels per move, looping over its text, while every glyph hops on its own
// phase of a half sine wave.
#pragma once
#include <cstdint>

struct CURSOR;
struct FONT;
struct IMG;

struct SCROLL {
  int32_t x;
  int32_t width;
  int32_t speed;
  int32_t offset;
  const char* text;  // borrowed glyph indices, NUL-terminated
  CURSOR* cursor;    // owned
  FONT* font;        // borrowed; its pen is overwritten by every draw
  IMG* target;       // borrowed
};

// Wave phase shared by every scroller, in sine-table units.
extern int32_t wavePhase;

inline constexpr int SCROLLPhasePerGlyph = 31;
inline constexpr int SCROLLPhasePerFrame = -13;
inline constexpr int SCROLLWaveAmplitude = 80;
inline constexpr int SCROLLBaseline = 80;

SCROLL* SCROLLNew();
void SCROLLFree(SCROLL** ref);
// Refuses null arguments and an empty text.
void SCROLLSet(SCROLL* scroll, const char* text, FONT* font, IMG* target);
void SCROLLDraw(SCROLL* scroll);
void SCROLLMove(SCROLL* scroll);
void SCROLLError();

// The move arithmetic both scrollers share: adds speed to the offset into the
// leading cell, steps the cursor by the whole cells crossed and returns that
// step (0 when none was crossed). The cell width must be at least 1.
int SCROLLAdvance(CURSOR* cursor, int32_t* offset, int speed, int cellWidth);
