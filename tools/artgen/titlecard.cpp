// A 512 x 160 title card: copper-bar sky, a striped setting sun, a
// perspective grid running to the horizon and the name in chrome.
#include <string>

#include "artgen.hpp"
#include "strokes.hpp"

namespace artgen {
namespace {

constexpr int Width = 512, Height = 160, Horizon = 104;

Rgb sky(int x, int y) {
  // Copper bars: a smooth ramp stepped into bands two pixels high.
  const double t = double(y - y % 2) / Horizon;
  Rgb c = ramp({rgb(10, 4, 40), rgb(60, 10, 90), rgb(170, 30, 110), rgb(250, 110, 60), rgb(255, 200, 90)}, t);
  // Sun: a disc cut by widening dark slots near the horizon.
  const double dx = x - Width / 2.0, dy = y - (Horizon - 6.0);
  if (std::hypot(dx, dy) < 46.0) {
    const int fromHorizon = Horizon - y;
    const bool slot = fromHorizon < 34 && (fromHorizon % 8) < (34 - fromHorizon) / 8;
    if (!slot) c = ramp({rgb(255, 250, 150), rgb(255, 150, 60), rgb(240, 50, 120)}, clamp01((y - (Horizon - 52.0)) / 52.0));
  }
  return c;
}

Rgb floor(int x, int y) {
  const double depth = double(y - Horizon + 1) / (Height - Horizon);  // 0 far .. 1 near
  Rgb c = mix(rgb(40, 8, 60), rgb(16, 4, 30), depth);
  // Lines across get closer together towards the horizon.
  const double z = 8.0 / depth;
  const bool across = std::fmod(z, 4.0) < 0.6 * depth + 0.25;
  // Lines along fan out from the vanishing point.
  const double spread = (x - Width / 2.0) / (depth * 40.0);
  const bool along = std::abs(spread - std::round(spread)) < 0.06 / depth + 0.04;
  // Far lines melt into the haze at the horizon.
  if (across || along) c = mix(c, mix(rgb(255, 60, 200), rgb(120, 240, 255), depth), std::sqrt(depth));
  return c;
}

void drawName(Pixmap& card) {
  constexpr const char* Name = "TORVELIN";
  constexpr double Box = 56.0, UnitX = 4.4, UnitY = 4.2, Top = 12.0, Pen = 5.5;
  for (int i = 0; Name[i]; ++i) {
    const double left = 32.0 + i * Box + (Box - 8 * UnitX) / 2.0;
    const auto strokes = placeStrokes(letterStrokes(Name[i]), left, Top, UnitX, UnitY);
    for (int y = 0; y < Horizon; ++y)
      for (int x = int(left) - 12; x < int(left + 8 * UnitX) + 12; ++x) {
        const Nearest n = nearestStroke(strokes, x + 0.5, y + 0.5);
        const double d = n.distance;
        if (d > Pen + 2.0) continue;
        const double t = clamp01((y - Top + Pen) / (12 * UnitY + 2 * Pen));
        Rgb chrome = t < 0.5 ? mix(rgb(120, 170, 255), rgb(255, 255, 255), t * 2)
                             : mix(rgb(110, 60, 20), rgb(255, 220, 140), (t - 0.5) * 2);
        if (n.dy < -Pen * 0.4) chrome = mix(chrome, Rgb{255, 255, 255}, 0.5);  // lit top rim
        card.set(x, y, d <= Pen ? chrome : rgb(20, 6, 30));
      }
  }
}

void drawTagline(Pixmap& card) {
  constexpr const char* Text = "A REAL-TIME INTRO * 256 X 256 * 50 FPS";
  const int scale = 1, width = int(std::char_traits<char>::length(Text)) * 8 * scale;
  const int left = (Width - width) / 2, top = Height - 14;
  for (int i = 0; Text[i]; ++i) {
    const auto rows = characterRows(static_cast<unsigned char>(Text[i]));
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        if ((rows[std::size_t(y)] >> (7 - x)) & 1) {
          card.set(left + i * 8 + x + 1, top + y + 1, rgb(20, 0, 30));
          card.set(left + i * 8 + x, top + y, ramp({rgb(255, 255, 255), rgb(120, 240, 255)}, y / 7.0));
        }
  }
}

}  // namespace

Pixmap makeTitleCard() {
  Pixmap card(Width, Height);
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) card.at(x, y) = y < Horizon ? sky(x, y) : floor(x, y);
  for (int x = 0; x < Width; ++x) card.at(x, Horizon) = rgb(255, 220, 255);
  drawName(card);
  drawTagline(card);
  return card;
}

}  // namespace artgen
