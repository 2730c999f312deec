// The AVX-512 forms of the pixel rules: sixteen words a register. A step
// writes only the words its mask selects: a row's last words are one
// masked step, and the keyed copy and the half blend store only the words
// whose source is lit instead of merging their result with the
// destination.
#include "image/img_pixels_forms.hpp"

#if TORVELIN_CPU_DISPATCH
#include <immintrin.h>

namespace img_forms {
namespace {

// Sixteen words from p, or those that `within` selects (the others read as
// 0 and are not touched in memory).
template <bool kWhole>
TORVELIN_TARGET_AVX512 inline __m512i Load(const uint32_t* p, __mmask16 within) {
  if constexpr (kWhole) return _mm512_loadu_si512(p);
  return _mm512_maskz_loadu_epi32(within, p);
}
template <bool kWhole>
TORVELIN_TARGET_AVX512 inline void Store(uint32_t* p, __mmask16 within, __m512i v) {
  if constexpr (kWhole) {
    _mm512_storeu_si512(p, v);
  } else {
    _mm512_mask_storeu_epi32(p, within, v);
  }
}
TORVELIN_TARGET_AVX512 inline __mmask16 Lit(__m512i s, __mmask16 within) {
  return _mm512_mask_test_epi32_mask(within, s, s);
}

// The words [0, remaining) of a register, remaining below 16.
TORVELIN_TARGET_AVX512 inline __mmask16 FirstWords(size_t remaining) {
  return static_cast<__mmask16>((1u << remaining) - 1);
}

// One step of each rule: sixteen words of source s onto destination d.
template <bool kWhole>
TORVELIN_TARGET_AVX512 inline void Step(RuleTag<Rule::copy>, const uint32_t* s, uint32_t* d, __mmask16 within) {
  Store<kWhole>(d, within, Load<kWhole>(s, within));
}
template <bool kWhole>
TORVELIN_TARGET_AVX512 inline void Step(RuleTag<Rule::keyed>, const uint32_t* s, uint32_t* d, __mmask16 within) {
  const __m512i source = Load<kWhole>(s, within);
  _mm512_mask_storeu_epi32(d, Lit(source, within), source);
}
template <bool kWhole>
TORVELIN_TARGET_AVX512 inline void Step(RuleTag<Rule::add>, const uint32_t* s, uint32_t* d, __mmask16 within) {
  Store<kWhole>(d, within, _mm512_add_epi32(Load<kWhole>(s, within), Load<kWhole>(d, within)));
}
template <bool kWhole>
TORVELIN_TARGET_AVX512 inline void Step(RuleTag<Rule::addSat>, const uint32_t* s, uint32_t* d, __mmask16 within) {
  const __m512i sum = _mm512_adds_epu8(Load<kWhole>(s, within), Load<kWhole>(d, within));
  Store<kWhole>(d, within, _mm512_and_si512(sum, _mm512_set1_epi32(0xFFFFFF)));
}
template <bool kWhole>
TORVELIN_TARGET_AVX512 inline void Step(RuleTag<Rule::blendHalf>, const uint32_t* s, uint32_t* d,
                                        __mmask16 within) {
  const __m512i halvable = _mm512_set1_epi32(0xFEFEFE);
  const __m512i source = Load<kWhole>(s, within);
  const __m512i half =
      _mm512_avg_epu8(_mm512_and_si512(source, halvable), _mm512_and_si512(Load<kWhole>(d, within), halvable));
  _mm512_mask_storeu_epi32(d, Lit(source, within), half);
}

}  // namespace

template <Rule kRule>
TORVELIN_TARGET_AVX512 void ApplyRowsAVX512(const Rows& rows) {
  const size_t count = static_cast<size_t>(rows.width);
  const __mmask16 tail = FirstWords(count % 16);
  for (int64_t row = 0; row < rows.count; ++row) {
    if (PrefetchNext(rows, row)) PrefetchRow(rows.s + (row + 1) * rows.sourcePitch, rows.width);
    const uint32_t* __restrict s = rows.s + row * rows.sourcePitch;
    uint32_t* __restrict d = rows.d + row * rows.destinationPitch;
    size_t i = 0;
    for (; i + 16 <= count; i += 16) Step<true>(RuleTag<kRule>{}, s + i, d + i, 0xFFFF);
    if (tail != 0) Step<false>(RuleTag<kRule>{}, s + i, d + i, tail);
  }
}

template void ApplyRowsAVX512<Rule::copy>(const Rows&);
template void ApplyRowsAVX512<Rule::keyed>(const Rows&);
template void ApplyRowsAVX512<Rule::add>(const Rows&);
template void ApplyRowsAVX512<Rule::addSat>(const Rows&);
template void ApplyRowsAVX512<Rule::blendHalf>(const Rows&);

// A saturating byte subtract; 0xFF in the top byte clears it.
TORVELIN_TARGET_AVX512 void SubtractWordsAVX512(uint32_t* __restrict p, size_t n, uint32_t colour) {
  const __m512i by = _mm512_set1_epi32(static_cast<int>((colour & 0xFFFFFFu) | 0xFF000000u));
  size_t i = 0;
  for (; i + 16 <= n; i += 16) _mm512_storeu_si512(p + i, _mm512_subs_epu8(_mm512_loadu_si512(p + i), by));
  if (i < n) {
    const __mmask16 tail = FirstWords(n - i);
    _mm512_mask_storeu_epi32(p + i, tail, _mm512_subs_epu8(_mm512_maskz_loadu_epi32(tail, p + i), by));
  }
}

}  // namespace img_forms
#endif
