// A 32-step twinkle: a point of light swells, flares into a four-pointed
// star with fainter diagonal rays, and fades out. Grey on exactly 0.
#include "artgen.hpp"

namespace artgen {
namespace {

constexpr int Size = 32, Steps = 32;
constexpr double Centre = 15.5;

struct Twinkle {
  double brightness;  // 0..1
  double core;        // glow radius in pixels
  double rays;        // ray length in pixels
};

Twinkle twinkleAt(int step) {
  const double t = double(step) / (Steps - 1);
  const double envelope = std::sin(Pi * std::pow(t, 0.8));
  const double flare = std::exp(-std::pow((step - 12) / 6.0, 2.0));
  return {envelope, 0.8 + 2.4 * envelope, 3.0 + 12.5 * flare * envelope};
}

// Brightness of a ray along direction (dx, dy) through the centre.
double ray(double u, double v, double dx, double dy, double length, double width) {
  const double along = std::abs(u * dx + v * dy), across = std::abs(-u * dy + v * dx);
  if (along > length) return 0.0;
  return (1.0 - along / length) * std::exp(-across / width);
}

std::uint8_t twinklePixel(const Twinkle& tw, int x, int y) {
  const double u = x + 0.5 - Centre, v = y + 0.5 - Centre;
  const double r2 = u * u + v * v;
  double light = std::exp(-r2 / (2.0 * tw.core * tw.core));
  light += ray(u, v, 1, 0, tw.rays, 0.55) + ray(u, v, 0, 1, tw.rays, 0.55);
  const double diagonal = std::sqrt(0.5);
  light += 0.55 * (ray(u, v, diagonal, diagonal, tw.rays * 0.5, 0.45) + ray(u, v, diagonal, -diagonal, tw.rays * 0.5, 0.45));
  const int value = clampByte(255.0 * tw.brightness * std::min(1.0, light));
  // Faint haze would show as a grey square on the floor: cut it.
  return std::uint8_t(value < 10 ? 0 : value);
}

}  // namespace

Greymap makeSparkles() {
  Greymap strip(Size * Steps, Size);
  for (int step = 0; step < Steps; ++step) {
    const Twinkle tw = twinkleAt(step);
    for (int y = 0; y < Size; ++y)
      for (int x = 0; x < Size; ++x) strip.at(step * Size + x, y) = twinklePixel(tw, x, y);
  }
  return strip;
}

}  // namespace artgen
