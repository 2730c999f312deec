// FONT: a bitmap-text pen. The sheet is cut into equal glyph cells counted
// row by row; each single-glyph draw copies the cell of `ch` to the pen on the
// target and moves the pen right by one glyph width.
#pragma once
#include <cstdint>

struct IMG;

struct FONT {
  int32_t x;
  int32_t y;
  int32_t glyphWidth;
  int32_t glyphHeight;
  int32_t ch;
  IMG* sheet;   // owned
  IMG* target;  // borrowed
};

FONT* FONTNew();
void FONTFree(FONT** ref);
void FONTPutChar(FONT* font);
void FONTPutCharOpaque(FONT* font);
void FONTPutCharAdd(FONT* font);
void FONTPutHex8(FONT* font, uint32_t value);
void FONTPutHex16(FONT* font, uint32_t value);
void FONTPutHex32(FONT* font, uint32_t value);
void FONTPutString(FONT* font, const char* text);
// Every lit pixel of the letter font's glyph `ch` becomes the dot font's
// current glyph; the letter pen moves by one enlarged cell.
void FONTPutBigChar(FONT* letters, FONT* dots);
void FONTError();
