// The big scroller letters: thick round strokes, shaded like a chrome tube
// (sky above a horizon line, warm ground below) and ringed by a dark
// outline. Everything outside the outline is exactly 0.
#include "artgen.hpp"
#include "strokes.hpp"

namespace artgen {
namespace {

constexpr int CellWidth = 100, CellHeight = 200, Cells = 34;
constexpr double StrokeRadius = 10.5, OutlineWidth = 3.5;
constexpr double Left = 18.5, Top = 14, UnitX = 7.9, UnitY = 10.8;  // body inside rows 0..170
constexpr Rgb Outline{28, 14, 44};

// Cell index 2..27 = A..Z, then . : , - ! ?; cells 0 and 1 stay blank.
char cellLetter(int cell) {
  static constexpr char Punctuation[] = ".:,-!?";
  if (cell >= 2 && cell < 28) return char('A' + cell - 2);
  if (cell >= 28 && cell < Cells) return Punctuation[cell - 28];
  return 0;
}

// Chrome reflection by height within the letter: sky, a bright horizon,
// then a dark-to-gold ground.
Rgb chrome(double t) {
  if (t < 0.53)
    return ramp({rgb(40, 70, 160), rgb(110, 160, 240), rgb(210, 232, 255), rgb(255, 255, 255)}, t / 0.53);
  return ramp({rgb(70, 36, 16), rgb(150, 82, 30), rgb(232, 160, 70), rgb(255, 230, 160)}, (t - 0.53) / 0.47);
}

// The lit colour of a tube pixel: height t gives the reflection, the
// direction away from the stroke's centre line gives a soft bevel.
Rgb tubeShade(const Nearest& n, double t) {
  const double r = clamp01(n.distance / StrokeRadius);
  const double nx = r > 0 ? n.dx / n.distance * r : 0.0, ny = r > 0 ? n.dy / n.distance * r : 0.0;
  const double nz = std::sqrt(std::max(0.0, 1.0 - nx * nx - ny * ny));
  const double light = clamp01(-0.45 * nx - 0.55 * ny + 0.70 * nz);
  const Rgb base = scale(chrome(t), 0.45 + 0.65 * light);
  const double shine = std::pow(light, 18.0);
  return mix(base, Rgb{255, 255, 255}, shine * 0.8);
}

Rgb shadeGlyphPixel(const std::vector<Segment>& strokes, int x, int y) {
  const Nearest n = nearestStroke(strokes, x + 0.5, y + 0.5);
  const double outer = StrokeRadius + OutlineWidth;
  if (n.distance > outer + 0.5) return Rgb{};
  const double t = clamp01((y - Top) / (12.0 * UnitY));
  const Rgb body = tubeShade(n, t);
  // Soft edges inside: body into outline; outside: outline into black,
  // which never lets the outline itself reach 0.
  const double bodyCover = clamp01(StrokeRadius + 0.5 - n.distance);
  const Rgb inner = mix(Outline, body, bodyCover);
  const double outerCover = clamp01(outer + 0.5 - n.distance);
  if (outerCover >= 1.0) return inner;
  return outerCover < 0.5 ? Rgb{} : Outline;
}

void drawGlyph(Pixmap& sheet, int cell) {
  const std::vector<Segment> strokes = placeStrokes(letterStrokes(cellLetter(cell)), Left, Top, UnitX, UnitY);
  if (strokes.empty()) return;
  for (int y = 0; y < CellHeight; ++y)
    for (int x = 0; x < CellWidth; ++x) sheet.at(x, cell * CellHeight + y) = shadeGlyphPixel(strokes, x, y);
}

}  // namespace

Pixmap makeScrollerFont() {
  Pixmap sheet(CellWidth, CellHeight * Cells);
  for (int cell = 0; cell < Cells; ++cell) drawGlyph(sheet, cell);
  return sheet;
}

}  // namespace artgen
