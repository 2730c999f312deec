#include "effects/stars.hpp"

#include <cstdlib>

#include "core/identification.hpp"
#include "core/report.hpp"
#include "core/rnd.hpp"
#include "image/img.hpp"
#include "text/font.hpp"

namespace {

[[gnu::used]] constexpr Identification kIdentification{
    "CODE", "C", "TORVELIN", "20261207", "STARS   "};

constexpr bool kDiagnostics = false;
constexpr int32_t kOne = 0x10000;
constexpr int kDefaultCount = 16;
constexpr int kGlyphCycle = 64;
constexpr int kGlyphHalf = 16;

bool HasStars(const STARS* layer) { return layer && layer->stars; }
bool HasField(const STARS* layer) { return layer->width >= 1 && layer->height >= 1; }

int32_t PixelOf(int32_t fixed) { return fixed >> 16; }

// Whole pixels to 16.16; wraps rather than overflowing for absurdly wide fields.
int32_t ToFixed(int64_t pixel) {
  return static_cast<int32_t>(static_cast<uint32_t>(pixel) << 16);
}

int32_t WrappingAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

bool Outside(const STARS* layer, const STARSStar& star) {
  return star.x < 0 || star.y < 0 || PixelOf(star.x) >= layer->width ||
         PixelOf(star.y) >= layer->height;
}

void TakeSize(STARS* layer, const IMG* image) {
  layer->width = image->width;
  layer->height = image->height;
}

// Whether a star with both velocities set enters through a vertical edge.
// The weights grow with the whole-pixel speeds; when both come out 0 (each
// velocity between -1.0 and 0) the two edges are equally likely.
bool EntersThroughSide(int32_t vx, int32_t vy) {
  int64_t wx = std::abs(int64_t{PixelOf(vx)} + 1);
  int64_t wy = std::abs(int64_t{PixelOf(vy)} + 1);
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
  layer->vy = kOne;
  layer->colour = 0xFFFFFF;
  STARSSetCount(layer, kDefaultCount);
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
  if (!HasStars(layer) || !HasField(layer)) {
    STARSError();
    return;
  }
  for (int i = 0; i < layer->count; ++i) {
    const int r1 = RNDNext();
    const int r2 = RNDNext();
    layer->stars[i] = {ToFixed(r1 % layer->width), ToFixed(r2 % layer->height)};
  }
}

void STARSRespawn(STARS* layer, int index) {
  if (!HasStars(layer) || index < 0 || index >= layer->count || !HasField(layer)) {
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
    if (EntersThroughSide(vx, vy)) {
      px = vx < 0 ? right : 0;
    } else {
      py = vy < 0 ? bottom : 0;
    }
  } else if (vx != 0) {
    px = vx < 0 ? right : 0;
  } else if (vy != 0) {
    py = vy < 0 ? bottom : 0;
  }
  layer->stars[index] = {ToFixed(px), ToFixed(py)};
}

void STARSMove(STARS* layer) {
  if (!HasStars(layer)) {
    STARSError();
    return;
  }
  for (int i = 0; i < layer->count; ++i) {
    STARSStar& star = layer->stars[i];
    star.x = WrappingAdd(star.x, layer->vx);
    star.y = WrappingAdd(star.y, layer->vy);
    if (Outside(layer, star)) STARSRespawn(layer, i);
  }
}

void STARSDraw(STARS* layer, IMG* image) {
  if (!HasStars(layer) || !image) {
    STARSError();
    return;
  }
  TakeSize(layer, image);
  for (int i = 0; i < layer->count; ++i) {
    const STARSStar& star = layer->stars[i];
    IMGSetPixel(image, PixelOf(star.x), PixelOf(star.y), layer->colour);
  }
}

void STARSDrawMasked(STARS* layer, IMG* image, uint32_t key) {
  if (!HasStars(layer) || !image) {
    STARSError();
    return;
  }
  TakeSize(layer, image);
  for (int i = 0; i < layer->count; ++i) {
    const int32_t x = PixelOf(layer->stars[i].x), y = PixelOf(layer->stars[i].y);
    if (IMGGetPixel(image, x, y) == key) IMGSetPixel(image, x, y, layer->colour);
  }
}

void STARSDrawGlyphs(STARS* layer, IMG* image) {
  if (!HasStars(layer) || !image || !layer->font) {
    STARSError();
    return;
  }
  FONT* font = layer->font;
  font->target = image;
  TakeSize(layer, image);
  for (int i = 0; i < layer->count; ++i) {
    const int32_t x = PixelOf(layer->stars[i].x), y = PixelOf(layer->stars[i].y);
    font->ch = y % kGlyphCycle;
    font->x = x - kGlyphHalf;
    font->y = y - kGlyphHalf;
    FONTPutChar(font);
  }
}
