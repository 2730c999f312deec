// Whole-factor enlargement: every word becomes a factor x factor square of
// itself, for every factor and for widths that leave a tail after the
// four-word steps; nothing is written past the enlarged rows.
#include <gtest/gtest.h>

#include <vector>

#include "image/img.hpp"
#include "image/img_enlarge.hpp"

namespace {

std::vector<uint32_t> Words(int count) {
  std::vector<uint32_t> words(count);
  uint32_t state = 12345;
  for (auto& w : words) {
    state = state * 1103515245u + 12345u;
    w = state >> 8;  // 0x00RRGGBB
  }
  return words;
}

TEST(IMGEnlarge, EveryWordBecomesASquareAndTheMarginStaysUntouched) {
  constexpr uint32_t Untouched = 0xDEADBEEFu;
  for (int factor = 1; factor <= IMGEnlargeMaxFactor; ++factor) {
    for (int width : {1, 3, 4, 9, 13}) {
      const int height = 3, stride = width + 2, margin = 5;
      const std::vector<uint32_t> source = Words(stride * height);
      const int rowWords = width * factor + margin;
      std::vector<uint32_t> target(static_cast<size_t>(rowWords) * height * factor, Untouched);
      IMGEnlargeWords(source.data(), width, height, stride, factor, target.data(), rowWords * 4u);
      for (int y = 0; y < height * factor; ++y)
        for (int x = 0; x < rowWords; ++x) {
          const uint32_t want =
              x < width * factor ? source[(y / factor) * stride + x / factor] : Untouched;
          ASSERT_EQ(target[static_cast<size_t>(y) * rowWords + x], want)
              << "factor " << factor << " width " << width << " at " << x << "," << y;
        }
      // Across only, one row: the same words as the first enlarged row.
      std::vector<uint32_t> row(rowWords, Untouched);
      IMGEnlargeRow(source.data() + stride, width, factor, row.data());
      for (int x = 0; x < rowWords; ++x)
        ASSERT_EQ(row[x], x < width * factor ? source[stride + x / factor] : Untouched)
            << "one row, factor " << factor << " width " << width << " at " << x;
    }
  }
}

TEST(IMGEnlarge, SizesTheTargetAndRefusesBadFactors) {
  IMG* src = IMGNew();
  IMGAlloc(src, 5, 2);
  const std::vector<uint32_t> words = Words(10);
  std::copy(words.begin(), words.end(), src->pixels);
  IMG* dst = IMGNew();
  IMGEnlarge(src, dst, 3);
  ASSERT_EQ(dst->width, 15);
  ASSERT_EQ(dst->height, 6);
  EXPECT_EQ(IMGGetPixel(dst, 14, 5), IMGGetPixel(src, 4, 1));
  EXPECT_EQ(IMGGetPixel(dst, 3, 2), IMGGetPixel(src, 1, 0));
  for (int bad : {0, -1, IMGEnlargeMaxFactor + 1}) {
    IMGEnlarge(src, dst, bad);
    EXPECT_EQ(dst->width, 15);
  }
  IMGFree(&src);
  IMGFree(&dst);
}

}  // namespace
