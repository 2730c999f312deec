// Letters described as pen strokes on a small design grid, for the large
// drawn fonts (the scroller letters and the title card's name).
#pragma once
#include <vector>

#include "raster.hpp"

namespace artgen {

struct Segment {
  double ax, ay, bx, by;
};

// Builds a letter's centre lines in design units: x 0..8, y 0..12 (y down).
class StrokeBuilder {
 public:
  StrokeBuilder& line(double ax, double ay, double bx, double by) {
    segments.push_back({ax, ay, bx, by});
    return *this;
  }
  StrokeBuilder& dot(double x, double y) { return line(x, y, x, y); }
  // Elliptic arc from angle a0 to a1 in degrees; 0 = right, 90 = down.
  StrokeBuilder& arc(double cx, double cy, double rx, double ry, double a0, double a1) {
    constexpr int Steps = 20;
    for (int i = 0; i < Steps; ++i) {
      const double t0 = (a0 + (a1 - a0) * i / Steps) * Pi / 180.0;
      const double t1 = (a0 + (a1 - a0) * (i + 1) / Steps) * Pi / 180.0;
      line(cx + rx * std::cos(t0), cy + ry * std::sin(t0), cx + rx * std::cos(t1), cy + ry * std::sin(t1));
    }
    return *this;
  }
  std::vector<Segment> segments;
};

// The stroke shape of one capital or punctuation mark ("A".."Z", ".:,-!?");
// empty for anything else.
std::vector<Segment> letterStrokes(char letter);

// Nearest stroke point to (px, py), with segments already in pixel units.
struct Nearest {
  double distance = 1e9;
  double dx = 0, dy = 0;  // from the nearest point to the pixel
};

inline Nearest nearestStroke(const std::vector<Segment>& segments, double px, double py) {
  Nearest best;
  for (const Segment& s : segments) {
    const double sx = s.bx - s.ax, sy = s.by - s.ay;
    const double len2 = sx * sx + sy * sy;
    const double t = len2 > 0 ? clamp01(((px - s.ax) * sx + (py - s.ay) * sy) / len2) : 0.0;
    const double dx = px - (s.ax + t * sx), dy = py - (s.ay + t * sy);
    const double d = std::hypot(dx, dy);
    if (d < best.distance) best = {d, dx, dy};
  }
  return best;
}

// Maps design units into a pixel box.
inline std::vector<Segment> placeStrokes(const std::vector<Segment>& design, double left, double top,
                                         double unitX, double unitY) {
  std::vector<Segment> out;
  for (const Segment& s : design)
    out.push_back({left + s.ax * unitX, top + s.ay * unitY, left + s.bx * unitX, top + s.by * unitY});
  return out;
}

}  // namespace artgen
