// Nine frames of a wireframe gyroscope: a cube turning one way, a star of
// two pyramids turning the other and a ring of beads. Each turns through a
// quarter turn in nine frames, which maps it onto itself, so the loop from
// the last frame back to the first is seamless.
#include <array>

#include "artgen.hpp"

namespace artgen {
namespace {

constexpr int Size = 256, Frames = 9;
constexpr double LineRadius = 2.6;

struct Vec3 {
  double x, y, z;
};

struct Camera {
  double tilt;  // radians, looking down on the object

  // Turn about the vertical axis, tilt, then project with perspective.
  std::pair<double, double> project(Vec3 p, double turn) const {
    const double c = std::cos(turn), s = std::sin(turn);
    const Vec3 r{p.x * c - p.z * s, p.y, p.x * s + p.z * c};
    const double ct = std::cos(tilt), st = std::sin(tilt);
    const Vec3 t{r.x, r.y * ct - r.z * st, r.y * st + r.z * ct};
    const double depth = 8.0 / (8.0 + t.z);
    return {Size / 2.0 + t.x * 56.0 * depth, Size / 2.0 + t.y * 56.0 * depth};
  }
};

void drawEdges(Bitmap& frame, int top, const Camera& cam, const std::vector<Vec3>& points,
               const std::vector<std::pair<int, int>>& edges, double turn, double radius) {
  for (auto [a, b] : edges) {
    const auto [ax, ay] = cam.project(points[std::size_t(a)], turn);
    const auto [bx, by] = cam.project(points[std::size_t(b)], turn);
    thickLine(frame, ax, ay + top, bx, by + top, radius);
  }
}

void drawCube(Bitmap& frame, int top, const Camera& cam, double turn) {
  std::vector<Vec3> corners;
  for (int i = 0; i < 8; ++i) corners.push_back({i & 1 ? 1.0 : -1.0, i & 2 ? 1.0 : -1.0, i & 4 ? 1.0 : -1.0});
  std::vector<std::pair<int, int>> edges;
  for (int a = 0; a < 8; ++a)
    for (int bit : {1, 2, 4})
      if (!(a & bit)) edges.push_back({a, a | bit});
  drawEdges(frame, top, cam, corners, edges, turn, LineRadius);
}

void drawStar(Bitmap& frame, int top, const Camera& cam, double turn) {
  const std::vector<Vec3> points = {{0, -1.6, 0}, {0, 1.6, 0}, {0.75, 0, 0}, {0, 0, 0.75}, {-0.75, 0, 0}, {0, 0, -0.75}};
  std::vector<std::pair<int, int>> edges;
  for (int i = 2; i < 6; ++i) {
    edges.push_back({0, i});
    edges.push_back({1, i});
    edges.push_back({i, i == 5 ? 2 : i + 1});
  }
  drawEdges(frame, top, cam, points, edges, turn, LineRadius * 0.8);
}

void drawBeads(Bitmap& frame, int top, const Camera& cam, double turn) {
  constexpr int Beads = 24;  // 15 degrees apart: a quarter turn maps the ring onto itself
  for (int i = 0; i < Beads; ++i) {
    const double a = 2.0 * Pi * i / Beads;
    const auto [x, y] = cam.project({1.6 * std::cos(a), 0.0, 1.6 * std::sin(a)}, turn);
    thickLine(frame, x, y + top, x, y + top, LineRadius * 1.5);
  }
}

}  // namespace

Bitmap makeStrip() {
  Bitmap strip(Size, Size * Frames);
  const Camera cam{0.42};
  for (int f = 0; f < Frames; ++f) {
    const double quarter = Pi / 2.0 * f / Frames;
    const int top = f * Size;
    Bitmap frame(Size, Size);
    drawCube(frame, 0, cam, quarter + 0.3);
    drawStar(frame, 0, cam, -quarter);
    drawBeads(frame, 0, cam, quarter * 0.5);
    strip.paste(frame, 0, top);
  }
  return strip;
}

}  // namespace artgen
