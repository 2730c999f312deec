// IMG pixels and blits: single pixels, the clipped rectangle copies, the
// half blend, the full-frame subtract and invert, line points, the spaced
// copy and the circle outline.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "core/cpu.hpp"
#include "image/grid.hpp"
#include "image/img.hpp"

namespace {

bool HasPixels(const IMG* img) { return img && img->pixels; }

size_t PixelCount(const IMG* img) {
  return static_cast<size_t>(img->width) * static_cast<size_t>(img->height);
}

// Pixel rules: each maps (source word, destination word) to the new
// destination word. Where SSE2 is there (every x86-64 processor) each rule
// also has a four-word form on whole registers; the word form finishes the
// rows and serves every other target.
struct CopyRule {
  static uint32_t Apply(uint32_t s, uint32_t) { return s; }
#if defined(__SSE2__)
  static __m128i Apply4(__m128i s, __m128i) { return s; }
#endif
};
struct KeyedRule {
  static uint32_t Apply(uint32_t s, uint32_t d) { return s != 0 ? s : d; }
#if defined(__SSE2__)
  static __m128i Apply4(__m128i s, __m128i d) {
    const __m128i zero = _mm_cmpeq_epi32(s, _mm_setzero_si128());
    return _mm_or_si128(_mm_and_si128(zero, d), s);
  }
#endif
};
struct AddRule {
  static uint32_t Apply(uint32_t s, uint32_t d) { return s + d; }
#if defined(__SSE2__)
  static __m128i Apply4(__m128i s, __m128i d) { return _mm_add_epi32(s, d); }
#endif
};
// Per-channel min(255, s + d): the low seven bits of each channel are added
// without crossing channels, the eighth bits are combined by hand, and every
// channel that carried out of its top bit is forced to 255.
struct AddSatRule {
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
struct BlendHalfRule {
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

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// Processors with AVX2 take eight words a register; the choice is made at
// run time, so the program still runs on the baseline x86-64 processor.
#define IMG_WIDE_ROWS 1
#define IMG_WIDE [[gnu::target("avx2")]]

IMG_WIDE inline __m256i Wide(CopyRule, __m256i s, __m256i) { return s; }
IMG_WIDE inline __m256i Wide(KeyedRule, __m256i s, __m256i d) {
  const __m256i zero = _mm256_cmpeq_epi32(s, _mm256_setzero_si256());
  return _mm256_or_si256(_mm256_and_si256(zero, d), s);
}
IMG_WIDE inline __m256i Wide(AddRule, __m256i s, __m256i d) { return _mm256_add_epi32(s, d); }
IMG_WIDE inline __m256i Wide(AddSatRule, __m256i s, __m256i d) {
  return _mm256_and_si256(_mm256_adds_epu8(s, d), _mm256_set1_epi32(0xFFFFFF));
}
IMG_WIDE inline __m256i Wide(BlendHalfRule, __m256i s, __m256i d) {
  const __m256i halvable = _mm256_set1_epi32(0xFEFEFE);
  const __m256i half = _mm256_avg_epu8(_mm256_and_si256(s, halvable), _mm256_and_si256(d, halvable));
  return _mm256_blendv_epi8(half, d, _mm256_cmpeq_epi32(s, _mm256_setzero_si256()));
}

// Processors with AVX-512 take sixteen words a register. A step writes
// only the words its mask selects: a row's last words are one masked step,
// and the keyed copy and the half blend store only the words whose source
// is lit instead of merging their result with the destination.
#define IMG_WIDEST [[gnu::target("avx512f,avx512bw")]]

// Sixteen words from p, or those that `within` selects (the others read as
// 0 and are not touched in memory).
template <bool kWhole>
IMG_WIDEST inline __m512i LoadWidest(const uint32_t* p, __mmask16 within) {
  if constexpr (kWhole) return _mm512_loadu_si512(p);
  return _mm512_maskz_loadu_epi32(within, p);
}
template <bool kWhole>
IMG_WIDEST inline void StoreWidest(uint32_t* p, __mmask16 within, __m512i v) {
  if constexpr (kWhole) {
    _mm512_storeu_si512(p, v);
  } else {
    _mm512_mask_storeu_epi32(p, within, v);
  }
}
IMG_WIDEST inline __mmask16 Lit(__m512i s, __mmask16 within) { return _mm512_mask_test_epi32_mask(within, s, s); }

template <bool kWhole>
IMG_WIDEST inline void StepWidest(CopyRule, const uint32_t* s, uint32_t* d, __mmask16 within) {
  StoreWidest<kWhole>(d, within, LoadWidest<kWhole>(s, within));
}
template <bool kWhole>
IMG_WIDEST inline void StepWidest(KeyedRule, const uint32_t* s, uint32_t* d, __mmask16 within) {
  const __m512i source = LoadWidest<kWhole>(s, within);
  _mm512_mask_storeu_epi32(d, Lit(source, within), source);
}
template <bool kWhole>
IMG_WIDEST inline void StepWidest(AddRule, const uint32_t* s, uint32_t* d, __mmask16 within) {
  StoreWidest<kWhole>(d, within, _mm512_add_epi32(LoadWidest<kWhole>(s, within), LoadWidest<kWhole>(d, within)));
}
template <bool kWhole>
IMG_WIDEST inline void StepWidest(AddSatRule, const uint32_t* s, uint32_t* d, __mmask16 within) {
  const __m512i sum = _mm512_adds_epu8(LoadWidest<kWhole>(s, within), LoadWidest<kWhole>(d, within));
  StoreWidest<kWhole>(d, within, _mm512_and_si512(sum, _mm512_set1_epi32(0xFFFFFF)));
}
template <bool kWhole>
IMG_WIDEST inline void StepWidest(BlendHalfRule, const uint32_t* s, uint32_t* d, __mmask16 within) {
  const __m512i halvable = _mm512_set1_epi32(0xFEFEFE);
  const __m512i source = LoadWidest<kWhole>(s, within);
  const __m512i half =
      _mm512_avg_epu8(_mm512_and_si512(source, halvable), _mm512_and_si512(LoadWidest<kWhole>(d, within), halvable));
  _mm512_mask_storeu_epi32(d, Lit(source, within), half);
}

#endif

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

// Rows shorter than this are left to the processor's own prefetching.
constexpr int kPrefetchWords = 128;

// Asks for a row's cache lines before they are read. GCC counts a helper
// made only of prefetches as having no effect and may drop a call to it
// that it has not inlined first (wrapping this in one more helper did just
// that): after changing how it is called, look for the prefetch
// instructions in the object code.
inline void PrefetchRow([[maybe_unused]] const uint32_t* row, [[maybe_unused]] int words) {
#if defined(__SSE2__)
  constexpr int kLineWords = 16;
  for (int i = 0; i < words; i += kLineWords) _mm_prefetch(reinterpret_cast<const char*>(row + i), _MM_HINT_T0);
#endif
}

// The rows of a clipped rectangle: count rows of width words, from s on in
// the source and d on in the destination, each image with its own pitch.
struct Rows {
  const uint32_t* s;
  int64_t sourcePitch;
  uint32_t* d;
  int64_t destinationPitch;
  int width;
  int64_t count;
};

// Long rows of a wide source lie far apart: the next one is fetched ahead.
// A source read whole is one run through memory, which the processor
// already fetches ahead by itself.
inline bool PrefetchNext(const Rows& rows, int64_t row) {
  return rows.width >= kPrefetchWords && rows.sourcePitch > rows.width && row + 1 < rows.count;
}

#if defined(IMG_WIDE_ROWS)
// Every rule has an eight- and a sixteen-word form, but long copied rows go
// to memcpy.
template <class Rule>
bool TakesWideForm(int width) {
  return !std::is_same_v<Rule, CopyRule> || width <= kShortRowWords;
}

// The whole rectangle in one call at the wide width, so that short glyph
// and sprite rows do not each pay for a call.
template <class Rule>
IMG_WIDE void ApplyRowsWide(const Rows& rows) {
  const size_t count = static_cast<size_t>(rows.width);
  for (int64_t row = 0; row < rows.count; ++row) {
    if (PrefetchNext(rows, row)) PrefetchRow(rows.s + (row + 1) * rows.sourcePitch, rows.width);
    const uint32_t* __restrict s = rows.s + row * rows.sourcePitch;
    uint32_t* __restrict d = rows.d + row * rows.destinationPitch;
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
      const __m256i source = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
      __m256i* const to = reinterpret_cast<__m256i*>(d + i);
      _mm256_storeu_si256(to, Wide(Rule{}, source, _mm256_loadu_si256(to)));
    }
    ApplyRowTail<Rule>(s, d, i, count);
  }
}

template <class Rule>
IMG_WIDEST void ApplyRowsWidest(const Rows& rows) {
  const size_t count = static_cast<size_t>(rows.width);
  const __mmask16 tail = static_cast<__mmask16>((1u << (count % 16)) - 1);
  for (int64_t row = 0; row < rows.count; ++row) {
    if (PrefetchNext(rows, row)) PrefetchRow(rows.s + (row + 1) * rows.sourcePitch, rows.width);
    const uint32_t* __restrict s = rows.s + row * rows.sourcePitch;
    uint32_t* __restrict d = rows.d + row * rows.destinationPitch;
    size_t i = 0;
    for (; i + 16 <= count; i += 16) StepWidest<true>(Rule{}, s + i, d + i, 0xFFFF);
    if (tail != 0) StepWidest<false>(Rule{}, s + i, d + i, tail);
  }
}
#endif

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
#if defined(IMG_WIDE_ROWS)
  if (TakesWideForm<Rule>(width) && CPUWideRegisters()) {
    if (CPUWidestRegisters()) {
      ApplyRowsWidest<Rule>(rows);
    } else {
      ApplyRowsWide<Rule>(rows);
    }
    return;
  }
#endif
  for (int64_t row = 0; row < rows.count; ++row) {
    if (PrefetchNext(rows, row)) PrefetchRow(rows.s + (row + 1) * rows.sourcePitch, rows.width);
    ApplyRow<Rule>(rows.s + row * rows.sourcePitch, rows.d + row * rows.destinationPitch, rows.width);
  }
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

#if defined(IMG_WIDE_ROWS)
IMG_WIDE size_t SubtractWordsWide(uint32_t* __restrict p, size_t n, uint32_t colour) {
  const __m256i by = _mm256_set1_epi32(static_cast<int>((colour & 0xFFFFFFu) | 0xFF000000u));
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    __m256i* const at = reinterpret_cast<__m256i*>(p + i);
    _mm256_storeu_si256(at, _mm256_subs_epu8(_mm256_loadu_si256(at), by));
  }
  return i;
}

IMG_WIDEST size_t SubtractWordsWidest(uint32_t* __restrict p, size_t n, uint32_t colour) {
  const __m512i by = _mm512_set1_epi32(static_cast<int>((colour & 0xFFFFFFu) | 0xFF000000u));
  size_t i = 0;
  for (; i + 16 <= n; i += 16) _mm512_storeu_si512(p + i, _mm512_subs_epu8(_mm512_loadu_si512(p + i), by));
  return i;
}
#endif

void SubtractWords(uint32_t* __restrict p, size_t n, uint32_t colour) {
#if defined(IMG_WIDE_ROWS)
  if (CPUWideRegisters()) {
    const size_t done = CPUWidestRegisters() ? SubtractWordsWidest(p, n, colour) : SubtractWordsWide(p, n, colour);
    p += done;
    n -= done;
  }
#endif
#if defined(__SSE2__)
  // A saturating byte subtract; 0xFF in the top byte clears it.
  const __m128i by = _mm_set1_epi32(static_cast<int>((colour & 0xFFFFFFu) | 0xFF000000u));
  const auto vector = [by](__m128i v) { return _mm_subs_epu8(v, by); };
#else
  const auto vector = nullptr;
#endif
  MapWords(p, n, vector, [colour](uint32_t w) { return SubtractWord(w, colour); });
}

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
  SubtractWords(img->pixels, PixelCount(img), colour);
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
