// IMG: the true-colour raster. Pixel words are 0x00RRGGBB, row-major, row 0
// at the top, no padding between rows. Word 0 (black) is the transparent
// colour of every keyed operation; there is no alpha channel.
//
// Heap results (images, text forms, point lists, step tables) come from the C
// heap: release images with IMGFree and everything else with free().
#pragma once
#include <cstddef>
#include <cstdint>

// The largest pixel count any reader or allocation accepts (1 GiB of words).
inline constexpr int64_t IMGMaxPixels = int64_t{1} << 28;

struct IMG {
  int32_t width;
  int32_t height;
  uint32_t* pixels;
};

// Record, life cycle and text form.
IMG* IMGNew();
void IMGFree(IMG** ref);
void IMGAlloc(IMG* img, int w, int h);
void IMGClear(IMG* img);
IMG* IMGClone(const IMG* src);
void IMGCopy(const IMG* src, IMG* dst);
bool IMGEqual(const IMG* a, const IMG* b);
char* IMGToASCII(const IMG* img);
IMG* IMGFromASCII(const char* text);
int IMGFindText(const char* str, const char* text);
void IMGError();

// A process-wide choice for programs, never made by the library itself:
// the C library's allocator takes pixel arrays of up to 32 MiB from the
// heap instead of mapping each one, and keeps up to 64 MiB of freed memory
// at the heap's top instead of handing it back. The scenes free and
// reallocate many megabytes at every change; with this they reuse the same
// pages instead of faulting fresh ones in, and resident memory stays the
// same from one loop to the next. Call it once at start, before the first
// image; it does nothing where the allocator has no such settings.
void IMGKeepPixelMemoryInTheHeap();

// PBM, PGM and PPM (P1 to P6).
IMG* IMGFromPNM(const unsigned char* data);
IMG* IMGFromPNMBounded(const unsigned char* data, size_t length);
// The fewest raster bytes a PNM header of type 1..6 promises for width x
// height samples (width as the reader stores it, declaredWidth as the
// header gives it): one digit per plain sample, every byte of a binary
// raster. Readers check it before allocating.
uint64_t IMGMinimumRasterBytes(int type, int64_t width, int64_t height, int64_t declaredWidth);
IMG* IMGLoad(const char* path);
bool IMGSave(const IMG* img, const char* path);

// Pixels and blits.
void IMGSetPixel(IMG* img, int x, int y, uint32_t colour);
uint32_t IMGGetPixel(const IMG* img, int x, int y);
void IMGBlit(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h);
void IMGBlitKeyed(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h);
void IMGBlitAdd(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h);
void IMGBlitAddSat(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h);
void IMGBlendHalf(const IMG* src, IMG* dst, int x, int y);
void IMGSubtract(IMG* img, uint32_t colour);
void IMGInvert(IMG* img);
int* IMGLinePoints(int x0, int y0, int x1, int y1);
void IMGBlitSpaced(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h,
                   int px, int py);
void IMGDrawCircle(IMG* img, int cx, int cy, int r, uint32_t colour);

// Transforms and the remaining operations.
int* IMGStepTable(int n, int m);
int* IMGMirrorStepTable(int n, int m);
void IMGScale(const IMG* src, IMG* dst);
IMG* IMGRotate(const IMG* src, int angle);
void IMGCopyRowWrap(const IMG* src, IMG* dst, int srcRow, int dstRow, int x);
void IMGOrRowWrap(const IMG* src, IMG* dst, int srcRow, int dstRow, int x);
void IMGCopyColumnWrap(const IMG* src, IMG* dst, int srcCol, int dstCol, int y);
void IMGAnd(const IMG* src, IMG* dst);
void IMGCopyRow(const IMG* src, IMG* dst, int srcRow, int dstRow);
void IMGFillRect(IMG* img, int x, int y, int w, int h, uint32_t colour);
void IMGDrawRect(IMG* img, int x, int y, int w, int h, uint32_t colour);
