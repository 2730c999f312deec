// Whole-factor enlargement of 0x00RRGGBB pixel words, nearest neighbour:
// every word becomes a factor x factor square of itself. Art stays sharp;
// no word is blended with another.
#pragma once
#include <cstddef>
#include <cstdint>

struct IMG;

// The largest factor the enlargement takes.
inline constexpr int IMGEnlargeMaxFactor = 16;

// Enlarges width x height words of `source` (rows sourceStride words apart)
// into `target`, whose rows lie targetPitch bytes apart and hold at least
// width x factor words each; height x factor rows are written. A factor
// outside 1 to IMGEnlargeMaxFactor, or a non-positive size, writes nothing.
void IMGEnlargeWords(const uint32_t* source, int width, int height, int sourceStride, int factor,
                     uint32_t* target, size_t targetPitch);

// One row of `width` words, enlarged across only: width x factor words
// into `target`. The same spreading as IMGEnlargeWords, for callers that
// turn each enlarged row into something else and repeat that themselves.
void IMGEnlargeRow(const uint32_t* source, int width, int factor, uint32_t* target);

// Sizes dst to factor times src in both directions and fills it with the
// enlarged picture. Calls IMGError and leaves dst unchanged on a null
// image, an image without pixels or a factor outside 1 to
// IMGEnlargeMaxFactor.
void IMGEnlarge(const IMG* src, IMG* dst, int factor);
