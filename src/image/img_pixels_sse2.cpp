// The SSE2 forms of the pixel rules, the subtract, the invert and the noise
// lanes: four words a register. A row's last words (fewer than four) go
// word by word through the scalar rules.
#include "image/img_pixels_forms.hpp"

#if TORVELIN_SSE2
#include <emmintrin.h>

#include "core/rnd.hpp"

namespace img_forms {
namespace {

inline __m128i Load4(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store4(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// Each rule on four source words s over four destination words d.
inline __m128i Apply4(RuleTag<Rule::copy>, __m128i s, __m128i) { return s; }
inline __m128i Apply4(RuleTag<Rule::keyed>, __m128i s, __m128i d) {
  const __m128i zero = _mm_cmpeq_epi32(s, _mm_setzero_si128());
  return _mm_or_si128(_mm_and_si128(zero, d), s);
}
inline __m128i Apply4(RuleTag<Rule::add>, __m128i s, __m128i d) { return _mm_add_epi32(s, d); }
// A saturating byte add is exactly the per-channel rule; the top byte is
// cleared afterwards.
inline __m128i Apply4(RuleTag<Rule::addSat>, __m128i s, __m128i d) {
  return _mm_and_si128(_mm_adds_epu8(s, d), _mm_set1_epi32(0xFFFFFF));
}
// With the bottom bit of every channel cleared, the rounding byte average
// of the two words has nothing to round: it is exactly s/2 + d/2 in each
// channel, and the top byte stays 0.
inline __m128i Apply4(RuleTag<Rule::blendHalf>, __m128i s, __m128i d) {
  const __m128i halvable = _mm_set1_epi32(0xFEFEFE);
  const __m128i half = _mm_avg_epu8(_mm_and_si128(s, halvable), _mm_and_si128(d, halvable));
  const __m128i zero = _mm_cmpeq_epi32(s, _mm_setzero_si128());
  return _mm_or_si128(_mm_and_si128(zero, d), _mm_andnot_si128(zero, half));
}

template <Rule kRule>
inline void Step4(const uint32_t* s, uint32_t* d) {
  Store4(d, Apply4(RuleTag<kRule>{}, Load4(s), Load4(d)));
}

// Eight words a step, then four, then the scalar rule.
template <Rule kRule>
inline void ApplyRow(const uint32_t* __restrict s, uint32_t* __restrict d, int width) {
  const size_t count = static_cast<size_t>(width);
  size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    Step4<kRule>(s + i, d + i);
    Step4<kRule>(s + i + 4, d + i + 4);
  }
  if (i + 4 <= count) {
    Step4<kRule>(s + i, d + i);
    i += 4;
  }
  for (; i < count; ++i) d[i] = ApplyWord(RuleTag<kRule>{}, s[i], d[i]);
}

// Rewrites p[0..n): eight words a step through the register form
// vector(v), the rest through word(w).
template <class Vector, class Word>
inline void MapWords(uint32_t* __restrict p, size_t n, Vector vector, Word word) {
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    Store4(p + i, vector(Load4(p + i)));
    Store4(p + i + 4, vector(Load4(p + i + 4)));
  }
  for (; i < n; ++i) p[i] = word(p[i]);
}

}  // namespace

template <Rule kRule>
void ApplyRowsSSE2(const Rows& rows) {
  WalkRows(rows, [](const uint32_t* s, uint32_t* d, int width) { ApplyRow<kRule>(s, d, width); });
}

template void ApplyRowsSSE2<Rule::copy>(const Rows&);
template void ApplyRowsSSE2<Rule::keyed>(const Rows&);
template void ApplyRowsSSE2<Rule::add>(const Rows&);
template void ApplyRowsSSE2<Rule::addSat>(const Rows&);
template void ApplyRowsSSE2<Rule::blendHalf>(const Rows&);

// A saturating byte subtract; 0xFF in the top byte clears it. The words
// after the last step are the scalar form's.
void SubtractWordsSSE2(uint32_t* __restrict p, size_t n, uint32_t colour) {
  const __m128i by = _mm_set1_epi32(static_cast<int>((colour & 0xFFFFFFu) | 0xFF000000u));
  MapWords(
      p, n, [by](__m128i v) { return _mm_subs_epu8(v, by); }, [colour](uint32_t w) { return SubtractWord(w, colour); });
}

void InvertWordsSSE2(uint32_t* __restrict p, size_t n) {
  const __m128i low24 = _mm_set1_epi32(0xFFFFFF);
  MapWords(
      p, n, [low24](__m128i v) { return _mm_andnot_si128(v, low24); }, [](uint32_t w) { return ~w & 0xFFFFFFu; });
}

namespace {

// Eight lanes in four registers, two lanes each in the low halves of the
// 64-bit slots, where one unsigned 32 x 32 multiply steps both; lane j is
// j steps ahead of lane 0 and each moves eight steps at a time. A register
// pair holds the draws of four neighbouring pixels, the first draw in the
// highest word, since the fill runs from the last pixel down.
constexpr RNDStep kNoiseLeap = RNDLeap(kNoiseBlock);

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
  Store4(pixels + at, kOver ? Apply4(RuleTag<Rule::blendHalf>{}, Load4(over + at), noise) : noise);
}

}  // namespace

// The position is kept locally so that it stays in a register.
template <bool kOver>
uint32_t FillNoiseLanesSSE2(uint32_t* pixels, const uint32_t* over, size_t& p, uint32_t half, uint32_t state) {
  uint32_t draw[kNoiseBlock];
  for (uint32_t& d : draw) d = state = RNDApply(RNDOneStep, state);
  LanePair upper{Slots(draw[3], draw[2]), Slots(draw[1], draw[0])};
  LanePair lower{Slots(draw[7], draw[6]), Slots(draw[5], draw[4])};
  const __m128i halves = _mm_set1_epi32(static_cast<int>(half));
  size_t top = p;
  for (;;) {
    StoreNoise<kOver>(pixels, over, top - 4, upper, halves);
    StoreNoise<kOver>(pixels, over, top - 8, lower, halves);
    top -= kNoiseBlock;
    if (top < kNoiseBlock) break;
    upper = {LeapLanes(upper.high), LeapLanes(upper.low)};
    lower = {LeapLanes(lower.high), LeapLanes(lower.low)};
  }
  p = top;
  return static_cast<uint32_t>(_mm_cvtsi128_si32(lower.high));
}

template uint32_t FillNoiseLanesSSE2<false>(uint32_t*, const uint32_t*, size_t&, uint32_t, uint32_t);
template uint32_t FillNoiseLanesSSE2<true>(uint32_t*, const uint32_t*, size_t&, uint32_t, uint32_t);

}  // namespace img_forms
#endif
