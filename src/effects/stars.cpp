#include "effects/stars.hpp"

#include <cstdlib>

#include "core/identification.hpp"
#include "core/report.hpp"
#include "core/rnd.hpp"
#include "image/img.hpp"
#include "text/font.hpp"

namespace {

[[gnu::used]] constexpr Identification identification{
    "CODE", "C", "TORVELIN", "20261207", "STARS   "};

constexpr bool kDiagnostics = false;
constexpr int32_t one = 0x10000;
constexpr int defaultCount = 16;
constexpr int glyphCycle = 64;
constexpr int glyphHalf = 16;

bool hasStars(const STARS* layer) { return layer && layer->stars; }
bool hasField(const STARS* layer) { return layer->width >= 1 && layer->height >= 1; }

int32_t pixelOf(int32_t fixed) { return fixed >> 16; }

// Whole pixels to 16.16; wraps rather than overflowing for absurdly wide fields.
int32_t toFixed(int64_t pixel) {
  return static_cast<int32_t>(static_cast<uint32_t>(pixel) << 16);
}

int32_t wrappingAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

bool outside(const STARS* layer, const STARSStar& star) {
  return star.x < 0 || star.y < 0 || pixelOf(star.x) >= layer->width ||
         pixelOf(star.y) >= layer->height;
}

void takeSize(STARS* layer, const IMG* image) {
  layer->width = image->width;
  layer->height = image->height;
}

// Whether a star with both velocities set enters through a vertical edge.
// The weights grow with the whole-pixel speeds; when both come out 0 (each
// velocity between -1.0 and 0) the two edges are equally likely.
bool entersThroughSide(int32_t vx, int32_t vy) {
  int64_t wx = std::abs(int64_t{pixelOf(vx)} + 1);
  int64_t wy = std::abs(int64_t{pixelOf(vy)} + 1);
  if (wx + wy == 0) wx = wy = 1;
  return RNDNext() % (wx + wy) < wx;
}

}  // namespace

void STARSError() {
  REPORTError(kDiagnostics, "STARS error\n");
}

STARS* STARSNew() {
  auto* layer = static_cast<STARS*>(std::calloc(1, sizeof(STARS)));
  if (!layer) {
    STARSError();
    return nullptr;
  }
  layer->width = 256;
  layer->height = 256;
  layer->vy = one;
  layer->colour = 0xFFFFFF;
  STARSSetCount(layer, defaultCount);
  return layer;
}

void STARSFree(STARS** ref) {
  if (!ref || !*ref) {
    STARSError();
    return;
  }
  std::free((*ref)->stars);
  std::free(*ref);
  *ref = nullptr;
}

void STARSSetCount(STARS* layer, int n) {
  if (!layer || n < 1) {
    STARSError();
    return;
  }
  std::free(layer->stars);
  layer->count = n;
  layer->stars = static_cast<STARSStar*>(std::calloc(static_cast<size_t>(n), sizeof(STARSStar)));
  if (!layer->stars) {
    STARSError();
    return;
  }
  STARSScatter(layer);
}

void STARSScatter(STARS* layer) {
  if (!hasStars(layer) || !hasField(layer)) {
    STARSError();
    return;
  }
  for (int i = 0; i < layer->count; ++i) {
    const int r1 = RNDNext();
    const int r2 = RNDNext();
    layer->stars[i] = {toFixed(r1 % layer->width), toFixed(r2 % layer->height)};
  }
}

void STARSRespawn(STARS* layer, int index) {
  if (!hasStars(layer) || index < 0 || index >= layer->count || !hasField(layer)) {
    STARSError();
    return;
  }
  const int32_t vx = layer->vx, vy = layer->vy;
  const int r1 = RNDNext();
  const int r2 = RNDNext();
  int64_t px = r1 % layer->width;
  int64_t py = r2 % layer->height;
  const int64_t right = layer->width - 1, bottom = layer->height - 1;
  if (vx != 0 && vy != 0) {
    if (entersThroughSide(vx, vy)) {
      px = vx < 0 ? right : 0;
    } else {
      py = vy < 0 ? bottom : 0;
    }
  } else if (vx != 0) {
    px = vx < 0 ? right : 0;
  } else if (vy != 0) {
    py = vy < 0 ? bottom : 0;
  }
  layer->stars[index] = {toFixed(px), toFixed(py)};
}

void STARSMove(STARS* layer) {
  if (!hasStars(layer)) {
    STARSError();
    return;
  }
  for (int i = 0; i < layer->count; ++i) {
    STARSStar& star = layer->stars[i];
    star.x = wrappingAdd(star.x, layer->vx);
    star.y = wrappingAdd(star.y, layer->vy);
    if (outside(layer, star)) STARSRespawn(layer, i);
  }
}

void STARSDraw(STARS* layer, IMG* image) {
  if (!hasStars(layer) || !image) {
    STARSError();
    return;
  }
  takeSize(layer, image);
  for (int i = 0; i < layer->count; ++i) {
    const STARSStar& star = layer->stars[i];
    IMGSetPixel(image, pixelOf(star.x), pixelOf(star.y), layer->colour);
  }
}

void STARSDrawMasked(STARS* layer, IMG* image, uint32_t key) {
  if (!hasStars(layer) || !image) {
    STARSError();
    return;
  }
  takeSize(layer, image);
  for (int i = 0; i < layer->count; ++i) {
    const int32_t x = pixelOf(layer->stars[i].x), y = pixelOf(layer->stars[i].y);
    if (IMGGetPixel(image, x, y) == key) IMGSetPixel(image, x, y, layer->colour);
  }
}

void STARSDrawGlyphs(STARS* layer, IMG* image) {
  if (!hasStars(layer) || !image || !layer->font) {
    STARSError();
    return;
  }
  FONT* font = layer->font;
  font->target = image;
  takeSize(layer, image);
  for (int i = 0; i < layer->count; ++i) {
    const int32_t x = pixelOf(layer->stars[i].x), y = pixelOf(layer->stars[i].y);
    font->ch = y % glyphCycle;
    font->x = x - glyphHalf;
    font->y = y - glyphHalf;
    FONTPutChar(font);
  }
}
