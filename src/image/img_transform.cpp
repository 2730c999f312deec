// IMG transforms: step tables, nearest-neighbour scaling, rotation, and the
// row, column and rectangle helpers.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/grid.hpp"
#include "image/img.hpp"

namespace {

bool HasPixels(const IMG* img) { return img && img->pixels; }

grid::View<uint32_t> Cells(IMG* img) { return {img->pixels, img->width, img->height}; }
grid::View<const uint32_t> Cells(const IMG* img) { return {img->pixels, img->width, img->height}; }

struct StepTable {
  int* counts;
  ~StepTable() { free(counts); }
};

// The source column of every destination column, built once per scale by
// running sums over the step table: a growing axis repeats source column c
// counts[c] times, a shrinking one takes the last column of each group.
std::vector<int32_t> ColumnMap(const int* counts, bool grows, int64_t sourceWidth, int64_t width) {
  std::vector<int32_t> columns(static_cast<size_t>(width));
  if (grows) {
    size_t x = 0;
    for (int32_t c = 0; c < sourceWidth; ++c)
      for (int k = counts[c]; k > 0; --k) columns[x++] = c;
  } else {
    int32_t last = -1;
    for (int64_t x = 0; x < width; ++x) columns[static_cast<size_t>(x)] = last += counts[x];
  }
  return columns;
}

// Growth of at most twice: every source pixel is stored twice and the
// pointer advances by its count, so there is no inner loop; the last pixel
// is stored alone so that nothing lands past the row.
void DoubleRow(const uint32_t* __restrict src, uint32_t* __restrict dst, const int* counts,
               int64_t sourceWidth) {
  for (int64_t c = 0; c + 1 < sourceWidth; ++c) {
    dst[0] = dst[1] = src[c];
    dst += counts[c];
  }
  for (int k = counts[sourceWidth - 1]; k > 0; --k) *dst++ = src[sourceWidth - 1];
}

// One destination row from one source row: a gather through the column map.
void MakeRow(const uint32_t* __restrict src, uint32_t* __restrict dst, const int32_t* __restrict columns,
             int64_t width) {
  for (int64_t x = 0; x < width; ++x) dst[x] = src[columns[x]];
}

bool RowInside(const IMG* img, int row) { return row >= 0 && row < img->height; }

bool RectInside(const IMG* img, int x, int y, int w, int h) {
  return HasPixels(img) && x >= 0 && y >= 0 && w > 0 && h > 0 && int64_t{x} + w <= img->width &&
         int64_t{y} + h <= img->height;
}

}  // namespace

// Spreads the larger size over the smaller one with a Bresenham walk;
// earlier groups get the larger counts, and one spare count follows.
int* IMGStepTable(int n, int m) {
  int* counts = grid::StepCounts(n, m, IMGMaxPixels);
  if (!counts) IMGError();
  return counts;
}

// The same distribution made symmetric: the first half follows
// IMGStepTable and the second half mirrors it, so count k equals count
// (last - k).
int* IMGMirrorStepTable(int n, int m) {
  const int64_t small = std::min(grid::Magnitude(n), grid::Magnitude(m));
  StepTable forward{IMGStepTable(n, m)};
  if (!forward.counts) return nullptr;
  int* counts = static_cast<int*>(calloc(static_cast<size_t>(std::max<int64_t>(small, 1)), sizeof(int)));
  if (!counts) {
    IMGError();
    return nullptr;
  }
  for (int64_t front = 0, back = small - 1; front <= back; ++front, --back)
    counts[front] = counts[back] = forward.counts[front];
  return counts;
}

// Nearest-neighbour resampling of src into dst's size. A source without
// pixels leaves a black destination.
void IMGScale(const IMG* src, IMG* dst) {
  if (!HasPixels(src) || !HasPixels(dst) || dst->width < 0 || dst->height < 0 || src->width < 0 ||
      src->height < 0) {
    IMGError();
    return;
  }
  const int64_t sw = src->width, sh = src->height, w = dst->width, h = dst->height;
  if (w == 0 || h == 0) return;
  if (sw == 0 || sh == 0) {
    IMGClear(dst);
    return;
  }
  StepTable across{IMGStepTable(dst->width, src->width)};
  StepTable down{IMGStepTable(dst->height, src->height)};
  if (!across.counts || !down.counts) return;
  const std::vector<int32_t> columns = ColumnMap(across.counts, w >= sw, sw, w);
  const bool atMostDouble = w >= sw && w <= 2 * sw;
  const auto makeRow = [&](const uint32_t* from, uint32_t* to) {
    if (atMostDouble)
      DoubleRow(from, to, across.counts, sw);
    else
      MakeRow(from, to, columns.data(), w);
  };
  const size_t rowBytes = static_cast<size_t>(w) * sizeof(uint32_t);
  const uint32_t* s = src->pixels;
  uint32_t* d = dst->pixels;
  if (h >= sh) {
    // Each source row makes one row, copied whole for its further repeats.
    for (int64_t r = 0; r < sh; ++r, s += sw) {
      makeRow(s, d);
      const uint32_t* made = d;
      d += w;
      for (int k = down.counts[r]; k > 1; --k, d += w) memcpy(d, made, rowBytes);
    }
  } else if (w < sw) {
    // Both shrink: the last row of each group.
    const uint32_t* groupEnd = s - sw;
    for (int64_t y = 0; y < h; ++y, d += w) {
      groupEnd += down.counts[y] * sw;
      makeRow(groupEnd, d);
    }
  } else {
    // Wider but shorter: the first row of each group.
    for (int64_t y = 0; y < h; ++y, d += w) {
      makeRow(s, d);
      s += down.counts[y] * sw;
    }
  }
}

// A rotated copy in an image about 1.414 times larger each way; angle 0 is
// half a turn, and the angle grows the rotation through the sine table.
IMG* IMGRotate(const IMG* src, int angle) {
  if (!HasPixels(src) || src->width < 0 || src->height < 0) {
    IMGError();
    return nullptr;
  }
  const int64_t w = grid::RotatedSide(src->width);
  const int64_t h = grid::RotatedSide(src->height);
  if (w > 0 && h > IMGMaxPixels / w) {
    IMGError();
    return nullptr;
  }
  IMG* out = IMGNew();
  if (!out) return nullptr;
  IMGAlloc(out, static_cast<int>(w), static_cast<int>(h));
  if (out->width != w || out->height != h) {
    IMGFree(&out);
    return nullptr;
  }
  grid::Rotate(Cells(src), Cells(out), angle);
  return out;
}

void IMGCopyRowWrap(const IMG* src, IMG* dst, int srcRow, int dstRow, int x) {
  if (!HasPixels(src) || !HasPixels(dst) ||
      !grid::RowWrap(Cells(src), Cells(dst), srcRow, dstRow, x, grid::KeyedStore{}))
    IMGError();
}

void IMGOrRowWrap(const IMG* src, IMG* dst, int srcRow, int dstRow, int x) {
  if (!HasPixels(src) || !HasPixels(dst) ||
      !grid::RowWrap(Cells(src), Cells(dst), srcRow, dstRow, x, grid::OrStore{}))
    IMGError();
}

void IMGCopyColumnWrap(const IMG* src, IMG* dst, int srcCol, int dstCol, int y) {
  if (!HasPixels(src) || !HasPixels(dst) || !grid::ColumnWrap(Cells(src), Cells(dst), srcCol, dstCol, y))
    IMGError();
}

void IMGAnd(const IMG* src, IMG* dst) {
  if (!HasPixels(src) || !HasPixels(dst) || src->width != dst->width || src->height != dst->height ||
      src->width < 0 || src->height < 0) {
    IMGError();
    return;
  }
  const size_t count = static_cast<size_t>(src->width) * static_cast<size_t>(src->height);
  for (size_t i = 0; i < count; ++i) dst->pixels[i] &= src->pixels[i];
}

void IMGCopyRow(const IMG* src, IMG* dst, int srcRow, int dstRow) {
  if (!HasPixels(src) || !HasPixels(dst) || !RowInside(src, srcRow) || !RowInside(dst, dstRow)) {
    IMGError();
    return;
  }
  const int count = std::min(src->width, dst->width);
  if (count <= 0) return;
  memmove(dst->pixels + int64_t{dstRow} * dst->width, src->pixels + int64_t{srcRow} * src->width,
          static_cast<size_t>(count) * sizeof(uint32_t));
}

void IMGFillRect(IMG* img, int x, int y, int w, int h, uint32_t colour) {
  if (!RectInside(img, x, y, w, h)) {
    IMGError();
    return;
  }
  uint32_t* row = img->pixels + int64_t{y} * img->width + x;
  for (int r = 0; r < h; ++r, row += img->width) std::fill(row, row + w, colour);
}

void IMGDrawRect(IMG* img, int x, int y, int w, int h, uint32_t colour) {
  if (!RectInside(img, x, y, w, h)) {
    IMGError();
    return;
  }
  uint32_t* top = img->pixels + int64_t{y} * img->width + x;
  uint32_t* bottom = top + int64_t{h - 1} * img->width;
  std::fill(top, top + w, colour);
  std::fill(bottom, bottom + w, colour);
  for (uint32_t* left = top; left <= bottom; left += img->width) {
    left[0] = colour;
    left[w - 1] = colour;
  }
}
