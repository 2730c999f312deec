// RASTER: a cyclic table of colours, one per image row. Drawing paints row y
// in the colour at (position + y) modulo the table size: raster bars.
// Unlike the other modules, its error printer always prints.
#pragma once
#include <cstdint>

struct IMG;

struct RASTER {
  int32_t count;      // number of colours in the table
  int32_t position;   // table index used for row 0, 0 <= position < count
  // 0x00RRGGBB. Owned by a raster made by RASTERNew (RASTERAlloc, RASTERClone,
  // RASTERFree); a statically initialised raster points at static data and
  // must never be freed or reallocated.
  uint32_t* colours;
};

RASTER* RASTERNew();
void RASTERFree(RASTER** ref);
// A raster has no text form: both always give null.
char* RASTERToASCII(const RASTER* raster);
RASTER* RASTERFromASCII(const char* text);
// Counts and colours are compared; the position is not.
bool RASTEREqual(const RASTER* a, const RASTER* b);
RASTER* RASTERClone(const RASTER* raster);
// Replaces the table with n zeroed colours and resets the position.
void RASTERAlloc(RASTER* raster, int n);
void RASTERClear(RASTER* raster);
// Files hold the colour table, not the position; an empty file gives an
// empty raster. Loading refuses anything but a whole, valid file.
RASTER* RASTERLoad(const char* path);
bool RASTERSave(const RASTER* raster, const char* path);
void RASTERDraw(const RASTER* raster, IMG* img);
// alpha is the colour's weight out of 256, clamped to 0..256.
void RASTERDrawBlend(const RASTER* raster, IMG* img, int alpha);
void RASTERStep(RASTER* raster);
// Box blur over n neighbours each side: wraps at the end, mirrors at index 0.
void RASTERSmooth(RASTER* raster, int n);
void RASTERHLine(IMG* img, uint32_t colour, int y, int x0, int x1);
void RASTERHLineBlend(IMG* img, uint32_t colour, int y, int x0, int x1, int alpha);
void RASTERError();
