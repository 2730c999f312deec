// Whole-factor enlargement, nearest neighbour. Four source words at a time
// are spread over one register per four target words, and each register is
// stored into all `factor` target rows at once: the target is only written,
// never read back, so the cost stays near one pass of stores over it.
#include <cstring>

#include "core/cpu.hpp"
#include "image/img.hpp"
#include "image/img_enlarge.hpp"

#if TORVELIN_SSE2
#include <emmintrin.h>
#endif

namespace {

// The `factor` target rows that one source row becomes.
struct TargetRows {
  uint8_t* first;
  size_t pitch;
  int count;
};

inline void PutWord(const TargetRows& rows, int word, uint32_t value) {
  uint8_t* at = rows.first + static_cast<size_t>(word) * 4;
  for (int r = 0; r < rows.count; ++r, at += rows.pitch) memcpy(at, &value, 4);
}

// The last source words, one by one.
void SpreadTail(const uint32_t* in, int from, int width, int factor, const TargetRows& rows) {
  for (int x = from; x < width; ++x)
    for (int i = 0; i < factor; ++i) PutWord(rows, x * factor + i, in[x]);
}

#if TORVELIN_SSE2
inline void Put(const TargetRows& rows, int word, __m128i v) {
  uint8_t* at = rows.first + static_cast<size_t>(word) * 4;
  for (int r = 0; r < rows.count; ++r, at += rows.pitch)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), v);
}

inline __m128i Load4(const uint32_t* in) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
}

void Spread2(const uint32_t* in, int width, const TargetRows& rows) {
  int x = 0;
  for (; x + 4 <= width; x += 4) {
    const __m128i v = Load4(in + x);
    Put(rows, 2 * x, _mm_unpacklo_epi32(v, v));
    Put(rows, 2 * x + 4, _mm_unpackhi_epi32(v, v));
  }
  SpreadTail(in, x, width, 2, rows);
}

void Spread3(const uint32_t* in, int width, const TargetRows& rows) {
  int x = 0;
  for (; x + 4 <= width; x += 4) {
    const __m128i v = Load4(in + x);
    Put(rows, 3 * x, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 0, 0)));
    Put(rows, 3 * x + 4, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 1, 1)));
    Put(rows, 3 * x + 8, _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 2)));
  }
  SpreadTail(in, x, width, 3, rows);
}

void Spread4(const uint32_t* in, int width, const TargetRows& rows) {
  int x = 0;
  for (; x + 4 <= width; x += 4) {
    const __m128i v = Load4(in + x);
    Put(rows, 4 * x, _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 0, 0, 0)));
    Put(rows, 4 * x + 4, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 1, 1, 1)));
    Put(rows, 4 * x + 8, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 2, 2)));
    Put(rows, 4 * x + 12, _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 3)));
  }
  SpreadTail(in, x, width, 4, rows);
}

// Factors from 5 up: each word fills whole registers of itself. The last
// store of a word may run over into the next word's place, which that word
// then overwrites; the last word goes alone so nothing passes the row.
void SpreadWide(const uint32_t* in, int width, int factor, const TargetRows& rows) {
  int x = 0;
  for (; x + 1 < width; ++x) {
    const __m128i v = _mm_set1_epi32(static_cast<int>(in[x]));
    for (int i = 0; i < factor; i += 4) Put(rows, factor * x + i, v);
  }
  SpreadTail(in, x, width, factor, rows);
}

void SpreadRow(const uint32_t* in, int width, int factor, const TargetRows& rows) {
  switch (factor) {
    case 1: memcpy(rows.first, in, static_cast<size_t>(width) * 4); break;
    case 2: Spread2(in, width, rows); break;
    case 3: Spread3(in, width, rows); break;
    case 4: Spread4(in, width, rows); break;
    default: SpreadWide(in, width, factor, rows); break;
  }
}
#else
// Without SSE2 (a scalar build): the first target row word by word, then
// copies of it.
void SpreadRow(const uint32_t* in, int width, int factor, const TargetRows& rows) {
  const TargetRows first{rows.first, rows.pitch, 1};
  SpreadTail(in, 0, width, factor, first);
  const size_t rowBytes = static_cast<size_t>(width) * factor * 4;
  for (int r = 1; r < rows.count; ++r) memcpy(rows.first + r * rows.pitch, rows.first, rowBytes);
}
#endif

}  // namespace

void IMGEnlargeWords(const uint32_t* source, int width, int height, int sourceStride, int factor,
                     uint32_t* target, size_t targetPitch) {
  if (source == nullptr || target == nullptr || width <= 0 || height <= 0 || factor < 1 ||
      factor > IMGEnlargeMaxFactor)
    return;
  auto* row = reinterpret_cast<uint8_t*>(target);
  for (int y = 0; y < height; ++y, row += targetPitch * factor)
    SpreadRow(source + static_cast<size_t>(y) * sourceStride, width, factor,
              TargetRows{row, targetPitch, factor});
}

void IMGEnlargeRow(const uint32_t* source, int width, int factor, uint32_t* target) {
  if (source == nullptr || target == nullptr || width <= 0 || factor < 1 || factor > IMGEnlargeMaxFactor) return;
  SpreadRow(source, width, factor, TargetRows{reinterpret_cast<uint8_t*>(target), 0, 1});
}

void IMGEnlarge(const IMG* src, IMG* dst, int factor) {
  if (src == nullptr || src->pixels == nullptr || src->width <= 0 || src->height <= 0 ||
      dst == nullptr || factor < 1 || factor > IMGEnlargeMaxFactor ||
      int64_t{src->width} * src->height * factor * factor > IMGMaxPixels) {
    IMGError();
    return;
  }
  const int width = src->width * factor;
  const int height = src->height * factor;
  if (dst->pixels == nullptr || dst->width != width || dst->height != height) {
    IMGAlloc(dst, width, height);
    if (dst->width != width || dst->height != height) return;
  }
  IMGEnlargeWords(src->pixels, src->width, src->height, src->width, factor, dst->pixels,
                  static_cast<size_t>(width) * 4);
}
