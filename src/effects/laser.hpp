// LASER: one straight beam from a fixed anchor to a wandering tip. The tip
// moves by its velocity each step; at an image edge it stops and slides off
// along that edge in a new random direction. All randomness comes from the
// shared generator (core/rnd.hpp), so the order of draws is fixed.
#pragma once
#include <cstdint>

struct IMG;

struct LASER {
  int32_t x0, y0;  // anchor
  int32_t x1, y1;  // tip
  int32_t vx, vy;  // tip velocity in pixels per step
  int32_t speedRange;
  int32_t speedBase;
  uint32_t colour;
  IMG* target;  // borrowed
};

LASER* LASERNew();
void LASERFree(LASER** ref);
// Binds the target and draws the start state (seven draws). Silently ignores
// a null argument or a target without area.
void LASERInit(LASER* laser, IMG* target);
void LASERMove(LASER* laser);
void LASERDraw(LASER* laser);
// As LASERDraw with one random colour per point (one draw per point).
void LASERDrawNoise(LASER* laser);
// A magnitude in [speedBase, speedBase + speedRange), then a random sign.
int LASERRandomSpeed(LASER* laser);
void LASERError();
