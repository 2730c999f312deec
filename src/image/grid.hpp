// Geometry that does not depend on what a sample is, shared by the image
// (pixel words) and the bytemap (bytes): step tables, line points,
// rectangle clipping, rotation, the circle outline and the row and column
// wraps. Each operation works on a View of the samples and leaves argument
// reports to its caller: a false or null result means a refused argument.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "core/sintable.hpp"

namespace grid {

// width x height samples, row by row with no padding.
template <class T>
struct View {
  T* cells;
  int64_t width;
  int64_t height;

  bool Holds(int64_t x, int64_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  T* Row(int64_t y) const { return cells + y * width; }
};

// Keyed store: a source sample of 0 leaves the destination as it is.
struct KeyedStore {
  template <class T>
  void operator()(T& d, T s) const {
    if (s != 0) d = s;
  }
};

struct OrStore {
  template <class T>
  void operator()(T& d, T s) const {
    d |= s;
  }
};

inline int64_t Magnitude(int v) { return v < 0 ? -int64_t{v} : int64_t{v}; }

// Spreads the larger size over the smaller one with a Bresenham walk:
// min(|n|, |m|) + 1 counts, earlier groups getting the larger counts and
// one spare count following. Null when the larger size exceeds largest or
// memory runs out.
inline int* StepCounts(int n, int m, int64_t largest) {
  const int64_t small = std::min(Magnitude(n), Magnitude(m));
  const int64_t large = std::max(Magnitude(n), Magnitude(m));
  if (large > largest) return nullptr;
  int* counts = static_cast<int*>(calloc(static_cast<size_t>(small + 1), sizeof(int)));
  if (!counts) return nullptr;
  int64_t c = large;
  int64_t i = 0;
  for (int64_t step = 0; step <= large; ++step) {
    ++counts[i];
    c -= small;
    if (c <= 0) {
      ++i;
      c += large;
    }
  }
  return counts;
}

// Bresenham along the major axis, both ends included; element 0 holds
// twice the point count. Null when the segment is more than longest steps
// or memory runs out.
inline int* LinePoints(int x0, int y0, int x1, int y1, int64_t longest) {
  const int64_t dx = int64_t{x1} - x0, dy = int64_t{y1} - y0;
  const int64_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
  const int stepX = dx < 0 ? -1 : 1, stepY = dy < 0 ? -1 : 1;
  const int64_t n = std::max(ax, ay);
  if (n > longest) return nullptr;
  int* points = static_cast<int*>(calloc(static_cast<size_t>(2 * n + 3), sizeof(int)));
  if (!points) return nullptr;
  points[0] = static_cast<int>(2 * (n + 1));
  const bool xMajor = ax > ay;
  const int64_t major = xMajor ? ax : ay, minor = xMajor ? ay : ax;
  int64_t error = major >> 1;
  int x = x0, y = y0;
  for (int64_t i = 0; i <= n; ++i) {
    points[1 + 2 * i] = x;
    points[2 + 2 * i] = y;
    if (i == n) break;  // the next step would leave the segment
    if (xMajor) x += stepX; else y += stepY;
    error -= minor;
    if (error <= 0 && minor > 0) {
      error += major;
      if (xMajor) y += stepY; else x += stepX;
    }
  }
  return points;
}

// The w x h rectangle from (sx, sy) in a source to (dx, dy) in a
// destination, in 64 bits so that no sum of arguments can overflow.
struct Rect {
  int64_t sx, sy, dx, dy, w, h;
};

// Clips the rectangle against both rasters (any records with a width and a
// height); false when nothing is left.
template <class Source, class Destination>
bool ClipRect(const Source* src, const Destination* dst, Rect& r) {
  const int64_t sw = src->width, sh = src->height, dw = dst->width, dh = dst->height;
  if (r.dx >= dw || r.dx + r.w < 0 || r.dy >= dh || r.dy + r.h < 0 || r.sx >= sw ||
      r.sx + r.w < 0 || r.sy >= sh || r.sy + r.h < 0)
    return false;
  if (r.sx < 0) r.w += r.sx, r.dx -= r.sx, r.sx = 0;
  if (r.sy < 0) r.h += r.sy, r.dy -= r.sy, r.sy = 0;
  if (r.sx + r.w > sw) r.w = sw - r.sx;
  if (r.sy + r.h > sh) r.h = sh - r.sy;
  if (r.dx < 0) r.w += r.dx, r.sx -= r.dx, r.dx = 0;
  if (r.dy < 0) r.h += r.dy, r.sy -= r.dy, r.dy = 0;
  if (r.dx + r.w > dw) r.w = dw - r.dx;
  if (r.dy + r.h > dh) r.h = dh - r.dy;
  return r.w > 0 && r.h > 0;
}

// The side of a rotated copy: about 1.414 times the source side, room for
// any angle.
inline int64_t RotatedSide(int64_t side) { return side * SinTableSqrt2 / 65536; }

// Fills out (RotatedSide of src each way) with src turned about its centre;
// angle 0 is half a turn, and the angle grows the rotation through the
// sine table. Samples that fall outside the source are 0.
template <class T>
void Rotate(View<const T> src, View<T> out, int angle) {
  const unsigned turn = 0u - static_cast<unsigned>(angle);
  const int64_t sine = SinTable[turn & SinTableMask];
  const int64_t cosine = SinTable[(turn - SinTableQuarterTurn) & SinTableMask];
  const int64_t scx = src.width / 2, scy = src.height / 2;
  const int64_t dcx = out.width / 2, dcy = out.height / 2;
  T* d = out.cells;
  for (int64_t y = 0; y < out.height; ++y) {
    const int64_t v = y - dcy;
    const int64_t rowX = scx - ((v * sine) >> 15);
    const int64_t rowY = scy + ((v * cosine) >> 15);
    for (int64_t x = 0; x < out.width; ++x) {
      const int64_t u = x - dcx;
      const int64_t sx = rowX + ((u * cosine) >> 15);
      const int64_t sy = rowY + ((u * sine) >> 15);
      // One unsigned test a coordinate: a negative one wraps past the edge.
      const bool inside = static_cast<uint64_t>(sx) < static_cast<uint64_t>(src.width) &&
                          static_cast<uint64_t>(sy) < static_cast<uint64_t>(src.height);
      *d++ = inside ? src.cells[sy * src.width + sx] : T{0};
    }
  }
}

// The circle outline from the sine table; the right half sits one column
// left of the mirrored left half, so the outline is 2g samples wide at
// every height. False (nothing drawn) unless the centre lies inside and
// r > 0; points outside are skipped.
template <class T>
bool DrawCircle(View<T> grid, int cx, int cy, int r, T value) {
  if (!grid.Holds(cx, cy) || r <= 0) return false;
  // Points are placed in 64 bits: a large radius may reach far outside.
  const auto plot = [grid, value](int64_t x, int64_t y) {
    if (grid.Holds(x, y)) grid.Row(y)[x] = value;
  };
  for (int k = 0; k < SinTableQuarterTurn; ++k) {
    const int64_t g = (int64_t{r} * SinTable[(SinTableQuarterTurn + k) & SinTableMask]) >> 15;
    const int64_t h = (int64_t{r} * SinTable[k & SinTableMask]) >> 15;
    plot(cx + g - 1, cy + h);
    plot(cx - g, cy + h);
    plot(cx + g - 1, cy - h);
    plot(cx - g, cy - h);
  }
  return true;
}

// min(src, dst) widths of samples of a source row written from column x
// rightwards (x taken modulo the destination width), wrapping at the right
// edge. False unless both rows lie inside and dst has a width.
template <class T, class Store>
bool RowWrap(View<const T> src, View<T> dst, int srcRow, int dstRow, int x, Store store) {
  if (srcRow < 0 || srcRow >= src.height || dstRow < 0 || dstRow >= dst.height || dst.width <= 0)
    return false;
  int64_t column = x % dst.width;
  if (column < 0) column += dst.width;
  const T* s = src.Row(srcRow);
  T* d = dst.Row(dstRow);
  const int64_t count = std::min(src.width, dst.width);
  for (int64_t i = 0; i < count; ++i) {
    store(d[column], s[i]);
    if (++column == dst.width) column = 0;
  }
  return true;
}

// The column counterpart, keyed: from row y downwards, wrapping at the
// bottom. False unless both columns lie inside and dst has a height.
template <class T>
bool ColumnWrap(View<const T> src, View<T> dst, int srcCol, int dstCol, int y) {
  if (srcCol < 0 || srcCol >= src.width || dstCol < 0 || dstCol >= dst.width || dst.height <= 0)
    return false;
  int64_t row = y % dst.height;
  if (row < 0) row += dst.height;
  const int64_t count = std::min(src.height, dst.height);
  const T* s = src.cells + srcCol;
  for (int64_t i = 0; i < count; ++i, s += src.width) {
    KeyedStore{}(dst.Row(row)[dstCol], *s);
    if (++row == dst.height) row = 0;
  }
  return true;
}

}  // namespace grid
