// IMG pixels and blits: single pixels, the clipped rectangle copies, the
// half blend, the full-frame subtract and invert, line points, the spaced
// copy, the circle outline and the noise fill. This file holds the scalar
// form of each loop, the reference, and picks the form for the level in
// force; the SSE2, AVX2 and AVX-512 forms are in files of their own, one per
// instruction set.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/cpu.hpp"
#include "core/rnd.hpp"
#include "image/grid.hpp"
#include "image/img.hpp"
#include "image/img_noise.hpp"
#include "image/img_pixels_forms.hpp"

namespace {

using img_forms::Rows;
using img_forms::Rule;
using img_forms::RuleTag;

bool HasPixels(const IMG* img) { return img && img->pixels; }

size_t PixelCount(const IMG* img) {
  return static_cast<size_t>(img->width) * static_cast<size_t>(img->height);
}

template <Rule kRule>
void ApplyRow(const uint32_t* __restrict s, uint32_t* __restrict d, int n) {
  for (int i = 0; i < n; ++i) d[i] = img_forms::ApplyWord(RuleTag<kRule>{}, s[i], d[i]);
}

// Glyph and tile rows are short: a call to memcpy per row would cost more
// than the copy, so those are moved inline and only long rows go to memcpy.
constexpr int kShortRowWords = 64;

// Keeps the compiler from turning the short copy loop back into a call to
// the library's memmove.
#if defined(__clang__)
#define IMG_INLINE_COPY __attribute__((no_builtin("memcpy", "memmove")))
#elif defined(__GNUC__)
#define IMG_INLINE_COPY __attribute__((optimize("no-tree-loop-distribute-patterns")))
#else
#define IMG_INLINE_COPY
#endif

template <>
IMG_INLINE_COPY void ApplyRow<Rule::copy>(const uint32_t* __restrict s, uint32_t* __restrict d, int n) {
  if (n > kShortRowWords) {
    memcpy(d, s, static_cast<size_t>(n) * sizeof(uint32_t));
    return;
  }
  for (int i = 0; i < n; ++i) d[i] = s[i];
}

// Every row of a rectangle through the scalar form.
template <Rule kRule>
void ApplyRows(const Rows& rows) {
  img_forms::WalkRows(rows, [](const uint32_t* s, uint32_t* d, int width) { ApplyRow<kRule>(s, d, width); });
}

// Each rule's rows at each instruction set level, narrowest first. A level
// this build has no form for is never in force.
template <Rule kRule>
constexpr img_forms::RowsForm kRowsAt[CPULevelCount] = {
    ApplyRows<kRule>,
#if TORVELIN_SSE2
    img_forms::ApplyRowsSSE2<kRule>,
#else
    ApplyRows<kRule>,
#endif
#if TORVELIN_CPU_DISPATCH
    img_forms::ApplyRowsAVX2<kRule>, img_forms::ApplyRowsAVX512<kRule>};
#else
    ApplyRows<kRule>, ApplyRows<kRule>};
#endif

// The form a rectangle of this width takes at the level in force. Long
// copied rows go to memcpy whatever the level.
template <Rule kRule>
img_forms::RowsForm RowsFor(int width) {
  if (kRule == Rule::copy && width > kShortRowWords) return ApplyRows<kRule>;
  return kRowsAt<kRule>[static_cast<int>(CPUVectorLevel())];
}

// The one clipping routine of every rectangle operation: the extent is
// clipped once, then both images are walked with running pointers. A
// source that is the destination itself is read from a copy of the
// rectangle, so overlapping rows cannot feed into each other.
template <Rule kRule>
void BlitRect(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h) {
  if (!HasPixels(src) || !HasPixels(dst)) {
    IMGError();
    return;
  }
  grid::Rect r{sx, sy, dx, dy, w, h};
  if (!grid::ClipRect(src, dst, r)) return;
  const int width = static_cast<int>(r.w);
  const uint32_t* s = src->pixels + r.sy * src->width + r.sx;
  int64_t sourcePitch = src->width;
  std::vector<uint32_t> copy;
  if (src == dst) {
    copy.resize(static_cast<size_t>(r.w * r.h));
    for (int64_t row = 0; row < r.h; ++row)
      memcpy(copy.data() + row * r.w, s + row * sourcePitch, static_cast<size_t>(r.w) * 4);
    s = copy.data();
    sourcePitch = r.w;
  }
  RowsFor<kRule>(width)({s, sourcePitch, dst->pixels + r.dy * dst->width + r.dx, dst->width, width, r.h});
}

void SubtractWords(uint32_t* __restrict p, size_t n, uint32_t colour) {
  for (size_t i = 0; i < n; ++i) p[i] = img_forms::SubtractWord(p[i], colour);
}

void InvertWords(uint32_t* __restrict p, size_t n) {
  for (size_t i = 0; i < n; ++i) p[i] = ~p[i] & 0xFFFFFFu;
}

constexpr img_forms::SubtractForm kSubtractAt[CPULevelCount] = {
    SubtractWords,
#if TORVELIN_SSE2
    img_forms::SubtractWordsSSE2,
#else
    SubtractWords,
#endif
#if TORVELIN_CPU_DISPATCH
    img_forms::SubtractWordsAVX2, img_forms::SubtractWordsAVX512};
#else
    SubtractWords, SubtractWords};
#endif

// The invert has no form wider than SSE2: it runs at memory speed there.
#if TORVELIN_SSE2
constexpr img_forms::InvertForm kInvertAt[CPULevelCount] = {InvertWords, img_forms::InvertWordsSSE2,
                                                            img_forms::InvertWordsSSE2, img_forms::InvertWordsSSE2};
#else
constexpr img_forms::InvertForm kInvertAt[CPULevelCount] = {InvertWords, InvertWords, InvertWords, InvertWords};
#endif

// First index i >= 0 with offset + i * pitch >= 0, and the end index past
// which offset + i * pitch reaches limit; pitch is at least 1.
int64_t FirstInside(int64_t offset, int64_t pitch) {
  return offset >= 0 ? 0 : (-offset + pitch - 1) / pitch;
}
int64_t EndInside(int64_t offset, int64_t pitch, int64_t limit) {
  return offset >= limit ? 0 : (limit - 1 - offset) / pitch + 1;
}

// The noise fill runs eight copies of the generator side by side, lane j
// being j steps ahead of lane 0, and moves each lane eight steps at a time:
// the same numbers in the same order, without one long chain of dependent
// multiplies.
constexpr size_t kNoiseLanes = img_forms::kNoiseBlock;
constexpr RNDStep kNoiseLeap = RNDLeap(kNoiseLanes);

constexpr uint32_t NoisePixel(uint32_t half, uint32_t state) { return half + ((state >> 16) & 0x7fu) * 0x010101u; }

inline uint32_t NoiseOver(uint32_t over, uint32_t noise) {
  return img_forms::ApplyWord(RuleTag<Rule::blendHalf>{}, over, noise);
}

template <bool kOver>
uint32_t FillNoiseLanes(uint32_t* pixels, const uint32_t* over, size_t& p, uint32_t half, uint32_t state) {
  uint32_t lanes[kNoiseLanes];
  for (uint32_t& lane : lanes) lane = state = RNDApply(RNDOneStep, state);
  for (;;) {
    for (size_t j = 0; j < kNoiseLanes; ++j) {
      const size_t at = p - 1 - j;
      const uint32_t noise = NoisePixel(half, lanes[j]);
      pixels[at] = kOver ? NoiseOver(over[at], noise) : noise;
    }
    p -= kNoiseLanes;
    state = lanes[kNoiseLanes - 1];
    if (p < kNoiseLanes) return state;
    for (uint32_t& lane : lanes) lane = RNDApply(kNoiseLeap, lane);
  }
}

// The fill with the blend chosen once for all pixels: the widest lanes the
// level has, the eight lanes, then one draw at a time for the last few.
template <bool kOver>
uint32_t FillNoise(uint32_t* pixels, const uint32_t* over, size_t count, uint32_t colour, uint32_t state) {
  const uint32_t half = (colour & 0xfcfcfcu) >> 1;
  size_t p = count;
  [[maybe_unused]] const CPULevel level = CPUVectorLevel();  // read only where vector forms are built
#if TORVELIN_CPU_DISPATCH
  if (p >= img_forms::kNoiseBlockAVX2 && level >= CPULevel::avx2)
    state = img_forms::FillNoiseLanesAVX2<kOver>(pixels, over, p, half, state);
#endif
#if TORVELIN_SSE2
  if (p >= kNoiseLanes && level >= CPULevel::sse2)
    state = img_forms::FillNoiseLanesSSE2<kOver>(pixels, over, p, half, state);
#endif
  if (p >= kNoiseLanes) state = FillNoiseLanes<kOver>(pixels, over, p, half, state);
  while (p-- > 0) {
    state = RNDApply(RNDOneStep, state);
    const uint32_t noise = NoisePixel(half, state);
    pixels[p] = kOver ? NoiseOver(over[p], noise) : noise;
  }
  return state;
}

}  // namespace

void IMGSetPixel(IMG* img, int x, int y, uint32_t colour) {
  if (!HasPixels(img)) {
    IMGError();
    return;
  }
  if (x < 0 || y < 0 || x >= img->width || y >= img->height) return;
  img->pixels[static_cast<size_t>(y) * static_cast<size_t>(img->width) + static_cast<size_t>(x)] =
      colour;
}

uint32_t IMGGetPixel(const IMG* img, int x, int y) {
  if (!HasPixels(img)) {
    IMGError();
    return 0;
  }
  if (x < 0 || y < 0 || x >= img->width || y >= img->height) return 0;
  return img->pixels[static_cast<size_t>(y) * static_cast<size_t>(img->width) +
                     static_cast<size_t>(x)];
}

void IMGBlit(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h) {
  BlitRect<Rule::copy>(src, dst, sx, sy, dx, dy, w, h);
}

void IMGBlitKeyed(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h) {
  BlitRect<Rule::keyed>(src, dst, sx, sy, dx, dy, w, h);
}

void IMGBlitAdd(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h) {
  BlitRect<Rule::add>(src, dst, sx, sy, dx, dy, w, h);
}

void IMGBlitAddSat(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h) {
  BlitRect<Rule::addSat>(src, dst, sx, sy, dx, dy, w, h);
}

// The whole source at (x, y): the same clipping as the rectangle blits with
// the source rectangle being the entire image.
void IMGBlendHalf(const IMG* src, IMG* dst, int x, int y) {
  if (!HasPixels(src) || !HasPixels(dst)) {
    IMGError();
    return;
  }
  BlitRect<Rule::blendHalf>(src, dst, 0, 0, x, y, src->width, src->height);
}

void IMGSubtract(IMG* img, uint32_t colour) {
  if (!HasPixels(img)) {
    IMGError();
    return;
  }
  kSubtractAt[static_cast<int>(CPUVectorLevel())](img->pixels, PixelCount(img), colour);
}

void IMGInvert(IMG* img) {
  if (!HasPixels(img)) {
    IMGError();
    return;
  }
  kInvertAt[static_cast<int>(CPUVectorLevel())](img->pixels, PixelCount(img));
}

// Bresenham along the major axis; element 0 holds twice the point count.
// Segments longer than the largest image could hold are refused.
int* IMGLinePoints(int x0, int y0, int x1, int y1) {
  int* points = grid::LinePoints(x0, y0, x1, y1, IMGMaxPixels - 1);
  if (!points) IMGError();
  return points;
}

void IMGBlitSpaced(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h,
                   int px, int py) {
  if (!HasPixels(src) || !HasPixels(dst) || px < 1 || py < 1) {
    IMGError();
    return;
  }
  // Index ranges i in [i0, i1), j in [j0, j1) whose source and target both
  // lie inside their images.
  const int64_t i0 = std::max(FirstInside(sx, 1), FirstInside(dx, px));
  const int64_t i1 = std::min({int64_t{w}, EndInside(sx, 1, src->width), EndInside(dx, px, dst->width)});
  const int64_t j0 = std::max(FirstInside(sy, 1), FirstInside(dy, py));
  const int64_t j1 = std::min({int64_t{h}, EndInside(sy, 1, src->height), EndInside(dy, py, dst->height)});
  if (i0 >= i1 || j0 >= j1) return;
  const uint32_t* sRow = src->pixels + (sy + j0) * int64_t{src->width} + sx + i0;
  uint32_t* dRow = dst->pixels + (dy + j0 * py) * int64_t{dst->width} + dx + i0 * px;
  const int64_t dRowStep = int64_t{py} * dst->width;
  for (int64_t j = j0; j < j1; ++j) {
    const uint32_t* s = sRow;
    uint32_t* d = dRow;
    for (int64_t i = i0; i < i1; ++i) {
      if (*s != 0) *d = *s;
      ++s;
      d += px;
    }
    sRow += src->width;
    dRow += dRowStep;
  }
}

void IMGDrawCircle(IMG* img, int cx, int cy, int r, uint32_t colour) {
  if (!HasPixels(img)) {
    IMGError();
    return;
  }
  const grid::View<uint32_t> cells{img->pixels, img->width, img->height};
  if (!grid::DrawCircle(cells, cx, cy, r, colour)) IMGError();
}

uint32_t IMGFillNoise(uint32_t* pixels, const uint32_t* over, size_t count, uint32_t colour, uint32_t state) {
  if (over) return FillNoise<true>(pixels, over, count, colour, state);
  return FillNoise<false>(pixels, over, count, colour, state);
}
