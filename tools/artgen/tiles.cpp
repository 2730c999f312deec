// Twelve 32 x 32 wall tiles. Every pattern is built from coordinates taken
// modulo the tile, so tiles laid edge to edge join without seams. Dark
// parts stay above pure black, which the giant letters treat as holes.
#include <functional>

#include "artgen.hpp"

namespace artgen {
namespace {

constexpr int Size = 32, Count = 12;

// Small repeatable grain: a hash of the wrapped position and a salt.
double grain(int x, int y, int salt) {
  unsigned h = unsigned(x & 31) * 73856093u ^ unsigned(y & 31) * 19349663u ^ unsigned(salt) * 83492791u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return double(h & 1023) / 1023.0 - 0.5;
}

// Raised-block shading: lit on the top and left rims, dark on the others.
double bevel(int u, int v, int w, int h) {
  if (u == 0 || v == 0) return 1.35;
  if (u == w - 1 || v == h - 1) return 0.6;
  if (u == 1 || v == 1) return 1.15;
  if (u == w - 2 || v == h - 2) return 0.8;
  return 1.0;
}

Rgb bricks(int x, int y) {
  const int row = y / 8, v = y % 8;
  const int shifted = (x + (row % 2) * 8) % 32;
  const int u = shifted % 16, brick = shifted / 16;
  if (v == 7 || u == 15) return rgb(70, 66, 72);
  // Tone by the brick, not the column, so a brick crossing the tile edge
  // keeps one colour.
  const double tone = 1.0 + 0.18 * grain(x / 2, y / 2, 1) + 0.08 * ((brick + row) % 2);
  return scale(rgb(176, 68, 44), tone * bevel(u, v, 15, 7));
}

Rgb rivetPlate(int x, int y) {
  const int u = x % 16, v = y % 16;
  const double brushed = 1.0 + 0.12 * grain(x, y / 4, 2);
  Rgb plate = scale(rgb(118, 132, 156), brushed * bevel(u, v, 16, 16));
  const double d = std::hypot(u - 7.5, v - 7.5);
  if (d < 3.0) {
    const double light = clamp01(0.6 - ((u - 7.5) + (v - 7.5)) / 4.0);
    plate = mix(rgb(60, 66, 84), rgb(236, 240, 255), light);
  } else if (d < 3.8) {
    plate = rgb(52, 56, 72);
  }
  return plate;
}

Rgb checks(int x, int y) {
  const int u = x % 8, v = y % 8;
  const bool odd = ((x / 8) + (y / 8)) % 2;
  const Rgb base = odd ? rgb(230, 200, 60) : rgb(80, 40, 150);
  return scale(base, bevel(u, v, 8, 8));
}

Rgb scales(int x, int y) {
  // Overlapping half discs, each row shifted by half a scale.
  const int row = y / 8;
  const double cx = ((x + (row % 2) * 8) % 16) - 8.0 + 0.5;
  const double cy = (y % 8) + 0.5;
  const double d = std::hypot(cx, cy) / 10.0;
  const double rim = d > 0.85 ? 0.55 : 1.0;
  const double shade = (1.15 - 0.6 * d) * rim;
  return scale(mix(rgb(40, 180, 120), rgb(190, 250, 170), clamp01(1.0 - d)), shade);
}

// A rectangle of tile pixels, its bounds included.
struct Box {
  int x0, x1, y0, y1;
  bool holds(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

// The copper traces, each a line one pixel wide; the far ends run off the tile.
constexpr int kOff = 1 << 16;
constexpr Box kTraces[] = {{-kOff, 19, 5, 5},  {20, 20, 5, 14}, {20, kOff, 14, 14}, {9, 9, 14, kOff},
                           {9, 26, 25, 25},    {26, 26, 20, 25}, {3, 3, 5, 27},      {-kOff, 3, 28, 28}};

bool onTrace(int x, int y) {
  for (const Box& trace : kTraces)
    if (trace.holds(x, y)) return true;
  return false;
}

Rgb circuit(int x, int y) {
  Rgb board = scale(rgb(22, 84, 48), 1.0 + 0.15 * grain(x, y, 5));
  const Rgb copper = rgb(226, 178, 70);
  if (onTrace(x, y)) board = copper;
  for (auto [px, py] : {std::pair{20, 14}, std::pair{9, 25}, std::pair{26, 20}, std::pair{3, 5}}) {
    const double d = std::hypot(x - px, y - py);
    if (d < 2.6) board = d < 1.0 ? rgb(60, 40, 20) : mix(copper, rgb(255, 240, 180), 0.5);
  }
  // A chip in the corner.
  if (Box{11, 17, 18, 22}.holds(x, y)) board = scale(rgb(50, 50, 60), bevel(x - 11, y - 18, 7, 5));
  return board;
}

Rgb studs(int x, int y) {
  // Four-sided pyramids: the face decides the brightness.
  const int u = x % 16, v = y % 16;
  const double fu = u - 7.5, fv = v - 7.5;
  double light;
  if (std::abs(fu) > std::abs(fv)) light = fu < 0 ? 1.25 : 0.55;
  else light = fv < 0 ? 1.05 : 0.7;
  return scale(rgb(200, 160, 60), light);
}

Rgb weave(int x, int y) {
  const int bx = (x / 8) % 4, by = (y / 8) % 4;
  const bool across = (bx + by) % 2 == 0;
  const int along = across ? x % 8 : y % 8, side = across ? y % 8 : x % 8;
  const double round = 1.0 - std::pow((side - 3.5) / 4.0, 2.0) * 0.9;
  const double thread = 1.0 + 0.1 * ((along + side) % 2);
  return scale(across ? rgb(214, 170, 110) : rgb(160, 110, 70), round * thread);
}

Rgb gems(int x, int y) {
  const double u = (x % 16) - 7.5, v = (y % 16) - 7.5;
  const double d = std::hypot(u, v) / 7.5;
  if (d > 1.0) return rgb(48, 20, 56);
  const double z = std::sqrt(1.0 - d * d);
  const double light = clamp01((-u - v) / 7.5 * 0.45 + z * 0.7);
  const Rgb body = scale(rgb(220, 50, 170), 0.35 + 0.75 * light);
  return mix(body, Rgb{255, 255, 255}, std::pow(light, 12.0));
}

Rgb planks(int x, int y) {
  const int plank = y / 8, v = y % 8;
  const int u = (x + plank * 13) % 32;  // joints spread, never two in a column
  if (v == 7) return rgb(60, 34, 20);
  const double ring = std::sin((u + 2.5 * std::sin((v + plank * 3) * Pi / 4.0)) * Pi / 4.0);
  const Rgb wood = mix(rgb(150, 92, 46), rgb(200, 136, 76), 0.5 + 0.5 * ring);
  return scale(wood, (u == 0 ? 0.65 : 1.0) * (v == 0 ? 1.2 : 1.0));
}

Rgb hazard(int x, int y) {
  const int band = (x + y) % 16;
  const bool yellow = band < 8;
  const double edge = (band == 0 || band == 8) ? 1.2 : (band == 7 || band == 15) ? 0.75 : 1.0;
  return scale(yellow ? rgb(240, 200, 30) : rgb(48, 44, 52), edge);
}

Rgb ripples(int x, int y) {
  const double a = 2 * Pi * x / Size, b = 2 * Pi * y / Size;
  const double wave = std::sin(2 * a + 1.5 * std::sin(b)) + std::sin(2 * b + std::sin(a));
  const double t = 0.5 + 0.25 * wave;
  Rgb water = ramp({rgb(20, 50, 130), rgb(40, 110, 200), rgb(150, 210, 255)}, t);
  if (t > 0.9) water = mix(water, Rgb{255, 255, 255}, (t - 0.9) * 5.0);
  return water;
}

Rgb glassBlocks(int x, int y) {
  const int u = x % 16, v = y % 16;
  if (u == 0 || v == 0) return rgb(90, 96, 110);
  const double gloss = (u + v < 12 && u + v > 7) ? 1.35 : 1.0;
  const double depth = 1.0 - 0.02 * std::max(std::abs(u - 8.0), std::abs(v - 8.0));
  return scale(rgb(80, 190, 200), gloss * depth * bevel(u - 1, v - 1, 15, 15));
}

const std::function<Rgb(int, int)> Patterns[Count] = {bricks, rivetPlate, checks, scales, circuit, studs,
                                                    weave,  gems,       planks, hazard, ripples, glassBlocks};

}  // namespace

Pixmap makeTiles() {
  Pixmap sheet(Size, Size * Count);
  for (int tile = 0; tile < Count; ++tile)
    for (int y = 0; y < Size; ++y)
      for (int x = 0; x < Size; ++x) {
        Rgb p = Patterns[tile](x, y);
        // Pure black is a hole when the tile becomes a letter's dot.
        if (p == Rgb{}) p = Rgb{1, 1, 1};
        sheet.at(x, tile * Size + y) = p;
      }
  return sheet;
}

}  // namespace artgen
