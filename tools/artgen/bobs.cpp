// Seven shaded balls. Channels stay at or below 127 because the scene adds
// every ball onto a copy of itself; outside the ball everything is 0.
#include "artgen.hpp"

namespace artgen {
namespace {

constexpr int Size = 32, Count = 7;
constexpr double Radius = 15.0, Centre = 15.5, Peak = 127.0;

constexpr Rgb Colours[Count] = {{255, 40, 40}, {255, 140, 20}, {250, 230, 40}, {60, 230, 60},
                                {40, 220, 230}, {60, 90, 255}, {230, 60, 240}};

// One pixel of a ball lit from the upper left; 0 outside the disc.
Rgb ballPixel(Rgb colour, int x, int y) {
  const double u = (x + 0.5 - Centre) / Radius, v = (y + 0.5 - Centre) / Radius;
  const double d2 = u * u + v * v;
  if (d2 > 0.985) return Rgb{};  // no lone pixels poking out at the rim
  const double z = std::sqrt(1.0 - d2);
  const double lx = -0.45, ly = -0.55, lz = 0.70;
  const double diffuse = clamp01(u * lx + v * ly + z * lz);
  // Reflection of the light about the normal, viewed head on.
  const double reflect = 2.0 * (u * lx + v * ly + z * lz) * z - lz;
  const double specular = std::pow(clamp01(reflect), 24.0);
  const double k = (0.18 + 0.82 * diffuse) * Peak / 255.0;
  Rgb lit = rgb(colour.r * k, colour.g * k, colour.b * k);
  lit = mix(lit, Rgb{std::uint8_t(Peak), std::uint8_t(Peak), std::uint8_t(Peak)}, specular);
  // Keep the rim visible: a pixel inside the ball must not be 0.
  if (lit == Rgb{}) lit = Rgb{1, 1, 1};
  return lit;
}

}  // namespace

Pixmap makeBobs() {
  Pixmap sheet(Size, Size * Count);
  for (int ball = 0; ball < Count; ++ball)
    for (int y = 0; y < Size; ++y)
      for (int x = 0; x < Size; ++x) sheet.at(x, ball * Size + y) = ballPixel(Colours[ball], x, y);
  return sheet;
}

}  // namespace artgen
