// The TORVELIN logo: heavy, square-cut letters drawn with an octagonal pen
// (every corner bevelled), leaning slightly forward, with one inline cut a
// few pixels inside their edge. Nothing finer than four pixels, so the
// program's nearest-neighbour resizes (a quarter up to twice the size) keep
// every line whole. The program inverts the picture after decoding, so the
// letters are drawn as clear bits.
#include <string_view>

#include "artgen.hpp"
#include "strokes.hpp"

namespace artgen {
namespace {

constexpr int Width = 1024, Height = 256;
constexpr const char* Name = "TORVELIN";

// Letter geometry in pixels: strokes are centre lines on an 8 x 12 design
// grid, widened by the pen.
constexpr double Pen = 22.0;              // half the stroke weight
constexpr double UnitX = 8.0, UnitY = 12.5;
constexpr double LetterWidth = 8 * UnitX + 2 * Pen;
constexpr double Gap = 14.0;              // between neighbouring letters
constexpr double Pitch = LetterWidth + Gap;
constexpr double CapTop = 28.0;           // top edge of the letters
constexpr double Lean = 0.12;             // forward slant, pixels per row
// The inline: a dark band this far inside the letters' edge.
constexpr double InlineFrom = 6.0, InlineTo = 10.0;

// Distance with an octagonal pen: flat sides, cut corners.
double octagonal(double dx, double dy) {
  const double ax = std::abs(dx), ay = std::abs(dy);
  return std::max({ax, ay, (ax + ay) / 1.38});
}

// Octagonal distance from (px, py) to the nearest point of a stroke.
double penDistance(const Segment& s, double px, double py) {
  const double sx = s.bx - s.ax, sy = s.by - s.ay;
  const double len2 = sx * sx + sy * sy;
  const double t = len2 > 0 ? clamp01(((px - s.ax) * sx + (py - s.ay) * sy) / len2) : 0.0;
  return octagonal(px - (s.ax + t * sx), py - (s.ay + t * sy));
}

// The logo's own letter shapes: square, built from straight strokes only.
std::vector<Segment> logoStrokes(char letter) {
  StrokeBuilder b;
  auto path = [&b](std::initializer_list<std::pair<double, double>> points) {
    const std::pair<double, double>* previous = nullptr;
    for (const auto& p : points) {
      if (previous) b.line(previous->first, previous->second, p.first, p.second);
      previous = &p;
    }
  };
  switch (letter) {
    case 'T': path({{0, 0}, {8, 0}}); path({{4, 0}, {4, 12}}); break;
    case 'O': path({{2, 0}, {6, 0}, {8, 2}, {8, 10}, {6, 12}, {2, 12}, {0, 10}, {0, 2}, {2, 0}}); break;
    case 'R':
      path({{0, 12}, {0, 0}, {6, 0}, {8, 2}, {8, 4.5}, {6, 6.5}, {0, 6.5}});
      path({{5, 6.5}, {8, 9.5}, {8, 12}});
      break;
    case 'V': path({{0, 0}, {0, 6}, {4, 12}, {8, 6}, {8, 0}}); break;
    case 'E': path({{8, 0}, {0, 0}, {0, 12}, {8, 12}}); path({{0, 6}, {6, 6}}); break;
    case 'L': path({{0, 0}, {0, 12}, {8, 12}}); break;
    case 'I': path({{1, 0}, {7, 0}}); path({{4, 0}, {4, 12}}); path({{1, 12}, {7, 12}}); break;
    case 'N': path({{0, 12}, {0, 0}, {8, 12}, {8, 0}}); break;
    default: break;
  }
  return b.segments;
}

struct Letter {
  std::vector<Segment> strokes;
  double left = 0;  // left edge of the stroke box before the pen
};

std::vector<Letter> layoutName() {
  std::vector<Letter> letters;
  const int count = int(std::string_view(Name).size());
  const double total = count * Pitch - Gap;
  const double first = (Width - total) / 2.0 + Pen;
  for (int i = 0; i < count; ++i) {
    const double left = first + i * Pitch;
    letters.push_back({placeStrokes(logoStrokes(Name[i]), left, CapTop + Pen, UnitX, UnitY), left});
  }
  return letters;
}

// Pen distance from the upright (unslanted) point (x, y) to the name.
double nameDistance(const std::vector<Letter>& letters, double x, double y) {
  double best = 1e9;
  for (const Letter& l : letters) {
    if (x < l.left - Pen - 2 || x > l.left + 8 * UnitX + Pen + 2) continue;
    for (const Segment& s : l.strokes) best = std::min(best, penDistance(s, x, y));
  }
  return best;
}

// True where the (inverted) picture shows white: the letters less their inline.
bool lit(const std::vector<Letter>& letters, int x, int y) {
  const double cx = x + 0.5, cy = y + 0.5;
  const double upright = cx + Lean * (cy - Height / 2.0);
  const double inside = Pen - nameDistance(letters, upright, cy);
  if (inside < 0) return false;
  return !(inside >= InlineFrom && inside < InlineTo);
}

}  // namespace

Bitmap makeLogo() {
  const std::vector<Letter> letters = layoutName();
  Bitmap logo(Width, Height);
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) logo.at(x, y) = lit(letters, x, y) ? 0 : 1;
  return logo;
}

}  // namespace artgen
