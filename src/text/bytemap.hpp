// BYTEMAP: a raster of unsigned 8-bit samples, the single-channel sibling of
// IMG. Sample (x, y) lives at index x + y * width. Readers for P1 to P6 reduce
// every input to one channel; the text form mirrors the image one with the
// grey value written in all three colour channels.
#pragma once
#include <cstddef>
#include <cstdint>

struct IMG;

struct BYTEMAP {
  int32_t width;
  int32_t height;
  uint8_t* samples;
};

// Readers and BYTEMAPAlloc refuse rasters larger than this many samples.
inline constexpr int64_t BYTEMAPMaxSamples = int64_t{1} << 28;

// Record, life cycle and text form.
BYTEMAP* BYTEMAPNew();
void BYTEMAPFree(BYTEMAP** ref);
void BYTEMAPAlloc(BYTEMAP* map, int w, int h);
void BYTEMAPClear(BYTEMAP* map);
bool BYTEMAPEqual(const BYTEMAP* a, const BYTEMAP* b);
BYTEMAP* BYTEMAPClone(const BYTEMAP* map);
void BYTEMAPCopy(const BYTEMAP* src, BYTEMAP* dst);
char* BYTEMAPToASCII(const BYTEMAP* map);
BYTEMAP* BYTEMAPFromASCII(const char* text);
int BYTEMAPFindText(const char* text, const char* keyword);
void BYTEMAPError();

// PBM, PGM and PPM. BYTEMAPFromPNM trusts its data to hold everything the
// header promises; BYTEMAPFromPNMBounded stops at data + length and fails.
BYTEMAP* BYTEMAPFromPNM(const unsigned char* data);
BYTEMAP* BYTEMAPFromPNMBounded(const unsigned char* data, size_t length);
BYTEMAP* BYTEMAPLoad(const char* path);
bool BYTEMAPSave(const BYTEMAP* map, const char* path);

// Raster operations.
void BYTEMAPTranslate(BYTEMAP* map, const BYTEMAP* table);
void BYTEMAPSetPixel(BYTEMAP* map, int x, int y, int value);
int BYTEMAPGetPixel(const BYTEMAP* map, int x, int y);
void BYTEMAPBlitKeyed(const BYTEMAP* src, BYTEMAP* dst, int sx, int sy, int dx, int dy, int w,
                      int h);
void BYTEMAPBlitSpaced(const BYTEMAP* src, BYTEMAP* dst, int sx, int sy, int dx, int dy, int w,
                       int h, int px, int py);
void BYTEMAPBlendHalf(const BYTEMAP* src, BYTEMAP* dst, int x, int y);
void BYTEMAPAnd(const BYTEMAP* mask, BYTEMAP* dst);
void BYTEMAPSubtract(BYTEMAP* map, int value);
void BYTEMAPAddValue(BYTEMAP* map, int value);
void BYTEMAPCopyRowWrap(const BYTEMAP* src, BYTEMAP* dst, int srcRow, int dstRow, int x);
void BYTEMAPOrRowWrap(const BYTEMAP* src, BYTEMAP* dst, int srcRow, int dstRow, int x);
void BYTEMAPCopyColumnWrap(const BYTEMAP* src, BYTEMAP* dst, int srcCol, int dstCol, int y);
void BYTEMAPFillRect(BYTEMAP* map, int x, int y, int w, int h, int value);
void BYTEMAPDrawRect(BYTEMAP* map, int x, int y, int w, int h, int value);
void BYTEMAPDrawCircle(BYTEMAP* map, int cx, int cy, int r, int value);
void BYTEMAPScale(const BYTEMAP* src, BYTEMAP* dst);
BYTEMAP* BYTEMAPRotate(const BYTEMAP* src, int angle);
int* BYTEMAPStepTable(int n, int m);
int* BYTEMAPLinePoints(int x0, int y0, int x1, int y1);

// Draws the bytemap through a colour table: image pixel i becomes
// colours[samples[i]]. The table needs at least 256 entries.
void BYTEMAPToIMGPalette(const BYTEMAP* map, IMG* img, const uint32_t* colours, int count);

// The same through a raster's colour table (any record with count and colours),
// so that this module needs nothing from the effects.
template <class Raster>
void BYTEMAPToIMG(const BYTEMAP* map, IMG* img, const Raster* raster) {
  if (!raster) {
    BYTEMAPError();
    return;
  }
  BYTEMAPToIMGPalette(map, img, raster->colours, raster->count);
}
