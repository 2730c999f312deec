// Tiny raster helpers for the picture generator: a plain pixel grid, colour
// arithmetic and a few shape distances. Standalone on purpose, so the
// generator builds before any of the program's own image code.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace artgen {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

template <typename Pixel>
struct Canvas {
  int width = 0;
  int height = 0;
  std::vector<Pixel> pixels;

  Canvas() = default;
  Canvas(int w, int h, Pixel fill = Pixel{}) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}

  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  Pixel& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }
  const Pixel& at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
  void set(int x, int y, Pixel p) {
    if (inside(x, y)) at(x, y) = p;
  }
  // Copies another canvas in with its top-left corner at (x, y), clipped.
  void paste(const Canvas& from, int x, int y) {
    for (int j = 0; j < from.height; ++j)
      for (int i = 0; i < from.width; ++i) set(x + i, y + j, from.at(i, j));
  }
};

using Bitmap = Canvas<std::uint8_t>;   // 1 = set bit, 0 = clear bit
using Greymap = Canvas<std::uint8_t>;  // 0..255
using Pixmap = Canvas<Rgb>;

inline int clampByte(double v) { return std::clamp(int(std::lround(v)), 0, 255); }
inline double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

inline double smoothstep(double edge0, double edge1, double x) {
  const double t = clamp01((x - edge0) / (edge1 - edge0));
  return t * t * (3.0 - 2.0 * t);
}

inline Rgb rgb(double r, double g, double b) {
  return Rgb{std::uint8_t(clampByte(r)), std::uint8_t(clampByte(g)), std::uint8_t(clampByte(b))};
}

inline Rgb mix(Rgb a, Rgb b, double t) {
  return rgb(a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t);
}

inline Rgb scale(Rgb c, double k) { return rgb(c.r * k, c.g * k, c.b * k); }

// Colour ramp through evenly spaced stops, t in 0..1.
inline Rgb ramp(const std::vector<Rgb>& stops, double t) {
  t = clamp01(t) * double(stops.size() - 1);
  const std::size_t i = std::min(std::size_t(t), stops.size() - 2);
  return mix(stops[i], stops[i + 1], t - double(i));
}

// Distance from point p to the segment a-b.
inline double segmentDistance(double px, double py, double ax, double ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay;
  const double len2 = dx * dx + dy * dy;
  const double t = len2 > 0 ? clamp01(((px - ax) * dx + (py - ay) * dy) / len2) : 0.0;
  return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// Ordered 4 x 4 dither threshold in 0..15, for one-bit shading.
inline int bayer4(int x, int y) {
  static constexpr int table[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return table[y & 3][x & 3];
}

// Draws a round-capped line of the given radius into a one-bit canvas.
inline void thickLine(Bitmap& canvas, double ax, double ay, double bx, double by, double radius) {
  const int x0 = int(std::floor(std::min(ax, bx) - radius)), x1 = int(std::ceil(std::max(ax, bx) + radius));
  const int y0 = int(std::floor(std::min(ay, by) - radius)), y1 = int(std::ceil(std::max(ay, by) + radius));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      if (segmentDistance(x + 0.5, y + 0.5, ax, ay, bx, by) <= radius) canvas.set(x, y, 1);
}

constexpr double Pi = 3.14159265358979323846;

}  // namespace artgen
