// The AVX2 forms of the pixel rules and the noise lanes: eight words a
// register. A row's last words are one step under a mask, which reads the
// other words as 0 and leaves them untouched in memory.
#include "image/img_pixels_forms.hpp"

#if TORVELIN_CPU_DISPATCH
#include <immintrin.h>

#include "core/rnd.hpp"

namespace img_forms {
namespace {

template <bool kWhole>
TORVELIN_TARGET_AVX2 inline __m256i Load(const uint32_t* p, __m256i within) {
  if constexpr (kWhole) return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  return _mm256_maskload_epi32(reinterpret_cast<const int*>(p), within);
}
template <bool kWhole>
TORVELIN_TARGET_AVX2 inline void Store(uint32_t* p, __m256i within, __m256i v) {
  if constexpr (kWhole) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
  } else {
    _mm256_maskstore_epi32(reinterpret_cast<int*>(p), within, v);
  }
}

// The words [0, remaining) of a register, remaining below 8.
TORVELIN_TARGET_AVX2 inline __m256i FirstWords(size_t remaining) {
  return _mm256_cmpgt_epi32(_mm256_set1_epi32(static_cast<int>(remaining)), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}

// Each rule on eight source words s over eight destination words d.
TORVELIN_TARGET_AVX2 inline __m256i Apply(RuleTag<Rule::copy>, __m256i s, __m256i) { return s; }
TORVELIN_TARGET_AVX2 inline __m256i Apply(RuleTag<Rule::keyed>, __m256i s, __m256i d) {
  const __m256i zero = _mm256_cmpeq_epi32(s, _mm256_setzero_si256());
  return _mm256_or_si256(_mm256_and_si256(zero, d), s);
}
TORVELIN_TARGET_AVX2 inline __m256i Apply(RuleTag<Rule::add>, __m256i s, __m256i d) { return _mm256_add_epi32(s, d); }
TORVELIN_TARGET_AVX2 inline __m256i Apply(RuleTag<Rule::addSat>, __m256i s, __m256i d) {
  return _mm256_and_si256(_mm256_adds_epu8(s, d), _mm256_set1_epi32(0xFFFFFF));
}
// With the bottom bit of every channel cleared, the rounding byte average
// of the two words has nothing to round: it is exactly s/2 + d/2 in each
// channel, and the top byte stays 0.
TORVELIN_TARGET_AVX2 inline __m256i Apply(RuleTag<Rule::blendHalf>, __m256i s, __m256i d) {
  const __m256i halvable = _mm256_set1_epi32(0xFEFEFE);
  const __m256i half = _mm256_avg_epu8(_mm256_and_si256(s, halvable), _mm256_and_si256(d, halvable));
  return _mm256_blendv_epi8(half, d, _mm256_cmpeq_epi32(s, _mm256_setzero_si256()));
}

template <Rule kRule, bool kWhole>
TORVELIN_TARGET_AVX2 inline void Step(const uint32_t* s, uint32_t* d, __m256i within) {
  Store<kWhole>(d, within, Apply(RuleTag<kRule>{}, Load<kWhole>(s, within), Load<kWhole>(d, within)));
}

}  // namespace

template <Rule kRule>
TORVELIN_TARGET_AVX2 void ApplyRowsAVX2(const Rows& rows) {
  const size_t count = static_cast<size_t>(rows.width);
  const __m256i tail = FirstWords(count % 8);
  for (int64_t row = 0; row < rows.count; ++row) {
    if (PrefetchNext(rows, row)) PrefetchRow(rows.s + (row + 1) * rows.sourcePitch, rows.width);
    const uint32_t* __restrict s = rows.s + row * rows.sourcePitch;
    uint32_t* __restrict d = rows.d + row * rows.destinationPitch;
    size_t i = 0;
    for (; i + 16 <= count; i += 16) {
      Step<kRule, true>(s + i, d + i, tail);
      Step<kRule, true>(s + i + 8, d + i + 8, tail);
    }
    if (i + 8 <= count) {
      Step<kRule, true>(s + i, d + i, tail);
      i += 8;
    }
    if (i < count) Step<kRule, false>(s + i, d + i, tail);
  }
}

template void ApplyRowsAVX2<Rule::copy>(const Rows&);
template void ApplyRowsAVX2<Rule::keyed>(const Rows&);
template void ApplyRowsAVX2<Rule::add>(const Rows&);
template void ApplyRowsAVX2<Rule::addSat>(const Rows&);
template void ApplyRowsAVX2<Rule::blendHalf>(const Rows&);

// A saturating byte subtract; 0xFF in the top byte clears it.
TORVELIN_TARGET_AVX2 void SubtractWordsAVX2(uint32_t* __restrict p, size_t n, uint32_t colour) {
  const __m256i by = _mm256_set1_epi32(static_cast<int>((colour & 0xFFFFFFu) | 0xFF000000u));
  const __m256i tail = FirstWords(n % 8);
  size_t i = 0;
  for (; i + 8 <= n; i += 8) Store<true>(p + i, tail, _mm256_subs_epu8(Load<true>(p + i, tail), by));
  if (i < n) Store<false>(p + i, tail, _mm256_subs_epu8(Load<false>(p + i, tail), by));
}

namespace {

// The noise runs 32 copies of the generator side by side in four registers
// of eight, lane j being j steps ahead of lane 0, and moves each lane 32
// steps at a time by full 32-bit multiplies.
constexpr RNDStep kNoiseLeap = RNDLeap(kNoiseBlockAVX2);

// Eight pixels from eight states: byte 2 of each state (bits 16..23) copied
// into the three channel bytes by one shuffle, then bit 23 masked off.
TORVELIN_TARGET_AVX2 inline __m256i NoisePixels(__m256i states, __m256i half) {
  const __m256i channels = _mm256_setr_epi8(2, 2, 2, -1, 6, 6, 6, -1, 10, 10, 10, -1, 14, 14, 14, -1,  //
                                            2, 2, 2, -1, 6, 6, 6, -1, 10, 10, 10, -1, 14, 14, 14, -1);
  const __m256i grey = _mm256_and_si256(_mm256_shuffle_epi8(states, channels), _mm256_set1_epi32(0x7f7f7f));
  return _mm256_add_epi32(half, grey);
}

// Pixels at..at+7 from eight states, under the overlay when there is one.
template <bool kOver>
TORVELIN_TARGET_AVX2 inline void StoreNoise(uint32_t* pixels, const uint32_t* over, size_t at, __m256i states,
                                            __m256i half) {
  const __m256i noise = NoisePixels(states, half);
  const __m256i all = _mm256_set1_epi32(-1);
  Store<true>(pixels + at, all,
              kOver ? Apply(RuleTag<Rule::blendHalf>{}, Load<true>(over + at, all), noise) : noise);
}

// Eight draws, the first in the highest word.
TORVELIN_TARGET_AVX2 inline __m256i Reversed(const uint32_t* draw) {
  const __m256i words = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(draw));
  return _mm256_permutevar8x32_epi32(words, _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0));
}

TORVELIN_TARGET_AVX2 inline __m256i Leap(__m256i lanes) {
  const __m256i multiplier = _mm256_set1_epi32(static_cast<int>(kNoiseLeap.multiplier));
  const __m256i increment = _mm256_set1_epi32(static_cast<int>(kNoiseLeap.increment));
  return _mm256_add_epi32(_mm256_mullo_epi32(lanes, multiplier), increment);
}

}  // namespace

// Register r holds draws 8r+1 to 8r+8 of a block, the first draw in the
// highest word. The four registers are named rather than indexed and the
// position is kept locally, so that the compiler keeps both in registers:
// each lane's chain of multiplies is the loop's critical path.
template <bool kOver>
TORVELIN_TARGET_AVX2 uint32_t FillNoiseLanesAVX2(uint32_t* pixels, const uint32_t* over, size_t& p, uint32_t half,
                                                 uint32_t state) {
  uint32_t draw[kNoiseBlockAVX2];
  for (uint32_t& d : draw) d = state = RNDApply(RNDOneStep, state);
  __m256i first = Reversed(draw), second = Reversed(draw + 8), third = Reversed(draw + 16),
          fourth = Reversed(draw + 24);
  const __m256i halves = _mm256_set1_epi32(static_cast<int>(half));
  size_t top = p;
  for (;;) {
    StoreNoise<kOver>(pixels, over, top - 8, first, halves);
    StoreNoise<kOver>(pixels, over, top - 16, second, halves);
    StoreNoise<kOver>(pixels, over, top - 24, third, halves);
    StoreNoise<kOver>(pixels, over, top - 32, fourth, halves);
    top -= kNoiseBlockAVX2;
    if (top < kNoiseBlockAVX2) break;
    first = Leap(first);
    second = Leap(second);
    third = Leap(third);
    fourth = Leap(fourth);
  }
  p = top;
  return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm256_castsi256_si128(fourth)));
}

template uint32_t FillNoiseLanesAVX2<false>(uint32_t*, const uint32_t*, size_t&, uint32_t, uint32_t);
template uint32_t FillNoiseLanesAVX2<true>(uint32_t*, const uint32_t*, size_t&, uint32_t, uint32_t);

}  // namespace img_forms
#endif
