// The TORVELIN logo: heavy letters cut with an octagonal pen (so every
// corner is bevelled), an inner rim line, speed stripes through the lower
// half, a hatched drop shadow and a fading underline. The program inverts
// the picture after decoding, so the letters are drawn as clear bits.
#include "artgen.hpp"
#include "strokes.hpp"

namespace artgen {
namespace {

constexpr int Width = 1024, Height = 256, LetterBox = 128;
constexpr double Pen = 17.0, UnitX = 9.6, UnitY = 13.0, Top = 30.0;
constexpr int ShadowX = 9, ShadowY = 9;
constexpr const char* Name = "TORVELIN";

// Distance with an octagonal pen: flat sides, cut corners.
double octagonal(double dx, double dy) {
  const double ax = std::abs(dx), ay = std::abs(dy);
  return std::max({ax, ay, (ax + ay) / 1.38});
}

struct LetterField {
  std::vector<Segment> strokes;
  double penDistance(double x, double y) const {
    const Nearest n = nearestStroke(strokes, x, y);
    return octagonal(n.dx, n.dy);
  }
};

std::vector<LetterField> layoutName() {
  std::vector<LetterField> letters;
  for (int i = 0; Name[i]; ++i) {
    const double left = i * LetterBox + (LetterBox - 8.0 * UnitX) / 2.0;
    letters.push_back({placeStrokes(letterStrokes(Name[i]), left, Top, UnitX, UnitY)});
  }
  return letters;
}

// Smallest pen distance to any letter near column x.
double nameDistance(const std::vector<LetterField>& letters, double x, double y) {
  const int box = std::clamp(int(x) / LetterBox, 0, int(letters.size()) - 1);
  double best = 1e9;
  for (int b = std::max(0, box - 1); b <= std::min(int(letters.size()) - 1, box + 1); ++b)
    best = std::min(best, letters[std::size_t(b)].penDistance(x, y));
  return best;
}

// Speed stripes: gaps that widen towards the letters' feet.
bool stripeGap(int y) {
  const int bottom = int(Top + 12 * UnitY + Pen);
  const int fromFoot = bottom - y;
  for (int gap : {8, 20, 34, 50})
    if (fromFoot >= gap && fromFoot < gap + 2 + (50 - gap) / 16) return true;
  return false;
}

// True where the (inverted) picture shows white: letters and their trim.
bool lit(const std::vector<LetterField>& letters, int x, int y) {
  const double d = nameDistance(letters, x + 0.5, y + 0.5);
  if (d <= Pen) {
    const bool rim = d > Pen - 6.0 && d <= Pen - 4.0;  // inner line, two pixels wide
    return !rim && !stripeGap(y);
  }
  if (d <= Pen + 3.0) return false;  // a black gap keeps the letters apart from their shadow
  const double shadow = nameDistance(letters, x - ShadowX + 0.5, y - ShadowY + 0.5);
  // Hatched shadow: a period of 3 survives the program's 2x and 4x
  // nearest-neighbour resizes, where a checkerboard would turn solid.
  if (shadow <= Pen) return (x + y) % 3 == 0;
  // Underline: two thin bars dithered out towards the picture's ends.
  const int bar = y - (int(Top + 12 * UnitY + Pen) + ShadowY + 10);
  if (bar == 0 || bar == 1 || bar == 5) {
    const double fade = 1.0 - std::abs(x - Width / 2.0) / (Width / 2.0);
    return bayer4(x, y) < int(fade * 20.0);
  }
  return false;
}

}  // namespace

Bitmap makeLogo() {
  const std::vector<LetterField> letters = layoutName();
  Bitmap logo(Width, Height);
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) logo.at(x, y) = lit(letters, x, y) ? 0 : 1;
  return logo;
}

}  // namespace artgen
