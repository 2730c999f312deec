// IMG pixels and blits: single pixels, the clipped rectangle copies, the
// half blend, the full-frame subtract and invert, line points, the spaced
// copy, the circle outline and the noise fill. The AVX2 and AVX-512 forms
// are in files of their own, one per instruction set.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include "core/cpu.hpp"
#include "core/rnd.hpp"
#include "image/grid.hpp"
#include "image/img.hpp"
#include "image/img_noise.hpp"
#include "image/img_pixels_forms.hpp"

namespace {

using img_forms::Rows;

bool HasPixels(const IMG* img) { return img && img->pixels; }

size_t PixelCount(const IMG* img) {
  return static_cast<size_t>(img->width) * static_cast<size_t>(img->height);
}

// Pixel rules: each maps (source word, destination word) to the new
// destination word. Where SSE2 is there (every x86-64 processor) each rule
// also has a four-word form on whole registers; the word form finishes the
// rows and serves every other target. The tag each derives from names the
// rule to the forms of the wider instruction sets.
struct CopyRule : img_forms::RuleTag<img_forms::Rule::copy> {
  static uint32_t Apply(uint32_t s, uint32_t) { return s; }
#if defined(__SSE2__)
  static __m128i Apply4(__m128i s, __m128i) { return s; }
#endif
};
struct KeyedRule : img_forms::RuleTag<img_forms::Rule::keyed> {
  static uint32_t Apply(uint32_t s, uint32_t d) { return s != 0 ? s : d; }
#if defined(__SSE2__)
  static __m128i Apply4(__m128i s, __m128i d) {
    const __m128i zero = _mm_cmpeq_epi32(s, _mm_setzero_si128());
    return _mm_or_si128(_mm_and_si128(zero, d), s);
  }
#endif
};
struct AddRule : img_forms::RuleTag<img_forms::Rule::add> {
  static uint32_t Apply(uint32_t s, uint32_t d) { return s + d; }
#if defined(__SSE2__)
  static __m128i Apply4(__m128i s, __m128i d) { return _mm_add_epi32(s, d); }
#endif
};
// Per-channel min(255, s + d): the low seven bits of each channel are added
// without crossing channels, the eighth bits are combined by hand, and every
// channel that carried out of its top bit is forced to 255.
struct AddSatRule : img_forms::RuleTag<img_forms::Rule::addSat> {
  static uint32_t Apply(uint32_t s, uint32_t d) {
    s &= 0xFFFFFFu;
    d &= 0xFFFFFFu;
    const uint32_t low = (s & 0x7F7F7Fu) + (d & 0x7F7F7Fu);
    const uint32_t high = (s ^ d) & 0x808080u;
    const uint32_t carry = (((s & d) | (high & low)) & 0x808080u) >> 7;
    return (low ^ high) | ((carry << 8) - carry);
  }
#if defined(__SSE2__)
  // A saturating byte add is exactly the per-channel rule; the top byte
  // is cleared afterwards.
  static __m128i Apply4(__m128i s, __m128i d) {
    return _mm_and_si128(_mm_adds_epu8(s, d), _mm_set1_epi32(0xFFFFFF));
  }
#endif
};
struct BlendHalfRule : img_forms::RuleTag<img_forms::Rule::blendHalf> {
  static uint32_t Apply(uint32_t s, uint32_t d) {
    return s != 0 ? ((s >> 1) & 0x7F7F7Fu) + ((d >> 1) & 0x7F7F7Fu) : d;
  }
#if defined(__SSE2__)
  // With the bottom bit of every channel cleared, the rounding byte average
  // of the two words has nothing to round: it is exactly s/2 + d/2 in each
  // channel, and the top byte stays 0.
  static __m128i Apply4(__m128i s, __m128i d) {
    const __m128i halvable = _mm_set1_epi32(0xFEFEFE);
    const __m128i half = _mm_avg_epu8(_mm_and_si128(s, halvable), _mm_and_si128(d, halvable));
    const __m128i zero = _mm_cmpeq_epi32(s, _mm_setzero_si128());
    return _mm_or_si128(_mm_and_si128(zero, d), _mm_andnot_si128(zero, half));
  }
#endif
};

#if defined(__SSE2__)
inline __m128i Load4(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store4(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
#endif

// Rewrites p[0..n) word by word: eight words at a time through the
// register form vector(v) where SSE2 is there, the rest through word(w).
template <class Vector, class Word>
inline void MapWords(uint32_t* __restrict p, size_t n, [[maybe_unused]] Vector vector, Word word) {
  size_t i = 0;
#if defined(__SSE2__)
  for (; i + 8 <= n; i += 8) {
    Store4(p + i, vector(Load4(p + i)));
    Store4(p + i + 4, vector(Load4(p + i + 4)));
  }
#endif
  for (; i < n; ++i) p[i] = word(p[i]);
}

// The last words of a row from word i on, fewer than eight.
template <class Rule>
inline void ApplyRowTail(const uint32_t* __restrict s, uint32_t* __restrict d, size_t i, size_t count) {
#if defined(__SSE2__)
  if (i + 4 <= count) {
    Store4(d + i, Rule::Apply4(Load4(s + i), Load4(d + i)));
    i += 4;
  }
#endif
  for (; i < count; ++i) d[i] = Rule::Apply(s[i], d[i]);
}

template <class Rule>
void ApplyRow(const uint32_t* __restrict s, uint32_t* __restrict d, int n) {
  const size_t count = static_cast<size_t>(n);
  size_t i = 0;
#if defined(__SSE2__)
  for (; i + 8 <= count; i += 8) {
    Store4(d + i, Rule::Apply4(Load4(s + i), Load4(d + i)));
    Store4(d + i + 4, Rule::Apply4(Load4(s + i + 4), Load4(d + i + 4)));
  }
#endif
  ApplyRowTail<Rule>(s, d, i, count);
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
IMG_INLINE_COPY void ApplyRow<CopyRule>(const uint32_t* __restrict s, uint32_t* __restrict d, int n) {
  if (n > kShortRowWords) {
    memcpy(d, s, static_cast<size_t>(n) * sizeof(uint32_t));
    return;
  }
  int i = 0;
#if defined(__SSE2__)
  for (; i + 4 <= n; i += 4) Store4(d + i, Load4(s + i));
#endif
  for (; i < n; ++i) d[i] = s[i];
}

// Every row of a rectangle through the baseline form. The rows are walked
// from a copy of their description, which the stores cannot alias, so
// that it stays in registers.
template <class Rule>
void ApplyRows(const Rows& rectangle) {
  const Rows rows = rectangle;
  const uint32_t* s = rows.s;
  uint32_t* d = rows.d;
  for (int64_t row = 0; row < rows.count; ++row, s += rows.sourcePitch, d += rows.destinationPitch) {
    if (img_forms::PrefetchNext(rows, row)) img_forms::PrefetchRow(s + rows.sourcePitch, rows.width);
    ApplyRow<Rule>(s, d, rows.width);
  }
}

// Each rule's rows at each instruction set level, narrowest first: the
// baseline rows are built into every blit (null here), the wider forms are
// called.
template <class Rule>
constexpr img_forms::RowsForm kWiderRowsAt[CPULevelCount] = {
#if TORVELIN_CPU_DISPATCH
    nullptr, img_forms::ApplyRowsAVX2<Rule::value>, img_forms::ApplyRowsAVX512<Rule::value>};
#else
    nullptr, nullptr, nullptr};
#endif

// The wider form a rectangle of this width takes at the level in force, or
// null for the baseline rows. Long copied rows go to memcpy whatever the
// level.
template <class Rule>
img_forms::RowsForm WiderRowsFor(int width) {
  if (std::is_same_v<Rule, CopyRule> && width > kShortRowWords) return nullptr;
  return kWiderRowsAt<Rule>[static_cast<int>(CPUVectorLevel())];
}

// The one clipping routine of every rectangle operation: the extent is
// clipped once, then both images are walked with running pointers. A
// source that is the destination itself is read from a copy of the
// rectangle, so overlapping rows cannot feed into each other.
template <class Rule>
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
  const Rows rows{s, sourcePitch, dst->pixels + r.dy * dst->width + r.dx, dst->width, width, r.h};
  if (const img_forms::RowsForm wider = WiderRowsFor<Rule>(width)) {
    wider(rows);
    return;
  }
  ApplyRows<Rule>(rows);
}

// Per-channel max(0, p - c) on the three channels, each kept in its own lane
// of a signed word so the clamp is a sign mask.
uint32_t SubtractWord(uint32_t p, uint32_t colour) {
  const int32_t word = static_cast<int32_t>(p);
  int32_t dr = (word & 0xFF0000) - static_cast<int32_t>(colour & 0xFF0000u);
  int32_t dg = (word & 0xFF00) - static_cast<int32_t>(colour & 0xFF00u);
  int32_t db = (word & 0xFF) - static_cast<int32_t>(colour & 0xFFu);
  dr &= ~(dr >> 31);
  dg &= ~(dg >> 31);
  db &= ~(db >> 31);
  return static_cast<uint32_t>(dr | dg | db);
}

void SubtractWords(uint32_t* __restrict p, size_t n, uint32_t colour) {
#if defined(__SSE2__)
  // A saturating byte subtract; 0xFF in the top byte clears it.
  const __m128i by = _mm_set1_epi32(static_cast<int>((colour & 0xFFFFFFu) | 0xFF000000u));
  const auto vector = [by](__m128i v) { return _mm_subs_epu8(v, by); };
#else
  const auto vector = nullptr;
#endif
  MapWords(p, n, vector, [colour](uint32_t w) { return SubtractWord(w, colour); });
}

constexpr img_forms::SubtractForm kSubtractAt[CPULevelCount] = {
#if TORVELIN_CPU_DISPATCH
    SubtractWords, img_forms::SubtractWordsAVX2, img_forms::SubtractWordsAVX512};
#else
    SubtractWords, SubtractWords, SubtractWords};
#endif

void InvertWords(uint32_t* __restrict p, size_t n) {
#if defined(__SSE2__)
  const __m128i low24 = _mm_set1_epi32(0xFFFFFF);
  const auto vector = [low24](__m128i v) { return _mm_andnot_si128(v, low24); };
#else
  const auto vector = nullptr;
#endif
  MapWords(p, n, vector, [](uint32_t w) { return ~w & 0xFFFFFFu; });
}

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
constexpr size_t kNoiseLanes = 8;
constexpr RNDStep kNoiseLeap = RNDLeap(kNoiseLanes);

constexpr uint32_t NoisePixel(uint32_t half, uint32_t state) { return half + ((state >> 16) & 0x7fu) * 0x010101u; }

#if defined(__SSE2__)
// Eight lanes in four registers, two lanes each in the low halves of the
// 64-bit slots, where one unsigned 32 x 32 multiply steps both. A register
// pair holds the draws of four neighbouring pixels, the first draw in the
// highest word, since the fill runs from the last pixel down.
struct LanePair {
  __m128i high;  // draws 4k+4 and 4k+3 of the block
  __m128i low;   // draws 4k+2 and 4k+1
};

inline __m128i Slots(uint32_t first, uint32_t second) {
  return _mm_set_epi32(0, static_cast<int>(second), 0, static_cast<int>(first));
}

inline __m128i LeapLanes(__m128i lanes) {
  const __m128i multiplier = _mm_set1_epi32(static_cast<int>(kNoiseLeap.multiplier));
  const __m128i increment = Slots(kNoiseLeap.increment, kNoiseLeap.increment);
  return _mm_add_epi32(_mm_mul_epu32(lanes, multiplier), increment);
}

// Four pixels from the states of a pair: half the colour plus bits 16..22
// of each state in all three channels, under the overlay when there is one.
template <bool kOver>
inline void StoreNoise(uint32_t* pixels, const uint32_t* over, size_t at, const LanePair& pair, __m128i half) {
  const __m128i states = _mm_castps_si128(
      _mm_shuffle_ps(_mm_castsi128_ps(pair.high), _mm_castsi128_ps(pair.low), _MM_SHUFFLE(2, 0, 2, 0)));
  const __m128i grey = _mm_and_si128(states, _mm_set1_epi32(0x7f0000));
  const __m128i spread = _mm_or_si128(grey, _mm_or_si128(_mm_srli_epi32(grey, 8), _mm_srli_epi32(grey, 16)));
  const __m128i noise = _mm_add_epi32(half, spread);
  Store4(pixels + at, kOver ? BlendHalfRule::Apply4(Load4(over + at), noise) : noise);
}

// Whole blocks of eight pixels, as img_forms::FillNoiseLanesAVX2 fills
// blocks of 32. The position is kept locally so that it stays in a
// register.
template <bool kOver>
uint32_t FillNoiseLanes(uint32_t* pixels, const uint32_t* over, size_t& p, uint32_t half, uint32_t state) {
  uint32_t draw[kNoiseLanes];
  for (uint32_t& d : draw) d = state = RNDApply(RNDOneStep, state);
  LanePair upper{Slots(draw[3], draw[2]), Slots(draw[1], draw[0])};
  LanePair lower{Slots(draw[7], draw[6]), Slots(draw[5], draw[4])};
  const __m128i halves = _mm_set1_epi32(static_cast<int>(half));
  size_t top = p;
  for (;;) {
    StoreNoise<kOver>(pixels, over, top - 4, upper, halves);
    StoreNoise<kOver>(pixels, over, top - 8, lower, halves);
    top -= kNoiseLanes;
    if (top < kNoiseLanes) break;
    upper = {LeapLanes(upper.high), LeapLanes(upper.low)};
    lower = {LeapLanes(lower.high), LeapLanes(lower.low)};
  }
  p = top;
  return static_cast<uint32_t>(_mm_cvtsi128_si32(lower.high));
}
#else
template <bool kOver>
uint32_t FillNoiseLanes(uint32_t* pixels, const uint32_t* over, size_t& p, uint32_t half, uint32_t state) {
  uint32_t lanes[kNoiseLanes];
  for (uint32_t& lane : lanes) lane = state = RNDApply(RNDOneStep, state);
  for (;;) {
    for (size_t j = 0; j < kNoiseLanes; ++j) {
      const size_t at = p - 1 - j;
      const uint32_t noise = NoisePixel(half, lanes[j]);
      pixels[at] = kOver ? BlendHalfRule::Apply(over[at], noise) : noise;
    }
    p -= kNoiseLanes;
    state = lanes[kNoiseLanes - 1];
    if (p < kNoiseLanes) return state;
    for (uint32_t& lane : lanes) lane = RNDApply(kNoiseLeap, lane);
  }
}
#endif

// The fill with the blend chosen once for all pixels: the widest lanes the
// level has, the eight lanes, then one draw at a time for the last few.
template <bool kOver>
uint32_t FillNoise(uint32_t* pixels, const uint32_t* over, size_t count, uint32_t colour, uint32_t state) {
  const uint32_t half = (colour & 0xfcfcfcu) >> 1;
  size_t p = count;
#if TORVELIN_CPU_DISPATCH
  if (p >= img_forms::kNoiseBlockAVX2 && CPUVectorLevel() >= CPULevel::avx2)
    state = img_forms::FillNoiseLanesAVX2<kOver>(pixels, over, p, half, state);
#endif
  if (p >= kNoiseLanes) state = FillNoiseLanes<kOver>(pixels, over, p, half, state);
  while (p-- > 0) {
    state = RNDApply(RNDOneStep, state);
    const uint32_t noise = NoisePixel(half, state);
    pixels[p] = kOver ? BlendHalfRule::Apply(over[p], noise) : noise;
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
  BlitRect<CopyRule>(src, dst, sx, sy, dx, dy, w, h);
}

void IMGBlitKeyed(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h) {
  BlitRect<KeyedRule>(src, dst, sx, sy, dx, dy, w, h);
}

void IMGBlitAdd(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h) {
  BlitRect<AddRule>(src, dst, sx, sy, dx, dy, w, h);
}

void IMGBlitAddSat(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h) {
  BlitRect<AddSatRule>(src, dst, sx, sy, dx, dy, w, h);
}

// The whole source at (x, y): the same clipping as the rectangle blits with
// the source rectangle being the entire image.
void IMGBlendHalf(const IMG* src, IMG* dst, int x, int y) {
  if (!HasPixels(src) || !HasPixels(dst)) {
    IMGError();
    return;
  }
  BlitRect<BlendHalfRule>(src, dst, 0, 0, x, y, src->width, src->height);
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
  InvertWords(img->pixels, PixelCount(img));
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
