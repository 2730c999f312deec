#include "effects/laser.hpp"

#include <cstdlib>

#include "core/identification.hpp"
#include "core/report.hpp"
#include "core/rnd.hpp"
#include "image/img.hpp"

namespace {

constexpr bool kDiagnostics = false;

[[gnu::used]] constexpr Identification kIdentification{
    "CODE", "C", "TORVELIN", "20261207", "LASER   "};

bool HasArea(const IMG* img) { return img != nullptr && img->width > 0 && img->height > 0; }

// Walks the beam's points from the tip back to the anchor.
template <typename ColourOf>
void DrawBeam(LASER* laser, ColourOf colourOf) {
  if (laser == nullptr || laser->target == nullptr) return;
  int* points = IMGLinePoints(laser->x0, laser->y0, laser->x1, laser->y1);
  if (points == nullptr) return;
  for (int i = points[0] - 1; i > 0; i -= 2) {
    IMGSetPixel(laser->target, points[i], points[i + 1], colourOf());
  }
  std::free(points);
}

}  // namespace

void LASERError() {
  REPORTError(kDiagnostics, "LASER Error.\n");
}

LASER* LASERNew() {
  auto* laser = static_cast<LASER*>(std::calloc(1, sizeof(LASER)));
  if (laser == nullptr) LASERError();
  return laser;
}

void LASERFree(LASER** ref) {
  if (ref == nullptr || *ref == nullptr) {
    LASERError();
    return;
  }
  std::free(*ref);
  *ref = nullptr;
}

int LASERRandomSpeed(LASER* laser) {
  // Only a range of 0 cannot be divided by. With a negative range the
  // remainder keeps the draw's sign, and both draws are still made.
  if (laser == nullptr || laser->speedRange == 0) {
    LASERError();
    return 0;
  }
  int magnitude = RNDNext() % laser->speedRange + laser->speedBase;
  return (RNDNext() & 1) != 0 ? -magnitude : magnitude;
}

void LASERInit(LASER* laser, IMG* target) {
  if (laser == nullptr || !HasArea(target)) return;
  laser->target = target;
  laser->x0 = RNDNext() % target->width;
  laser->y0 = RNDNext() % target->height;
  laser->x1 = RNDNext() % target->width;
  laser->y1 = 0;
  laser->speedRange = 12;
  laser->speedBase = 8;
  laser->vx = LASERRandomSpeed(laser);
  laser->vy = LASERRandomSpeed(laser);
  laser->colour = 0xFFFFFF;
}

void LASERMove(LASER* laser) {
  if (laser == nullptr || !HasArea(laser->target)) return;
  const int w = laser->target->width;
  const int h = laser->target->height;
  int x = laser->x1;
  int y = laser->y1;
  int vx = laser->vx;
  int vy = laser->vy;
  if (vx == 0 && vy == 0) {
    vx = LASERRandomSpeed(laser);
    vy = LASERRandomSpeed(laser);
  }
  x += vx;
  if (x >= w || x < 0) {
    x = x >= w ? w - 1 : 0;
    vx = 0;
    vy = LASERRandomSpeed(laser);
  }
  y += vy;
  if (y >= h || y < 0) {
    y = y >= h ? h - 1 : 0;
    vy = 0;
    vx = LASERRandomSpeed(laser);
  }
  laser->x1 = x;
  laser->y1 = y;
  laser->vx = vx;
  laser->vy = vy;
}

void LASERDraw(LASER* laser) {
  if (laser == nullptr) return;
  const uint32_t colour = laser->colour;
  DrawBeam(laser, [colour] { return colour; });
}

void LASERDrawNoise(LASER* laser) {
  DrawBeam(laser, [] { return static_cast<uint32_t>(RNDNext()) & 0xFFFFFFu; });
}
