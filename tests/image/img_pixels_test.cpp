#include <gtest/gtest.h>

#include <utility>

#include "img_test_util.hpp"

namespace {

// A source whose pixel (x, y) is 0x00XXYY + 0x010101, so no pixel is black
// and every word says where it came from.
ImgPtr Numbered(int w, int h) {
  ImgPtr img = MakeImage(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img->pixels[y * w + x] = static_cast<uint32_t>(x << 8 | y) + 0x010101;
  return img;
}

uint32_t At(const ImgPtr& img, int x, int y) { return img->pixels[y * img->width + x]; }

using Blitter = void (*)(const IMG*, IMG*, int, int, int, int, int, int);

}  // namespace

TEST(IMGPixels, SetAndGetClipSilently) {
  ImgPtr img = MakeImage(4, 3);
  IMGSetPixel(img.get(), 3, 2, 0xFF123456);
  EXPECT_EQ(IMGGetPixel(img.get(), 3, 2), 0xFF123456u) << "stored unchanged, top byte included";
  for (auto [x, y] : {std::pair{-1, 0}, {4, 0}, {0, -1}, {0, 3}}) {
    IMGSetPixel(img.get(), x, y, 0xFFFFFF);
    EXPECT_EQ(IMGGetPixel(img.get(), x, y), 0u);
  }
  for (int i = 0; i < 11; ++i) EXPECT_EQ(img->pixels[i], 0u);
  EXPECT_EQ(IMGGetPixel(nullptr, 0, 0), 0u);
}

// The four rectangle operations share their clipping; each case is run
// through all of them with a pixel rule that reduces to a copy on black.
class IMGRectClip : public ::testing::TestWithParam<Blitter> {};

TEST_P(IMGRectClip, NegativeTargetStartsFurtherIntoSource) {
  ImgPtr src = Numbered(8, 8);
  ImgPtr dst = MakeImage(6, 6);
  GetParam()(src.get(), dst.get(), 1, 1, -3, 2, 5, 2);
  // Columns 0 and 1 come from source columns 4 and 5; the rest stays black.
  EXPECT_EQ(At(dst, 0, 2), At(src, 4, 1));
  EXPECT_EQ(At(dst, 1, 3), At(src, 5, 2));
  EXPECT_EQ(At(dst, 2, 2), 0u);
  EXPECT_EQ(At(dst, 0, 4), 0u);
  EXPECT_EQ(At(dst, 0, 1), 0u);
}

TEST_P(IMGRectClip, RectanglesOutsideDrawNothing) {
  ImgPtr src = Numbered(4, 4);
  ImgPtr dst = MakeImage(4, 4);
  GetParam()(src.get(), dst.get(), 0, 0, -2, 0, 2, 2);  // dx + w = 0
  GetParam()(src.get(), dst.get(), 0, 0, 4, 0, 2, 2);   // dx = width
  GetParam()(src.get(), dst.get(), 0, 0, 0, 4, 2, 2);
  GetParam()(src.get(), dst.get(), 4, 0, 0, 0, 2, 2);
  GetParam()(src.get(), dst.get(), 0, 0, 0, 0, 0, 3);
  GetParam()(src.get(), dst.get(), 0, 0, 0, 0, 3, -1);
  GetParam()(src.get(), dst.get(), 0x7FFFFFF0, 0, 0, 0, 0x7FFFFFFF, 2);
  for (uint32_t p : Pixels(dst.get())) EXPECT_EQ(p, 0u);
  GetParam()(nullptr, dst.get(), 0, 0, 0, 0, 2, 2);
  GetParam()(src.get(), nullptr, 0, 0, 0, 0, 2, 2);
}

TEST_P(IMGRectClip, OversizedSourceRectangleIsCutToBothImages) {
  ImgPtr src = Numbered(3, 2);
  ImgPtr dst = MakeImage(5, 5);
  GetParam()(src.get(), dst.get(), -1, 0, 1, 1, 100, 100);
  // Source column -1 does not exist: the copy starts at source 0 on dest 2.
  EXPECT_EQ(At(dst, 1, 1), 0u);
  EXPECT_EQ(At(dst, 2, 1), At(src, 0, 0));
  EXPECT_EQ(At(dst, 4, 2), At(src, 2, 1));
  EXPECT_EQ(At(dst, 2, 3), 0u);
  int drawn = 0;
  for (uint32_t p : Pixels(dst.get())) drawn += p != 0;
  EXPECT_EQ(drawn, 6);
}

TEST_P(IMGRectClip, SameImageReadsTheSourceBeforeWriting) {
  ImgPtr img = Numbered(6, 1);
  const std::vector<uint32_t> before = Pixels(img.get());
  GetParam()(img.get(), img.get(), 0, 0, 1, 0, 5, 1);
  if (GetParam() == IMGBlit || GetParam() == IMGBlitKeyed) {
    for (int x = 1; x < 6; ++x) EXPECT_EQ(img->pixels[x], before[x - 1]);
  }
}

INSTANTIATE_TEST_SUITE_P(AllRules, IMGRectClip,
                         ::testing::Values(IMGBlit, IMGBlitKeyed, IMGBlitAdd, IMGBlitAddSat));

TEST(IMGBlitRules, EachRuleOnKnownWords) {
  struct Case {
    Blitter op;
    uint32_t s, d, expected;
  } cases[] = {
      {IMGBlit, 0, 0x123456, 0},
      {IMGBlit, 0x0000FF, 0x111111, 0x0000FF},
      {IMGBlitKeyed, 0, 0x123456, 0x123456},
      {IMGBlitKeyed, 0x000001, 0x123456, 0x000001},
      {IMGBlitAdd, 0x0000FF, 0x000001, 0x000100},
      {IMGBlitAdd, 0xFF0000, 0x010000, 0x1000000},
      {IMGBlitAddSat, 0x0000FF, 0x000001, 0x0000FF},
      {IMGBlitAddSat, 0x808080, 0x808080, 0xFFFFFF},
      {IMGBlitAddSat, 0x7F017F, 0x80FF01, 0xFFFF80},
      {IMGBlitAddSat, 0xFF000000, 0x01FF0203, 0x00FF0203},
  };
  for (const Case& c : cases) {
    // Long enough rows to run the block loop and its tail.
    ImgPtr src = FilledImage(19, 3, c.s);
    ImgPtr dst = FilledImage(19, 3, c.d);
    c.op(src.get(), dst.get(), 0, 0, 0, 0, 19, 3);
    for (uint32_t p : Pixels(dst.get()))
      ASSERT_EQ(p, c.expected) << std::hex << "s=" << c.s << " d=" << c.d;
  }
}

TEST(IMGBlitRules, SaturatingAddMatchesPerChannelMinimum) {
  ImgPtr src = MakeImage(256, 1);
  ImgPtr dst = MakeImage(256, 1);
  for (uint32_t i = 0; i < 256; ++i) {
    src->pixels[i] = i << 16 | (255 - i) << 8 | (i * 7 & 255);
    dst->pixels[i] = (i * 3 & 255) << 16 | i << 8 | (i * 13 & 255);
  }
  const std::vector<uint32_t> s = Pixels(src.get()), d = Pixels(dst.get());
  IMGBlitAddSat(src.get(), dst.get(), 0, 0, 0, 0, 256, 1);
  for (int i = 0; i < 256; ++i) {
    uint32_t expected = 0;
    for (int shift : {16, 8, 0}) {
      const uint32_t sum = (s[i] >> shift & 255) + (d[i] >> shift & 255);
      expected |= (sum > 255 ? 255 : sum) << shift;
    }
    ASSERT_EQ(dst->pixels[i], expected) << i;
  }
}

TEST(IMGBlendHalf, HalvesBothAndSkipsBlack) {
  ImgPtr src = MakeImage(3, 1, {0xFFFFFF, 0, 0xFFFFFF});
  ImgPtr dst = MakeImage(3, 1, {0x000000, 0x424242, 0xFFFFFF});
  IMGBlendHalf(src.get(), dst.get(), 0, 0);
  EXPECT_EQ(dst->pixels[0], 0x7F7F7Fu);
  EXPECT_EQ(dst->pixels[1], 0x424242u);
  EXPECT_EQ(dst->pixels[2], 0xFEFEFEu);
}

TEST(IMGBlendHalf, ClipsAtEveryEdge) {
  ImgPtr src = FilledImage(4, 4, 0x808080);
  ImgPtr dst = MakeImage(5, 5);
  IMGBlendHalf(src.get(), dst.get(), -2, 3);
  int drawn = 0;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) {
      const bool inside = x < 2 && y >= 3;
      EXPECT_EQ(At(dst, x, y), inside ? 0x404040u : 0u) << x << "," << y;
      drawn += inside;
    }
  EXPECT_EQ(drawn, 4);
  IMGBlendHalf(src.get(), dst.get(), 5, 0);
  IMGBlendHalf(src.get(), dst.get(), 0, -4);
  EXPECT_EQ(At(dst, 0, 0), 0u);
}

TEST(IMGSubtract, ClampsEachChannelAndClearsTopByte) {
  ImgPtr img = MakeImage(17, 1, {0xFFFFFF, 0xE8E8E8, 0x10E9E7, 0xFF000000, 0x808080});
  IMGSubtract(img.get(), 0xE8E8E8);
  EXPECT_EQ(img->pixels[0], 0x171717u);
  EXPECT_EQ(img->pixels[1], 0u);
  EXPECT_EQ(img->pixels[2], 0x000100u);
  EXPECT_EQ(img->pixels[3], 0u);

  ImgPtr tint = MakeImage(9, 1, {0xFFFFFF, 0x808080});
  IMGSubtract(tint.get(), ~0x80FF00u);
  EXPECT_EQ(tint->pixels[0], 0x80FF00u);
  EXPECT_EQ(tint->pixels[1], 0x018000u);
}

TEST(IMGSubtract, SixtyFourStepsFadeWhiteToBlack) {
  ImgPtr img = FilledImage(256, 4, 0xFFFFFF);
  for (int i = 0; i < 63; ++i) IMGSubtract(img.get(), 0x040404);
  EXPECT_EQ(img->pixels[1023], 0x030303u);
  IMGSubtract(img.get(), 0x040404);
  for (uint32_t p : Pixels(img.get())) ASSERT_EQ(p, 0u);
}

TEST(IMGInvert, ComplementsColourAndTwiceRestores) {
  ImgPtr img = MakeImage(11, 1, {0x000000, 0x123456, 0xFF0000FF});
  IMGInvert(img.get());
  EXPECT_EQ(img->pixels[0], 0xFFFFFFu);
  EXPECT_EQ(img->pixels[1], 0xEDCBA9u);
  EXPECT_EQ(img->pixels[2], 0x00FFFF00u);
  IMGInvert(img.get());
  EXPECT_EQ(img->pixels[1], 0x123456u);
  EXPECT_EQ(img->pixels[2], 0x0000FFu);
}

namespace {
std::vector<std::pair<int, int>> Line(int x0, int y0, int x1, int y1) {
  HeapPtr<int> points(IMGLinePoints(x0, y0, x1, y1));
  std::vector<std::pair<int, int>> result;
  for (int i = 0; i < points.get()[0]; i += 2)
    result.emplace_back(points.get()[1 + i], points.get()[2 + i]);
  return result;
}
using Points = std::vector<std::pair<int, int>>;
}  // namespace

TEST(IMGLinePoints, BresenhamIncludesBothEnds) {
  EXPECT_EQ(Line(0, 0, 3, 1), (Points{{0, 0}, {1, 1}, {2, 1}, {3, 1}}));
  EXPECT_EQ(Line(5, 5, 5, 5), (Points{{5, 5}}));
  EXPECT_EQ(Line(0, 0, 1, 0), (Points{{0, 0}, {1, 0}}));
  EXPECT_EQ(Line(2, 0, 0, 4), (Points{{2, 0}, {1, 1}, {1, 2}, {0, 3}, {0, 4}}));
  for (auto [x1, y1] : {std::pair{-7, 3}, {4, -9}, {-5, -5}, {13, 2}}) {
    const Points line = Line(1, 1, x1, y1);
    EXPECT_EQ(line.back(), (std::pair{x1, y1}));
    for (size_t i = 1; i < line.size(); ++i) {
      EXPECT_LE(std::abs(line[i].first - line[i - 1].first), 1);
      EXPECT_LE(std::abs(line[i].second - line[i - 1].second), 1);
    }
  }
}

TEST(IMGLinePoints, CountAndRefusedLengths) {
  HeapPtr<int> points(IMGLinePoints(0, 0, 6, 2));
  EXPECT_EQ(points.get()[0], 14);
  EXPECT_EQ(IMGLinePoints(-0x7FFFFFFF, 0, 0x7FFFFFFF, 0), nullptr);
}

TEST(IMGBlitSpaced, SpreadsOnTheGridAndClipsInPlace) {
  ImgPtr src = Numbered(6, 3);
  ImgPtr dst = MakeImage(8, 8);
  IMGBlitSpaced(src.get(), dst.get(), 0, 0, -3, 1, 6, 3, 2, 3);
  EXPECT_EQ(At(dst, 0, 1), 0u);
  EXPECT_EQ(At(dst, 1, 1), At(src, 2, 0));
  EXPECT_EQ(At(dst, 3, 4), At(src, 3, 1));
  EXPECT_EQ(At(dst, 7, 7), At(src, 5, 2));
  int drawn = 0;
  for (uint32_t p : Pixels(dst.get())) drawn += p != 0;
  EXPECT_EQ(drawn, 12);

  // Black source pixels are keyed out; a zero pitch is refused.
  ImgPtr keyed = FilledImage(2, 2, 0x55);
  ImgPtr black = MakeImage(2, 2);
  IMGBlitSpaced(black.get(), keyed.get(), 0, 0, 0, 0, 2, 2, 1, 1);
  IMGBlitSpaced(src.get(), keyed.get(), 0, 0, 0, 0, 2, 2, 0, 1);
  for (uint32_t p : Pixels(keyed.get())) EXPECT_EQ(p, 0x55u);
}

TEST(IMGDrawCircle, RadiusOneSetsTwoPixels) {
  ImgPtr img = MakeImage(5, 5);
  IMGDrawCircle(img.get(), 2, 2, 1, 0xFF);
  int drawn = 0;
  for (uint32_t p : Pixels(img.get())) drawn += p != 0;
  EXPECT_EQ(drawn, 2);
  EXPECT_EQ(At(img, 1, 2), 0xFFu);
  EXPECT_EQ(At(img, 2, 2), 0xFFu);
}

TEST(IMGDrawCircle, OutlineIsSymmetricAndRefusesBadCentre) {
  ImgPtr img = MakeImage(64, 64);
  IMGDrawCircle(img.get(), 32, 32, 20, 0xFFFFFF);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      // Mirrored about x = 31.5 and y = 32.
      ASSERT_EQ(At(img, x, y), At(img, 63 - x, y));
      if (y > 0) {
        ASSERT_EQ(At(img, x, y), At(img, x, 64 - y));
      }
    }
  // r x SinTable peak (32766) shifts down to 19 on the horizontal axis.
  EXPECT_EQ(At(img, 13, 32), 0xFFFFFFu);
  EXPECT_EQ(At(img, 50, 32), 0xFFFFFFu);
  EXPECT_EQ(At(img, 12, 32), 0u);
  EXPECT_EQ(At(img, 32, 32), 0u);

  ImgPtr untouched = MakeImage(8, 8);
  IMGDrawCircle(untouched.get(), 8, 0, 3, 1);
  IMGDrawCircle(untouched.get(), 0, 0, 0, 1);
  IMGDrawCircle(untouched.get(), 4, 4, 0x7FFFFFFF, 1);
  int drawn = 0;
  for (uint32_t p : Pixels(untouched.get())) drawn += p != 0;
  EXPECT_EQ(drawn, 0);
}
