#include "text/font.hpp"

#include <cstdlib>
#include <initializer_list>

#include "core/identification.hpp"
#include "core/report.hpp"
#include "image/img.hpp"

namespace {

[[gnu::used]] constexpr Identification kIdentification{
    "CODE", "C", "TORVELIN", "20261207", "FONT    "};

constexpr bool kDiagnostics = false;

using Blit = void (*)(const IMG*, IMG*, int, int, int, int, int, int);

struct Cell {
  int64_t column;
  int64_t row;
};

// Glyph i starts at a = i * glyphWidth along a strip laid row by row across
// the sheet. A sheet without width has no cells.
bool CellOf(const FONT* font, int64_t glyph, Cell& cell) {
  const int64_t sheetWidth = font->sheet->width;
  if (sheetWidth < 1 || glyph < 0) return false;
  const int64_t a = glyph * font->glyphWidth;
  cell.column = a % sheetWidth;
  cell.row = a / sheetWidth * font->glyphHeight;
  return cell.column >= 0 && cell.row >= 0 && cell.row < font->sheet->height;
}

void PutGlyph(FONT* font, Blit blit) {
  if (!font || !font->sheet) {
    FONTError();
    return;
  }
  Cell cell;
  if (CellOf(font, font->ch, cell)) {
    blit(font->sheet, font->target, static_cast<int>(cell.column), static_cast<int>(cell.row),
         font->x, font->y, font->glyphWidth, font->glyphHeight);
  }
  font->x += font->glyphWidth;
}

int HexGlyph(uint32_t nibble) { return static_cast<int>(nibble < 10 ? nibble + 48 : nibble + 55); }

}  // namespace

void FONTError() {
  REPORTError(kDiagnostics, "FONT Error.\n");
}

FONT* FONTNew() {
  auto* font = static_cast<FONT*>(std::calloc(1, sizeof(FONT)));
  if (!font) {
    FONTError();
    return nullptr;
  }
  font->glyphWidth = 6;
  font->glyphHeight = 6;
  return font;
}

void FONTFree(FONT** ref) {
  if (!ref || !*ref) {
    FONTError();
    return;
  }
  if ((*ref)->sheet) IMGFree(&(*ref)->sheet);
  std::free(*ref);
  *ref = nullptr;
}

void FONTPutChar(FONT* font) { PutGlyph(font, IMGBlitKeyed); }
void FONTPutCharOpaque(FONT* font) { PutGlyph(font, IMGBlit); }
void FONTPutCharAdd(FONT* font) { PutGlyph(font, IMGBlitAdd); }

void FONTPutHex8(FONT* font, uint32_t value) {
  for (uint32_t nibble : {(value >> 4) & 15u, value & 15u}) {
    if (font) font->ch = HexGlyph(nibble);
    FONTPutChar(font);
  }
}

void FONTPutHex16(FONT* font, uint32_t value) {
  FONTPutHex8(font, value >> 8);
  FONTPutHex8(font, value);
}

void FONTPutHex32(FONT* font, uint32_t value) {
  FONTPutHex16(font, value >> 16);
  FONTPutHex16(font, value);
}

void FONTPutString(FONT* font, const char* text) {
  if (!text) {
    FONTError();
    return;
  }
  for (const char* p = text; *p && *p != '\n'; ++p) {
    if (font) font->ch = static_cast<unsigned char>(*p);
    FONTPutChar(font);
  }
}

// Only the part of the letter's cell that lies inside the sheet is read, and
// only its lit pixels are stamped.
void FONTPutBigChar(FONT* letters, FONT* dots) {
  if (!letters || !dots || !letters->sheet || !letters->target || !dots->sheet) {
    FONTError();
    return;
  }
  dots->target = letters->target;
  const IMG* sheet = letters->sheet;
  Cell cell;
  if (sheet->pixels && CellOf(letters, letters->ch, cell)) {
    for (int64_t i = 0; i < letters->glyphHeight && cell.row + i < sheet->height; ++i) {
      const uint32_t* row = sheet->pixels + (cell.row + i) * sheet->width;
      for (int64_t j = 0; j < letters->glyphWidth && cell.column + j < sheet->width; ++j) {
        if (!row[cell.column + j]) continue;
        dots->x = static_cast<int32_t>(letters->x + j * dots->glyphWidth);
        dots->y = static_cast<int32_t>(letters->y + i * dots->glyphHeight);
        FONTPutChar(dots);
      }
    }
  }
  letters->x += letters->glyphWidth * dots->glyphWidth;
}
