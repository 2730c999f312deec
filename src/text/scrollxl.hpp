// SCROLLXL: the giant-letter scroller. Every lit pixel of a letter glyph is
// stamped as a whole glyph of the dot font; letters stand on a common top line
// `y` that the caller may move.
#pragma once
#include <cstdint>

struct CURSOR;
struct FONT;
struct IMG;

struct SCROLLXL {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t speed;
  int32_t offset;
  const char* text;  // borrowed glyph indices of the letter font, NUL-terminated
  CURSOR* cursor;    // owned
  FONT* letters;     // borrowed
  FONT* dots;        // borrowed; its `ch` is the dot glyph
  IMG* target;       // borrowed
};

SCROLLXL* SCROLLXLNew();
void SCROLLXLFree(SCROLLXL** ref);
// Refuses null arguments and an empty text.
void SCROLLXLSet(SCROLLXL* scroll, const char* text, FONT* letters, FONT* dots, IMG* target);
void SCROLLXLDraw(SCROLLXL* scroll);
void SCROLLXLMove(SCROLLXL* scroll);
void SCROLLXLError();
