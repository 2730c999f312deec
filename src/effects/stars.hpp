// STARS: one layer of a scrolling starfield. Every star moves with the
// layer's velocity and is re-created at the edge it enters from once it
// leaves the field. Positions and velocities are 16.16 fixed point.
#pragma once
#include <cstdint>

struct FONT;
struct IMG;

struct STARSStar {
  int32_t x;
  int32_t y;
};

struct STARS {
  int32_t width;
  int32_t height;
  int32_t vx;
  int32_t vy;
  uint32_t colour;
  FONT* font;  // borrowed, for glyph stars
  int32_t count;
  STARSStar* stars;  // owned, count entries
};

STARS* STARSNew();
void STARSFree(STARS** ref);
void STARSSetCount(STARS* layer, int n);
void STARSScatter(STARS* layer);
void STARSRespawn(STARS* layer, int index);
void STARSMove(STARS* layer);
void STARSDraw(STARS* layer, IMG* image);
void STARSDrawMasked(STARS* layer, IMG* image, uint32_t key);
void STARSDrawGlyphs(STARS* layer, IMG* image);
void STARSError();
