// What the pixel files share: the row walk of a clipped rectangle, the
// rules word by word, and the forms of the rectangle rules, the subtract,
// the invert and the noise lanes for each instruction set above the scalar
// code. img_pixels.cpp holds the scalar forms, the reference, and picks a
// form per level; img_pixels_sse2.cpp, img_pixels_avx2.cpp and
// img_pixels_avx512.cpp hold one instruction set each.
#pragma once
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "core/cpu.hpp"

#if TORVELIN_SSE2
#include <emmintrin.h>
#endif

namespace img_forms {

// The per-word rules of the rectangle operations.
enum class Rule { copy, keyed, add, addSat, blendHalf };

// A rule as a type, so that each form can be one overload per rule.
template <Rule kRule>
using RuleTag = std::integral_constant<Rule, kRule>;

// The rules word by word: each maps (source word, destination word) to the
// new destination word. They are the reference every wider form is held
// to, and finish the rows of the SSE2 form.
inline uint32_t ApplyWord(RuleTag<Rule::copy>, uint32_t s, uint32_t) { return s; }
inline uint32_t ApplyWord(RuleTag<Rule::keyed>, uint32_t s, uint32_t d) { return s != 0 ? s : d; }
inline uint32_t ApplyWord(RuleTag<Rule::add>, uint32_t s, uint32_t d) { return s + d; }
// Per-channel min(255, s + d): the low seven bits of each channel are added
// without crossing channels, the eighth bits are combined by hand, and every
// channel that carried out of its top bit is forced to 255.
inline uint32_t ApplyWord(RuleTag<Rule::addSat>, uint32_t s, uint32_t d) {
  s &= 0xFFFFFFu;
  d &= 0xFFFFFFu;
  const uint32_t low = (s & 0x7F7F7Fu) + (d & 0x7F7F7Fu);
  const uint32_t high = (s ^ d) & 0x808080u;
  const uint32_t carry = (((s & d) | (high & low)) & 0x808080u) >> 7;
  return (low ^ high) | ((carry << 8) - carry);
}
inline uint32_t ApplyWord(RuleTag<Rule::blendHalf>, uint32_t s, uint32_t d) {
  return s != 0 ? ((s >> 1) & 0x7F7F7Fu) + ((d >> 1) & 0x7F7F7Fu) : d;
}

// Per-channel max(0, p - c) on the three channels, each kept in its own lane
// of a signed word so the clamp is a sign mask.
inline uint32_t SubtractWord(uint32_t p, uint32_t colour) {
  const int32_t word = static_cast<int32_t>(p);
  int32_t dr = (word & 0xFF0000) - static_cast<int32_t>(colour & 0xFF0000u);
  int32_t dg = (word & 0xFF00) - static_cast<int32_t>(colour & 0xFF00u);
  int32_t db = (word & 0xFF) - static_cast<int32_t>(colour & 0xFFu);
  dr &= ~(dr >> 31);
  dg &= ~(dg >> 31);
  db &= ~(db >> 31);
  return static_cast<uint32_t>(dr | dg | db);
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

// Rows shorter than this are left to the processor's own prefetching.
constexpr int kPrefetchWords = 128;

// Asks for a row's cache lines before they are read. GCC counts a helper
// made only of prefetches as having no effect and may drop a call to it
// that it has not inlined first (wrapping this in one more helper did just
// that): after changing how it is called, look for the prefetch
// instructions in the object code.
inline void PrefetchRow([[maybe_unused]] const uint32_t* row, [[maybe_unused]] int words) {
#if TORVELIN_SSE2
  constexpr int kLineWords = 16;
  for (int i = 0; i < words; i += kLineWords) _mm_prefetch(reinterpret_cast<const char*>(row + i), _MM_HINT_T0);
#endif
}

// Long rows of a wide source lie far apart: the next one is fetched ahead.
// A source read whole is one run through memory, which the processor
// already fetches ahead by itself.
inline bool PrefetchNext(const Rows& rows, int64_t row) {
  return rows.width >= kPrefetchWords && rows.sourcePitch > rows.width && row + 1 < rows.count;
}

// Every row of a rectangle through rowForm(s, d, width), the next source
// row asked for ahead where that pays. The rows are walked from a copy of
// their description, which the stores cannot alias, so that it stays in
// registers.
template <class RowForm>
inline void WalkRows(const Rows& rectangle, RowForm rowForm) {
  const Rows rows = rectangle;
  const uint32_t* s = rows.s;
  uint32_t* d = rows.d;
  for (int64_t row = 0; row < rows.count; ++row, s += rows.sourcePitch, d += rows.destinationPitch) {
    if (PrefetchNext(rows, row)) PrefetchRow(s + rows.sourcePitch, rows.width);
    rowForm(s, d, rows.width);
  }
}

// One rule over every row of a rectangle, the whole rectangle in one call
// so that short glyph and sprite rows do not each pay for a call.
using RowsForm = void (*)(const Rows& rows);

// Per-channel max(0, p - c) over p[0..n), the top bytes cleared.
using SubtractForm = void (*)(uint32_t* p, size_t n, uint32_t colour);
// ~p & 0xFFFFFF over p[0..n).
using InvertForm = void (*)(uint32_t* p, size_t n);

// The noise lanes fill whole blocks of pixels from the top end p down and
// return the generator state after the last draw, leaving p at the pixels
// not yet filled (fewer than a block). half is half the tint, the noise of
// state x is half + bits 16..22 of x in every channel, and with kOver
// over[k] is blended half over pixel k as it is made. The scalar and SSE2
// lanes take blocks of 8 pixels, the AVX2 lanes blocks of 32.
constexpr size_t kNoiseBlock = 8;

#if TORVELIN_SSE2
template <Rule kRule>
void ApplyRowsSSE2(const Rows& rows);
void SubtractWordsSSE2(uint32_t* p, size_t n, uint32_t colour);
void InvertWordsSSE2(uint32_t* p, size_t n);
template <bool kOver>
uint32_t FillNoiseLanesSSE2(uint32_t* pixels, const uint32_t* over, size_t& p, uint32_t half, uint32_t state);
#endif

#if TORVELIN_CPU_DISPATCH
template <Rule kRule>
TORVELIN_TARGET_AVX2 void ApplyRowsAVX2(const Rows& rows);
template <Rule kRule>
TORVELIN_TARGET_AVX512 void ApplyRowsAVX512(const Rows& rows);

TORVELIN_TARGET_AVX2 void SubtractWordsAVX2(uint32_t* p, size_t n, uint32_t colour);
TORVELIN_TARGET_AVX512 void SubtractWordsAVX512(uint32_t* p, size_t n, uint32_t colour);

constexpr size_t kNoiseBlockAVX2 = 32;
template <bool kOver>
TORVELIN_TARGET_AVX2 uint32_t FillNoiseLanesAVX2(uint32_t* pixels, const uint32_t* over, size_t& p, uint32_t half,
                                                 uint32_t state);
#endif

}  // namespace img_forms
