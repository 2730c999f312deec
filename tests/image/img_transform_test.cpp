#include <gtest/gtest.h>

#include <numeric>

#include "img_test_util.hpp"

namespace {

std::vector<int> Steps(int n, int m) {
  HeapPtr<int> table(IMGStepTable(n, m));
  const int small = std::min(std::abs(n), std::abs(m));
  return std::vector<int>(table.get(), table.get() + small + 1);
}

// Pixel (x, y) of a w x h source holds a word naming its position.
ImgPtr Coordinates(int w, int h) {
  ImgPtr img = MakeImage(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img->pixels[y * w + x] = static_cast<uint32_t>(x << 12 | y) + 1;
  return img;
}
uint32_t Word(int x, int y) { return static_cast<uint32_t>(x << 12 | y) + 1; }

ImgPtr Scaled(const IMG* src, int w, int h) {
  ImgPtr dst = FilledImage(w, h, 0xDEAD);
  IMGScale(src, dst.get());
  return dst;
}

}  // namespace

TEST(IMGStepTable, DistributesLargerSizeFrontLoaded) {
  EXPECT_EQ(Steps(5, 2), (std::vector<int>{3, 2, 1}));
  EXPECT_EQ(Steps(5, 3), (std::vector<int>{2, 2, 1, 1}));
  EXPECT_EQ(Steps(4, 2), (std::vector<int>{2, 2, 1}));
  EXPECT_EQ(Steps(3, 3), (std::vector<int>{1, 1, 1, 1}));
  EXPECT_EQ(Steps(0, 5), (std::vector<int>{6}));
  EXPECT_EQ(Steps(-4, 2), Steps(4, 2));
  EXPECT_EQ(Steps(2, 5), Steps(5, 2));
}

TEST(IMGStepTable, GroupsSumToTheLargerSizeForManyPairs) {
  for (int n = 1; n < 70; n += 3)
    for (int m = 1; m < 300; m += 7) {
      const std::vector<int> counts = Steps(n, m);
      const int small = std::min(n, m), large = std::max(n, m);
      ASSERT_EQ(std::accumulate(counts.begin(), counts.end() - 1, 0), large) << n << "," << m;
      EXPECT_EQ(counts.back(), 1);
      for (int i = 0; i < small; ++i) {
        ASSERT_GE(counts[i], large / small);
        ASSERT_LE(counts[i], (large + small - 1) / small);
      }
    }
}

TEST(IMGMirrorStepTable, SymmetricWithEvenShares) {
  for (auto [n, m] : {std::pair{7, 3}, {10, 4}, {9, 9}, {100, 7}, {-6, 13}}) {
    const int small = std::min(std::abs(n), std::abs(m)), large = std::max(std::abs(n), std::abs(m));
    HeapPtr<int> table(IMGMirrorStepTable(n, m));
    ASSERT_NE(table, nullptr);
    for (int k = 0; k < small; ++k) {
      EXPECT_EQ(table.get()[k], table.get()[small - 1 - k]) << n << "," << m << " k=" << k;
      EXPECT_GE(table.get()[k], large / small);
      EXPECT_LE(table.get()[k], (large + small - 1) / small);
    }
  }
}

TEST(IMGScale, SameSizeCopies) {
  ImgPtr src = Coordinates(7, 5);
  ImgPtr dst = Scaled(src.get(), 7, 5);
  EXPECT_TRUE(IMGEqual(src.get(), dst.get()));
}

TEST(IMGScale, BothGrowMakesBlocks) {
  ImgPtr src = MakeImage(2, 2, {1, 2, 3, 4});
  ImgPtr dst = Scaled(src.get(), 4, 4);
  EXPECT_EQ(Pixels(dst.get()), (std::vector<uint32_t>{1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}));
  ImgPtr row = MakeImage(2, 1, {'a', 'b'});
  EXPECT_EQ(Pixels(Scaled(row.get(), 5, 1).get()), (std::vector<uint32_t>{'a', 'a', 'a', 'b', 'b'}));
}

TEST(IMGScale, BothShrinkTakesLastOfEachGroup) {
  ImgPtr src = Coordinates(4, 4);
  ImgPtr dst = Scaled(src.get(), 2, 2);
  EXPECT_EQ(Pixels(dst.get()), (std::vector<uint32_t>{Word(1, 1), Word(3, 1), Word(1, 3), Word(3, 3)}));
  // Groups of 3, 2 across and 2, 1 down.
  ImgPtr odd = Scaled(Coordinates(5, 3).get(), 2, 2);
  EXPECT_EQ(Pixels(odd.get()), (std::vector<uint32_t>{Word(2, 1), Word(4, 1), Word(2, 2), Word(4, 2)}));
}

TEST(IMGScale, WiderAndShorterTakesFirstRowOfEachGroup) {
  ImgPtr src = Coordinates(1, 4);
  ImgPtr dst = Scaled(src.get(), 3, 2);
  EXPECT_EQ(Pixels(dst.get()), (std::vector<uint32_t>{Word(0, 0), Word(0, 0), Word(0, 0), Word(0, 2),
                                                       Word(0, 2), Word(0, 2)}));
}

TEST(IMGScale, NarrowerAndTallerRepeatsPickedRows) {
  ImgPtr row = MakeImage(5, 1, {'a', 'b', 'c', 'd', 'e'});
  EXPECT_EQ(Pixels(Scaled(row.get(), 2, 1).get()), (std::vector<uint32_t>{'c', 'e'}));
  ImgPtr src = Coordinates(4, 2);
  ImgPtr dst = Scaled(src.get(), 2, 5);
  // Rows: source row 0 three times, row 1 twice; columns 1 and 3.
  for (int y = 0; y < 5; ++y) {
    const int sourceRow = y < 3 ? 0 : 1;
    EXPECT_EQ(dst->pixels[y * 2], Word(1, sourceRow));
    EXPECT_EQ(dst->pixels[y * 2 + 1], Word(3, sourceRow));
  }
}

// Nearest neighbour in every case: each destination pixel comes from a
// source pixel whose position is within one group of the exact ratio.
TEST(IMGScale, EveryCaseStaysNearTheExactMapping) {
  ImgPtr src = Coordinates(37, 23);
  for (auto [w, h] : {std::pair{100, 61}, {55, 30}, {74, 23}, {11, 7}, {90, 9}, {13, 50}, {37, 23}, {1, 1}}) {
    ImgPtr dst = Scaled(src.get(), w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint32_t word = dst->pixels[y * w + x] - 1;
        const double sx = static_cast<double>(word >> 12), sy = static_cast<double>(word & 0xFFF);
        ASSERT_NEAR(sx, (x + 0.5) * 37 / w, 37.0 / w + 1) << w << "x" << h;
        ASSERT_NEAR(sy, (y + 0.5) * 23 / h, 23.0 / h + 1) << w << "x" << h;
      }
  }
}

TEST(IMGScale, EmptySourceClearsAndBadArgumentsChangeNothing) {
  ImgPtr empty = MakeImage(0, 3);
  ImgPtr dst = Scaled(empty.get(), 3, 3);
  for (uint32_t p : Pixels(dst.get())) EXPECT_EQ(p, 0u);
  ImgPtr keep = FilledImage(2, 2, 5);
  IMGScale(nullptr, keep.get());
  IMGScale(keep.get(), nullptr);
  for (uint32_t p : Pixels(keep.get())) EXPECT_EQ(p, 5u);
}

TEST(IMGRotate, SizeGrowsByRootTwoAndAngleWraps) {
  ImgPtr src = Coordinates(100, 50);
  ImgPtr a(IMGRotate(src.get(), 5));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->width, 141);
  EXPECT_EQ(a->height, 70);
  ImgPtr b(IMGRotate(src.get(), 1029));
  EXPECT_TRUE(IMGEqual(a.get(), b.get()));
  ImgPtr c(IMGRotate(src.get(), -5));
  ImgPtr d(IMGRotate(src.get(), 1019));
  EXPECT_TRUE(IMGEqual(c.get(), d.get()));
  EXPECT_FALSE(IMGEqual(a.get(), c.get()));
  ImgPtr e(IMGRotate(src.get(), -0x7FFFFFFF - 1));
  ImgPtr f(IMGRotate(src.get(), 0));
  EXPECT_TRUE(IMGEqual(e.get(), f.get()));
  EXPECT_EQ(IMGRotate(nullptr, 0), nullptr);
}

TEST(IMGRotate, AngleZeroIsHalfTurnAndQuarterTurnsSwapAxes) {
  ImgPtr src = Coordinates(20, 10);
  ImgPtr half(IMGRotate(src.get(), 0));
  // 28 x 14, centre (14, 7) maps to source centre (10, 5); one pixel right
  // of the centre reads one pixel left in the source.
  EXPECT_EQ(IMGGetPixel(half.get(), 14, 7), Word(10, 5));
  EXPECT_EQ(IMGGetPixel(half.get(), 17, 9), Word(7, 3));
  EXPECT_EQ(IMGGetPixel(half.get(), 0, 0), 0u) << "corner lies outside the source";

  ImgPtr quarter(IMGRotate(src.get(), 256));
  // S = SinTable[768] = -32766, C = SinTable[512] = 0: source x grows with v.
  EXPECT_EQ(IMGGetPixel(quarter.get(), 14, 7), Word(10, 5));
  EXPECT_EQ(IMGGetPixel(quarter.get(), 14, 8), Word(11, 5));
  EXPECT_EQ(IMGGetPixel(quarter.get(), 17, 7), Word(10, 2));
}

TEST(IMGRowWrap, CopyWrapsAndKeysOrCombines) {
  ImgPtr src = MakeImage(3, 2, {0, 0, 0, 0x10, 0, 0x30});
  ImgPtr dst = FilledImage(5, 1, 0x01);
  IMGCopyRowWrap(src.get(), dst.get(), 1, 0, -1);  // column 4, then 0, 1
  EXPECT_EQ(Pixels(dst.get()), (std::vector<uint32_t>{0x01, 0x30, 0x01, 0x01, 0x10}));
  IMGOrRowWrap(src.get(), dst.get(), 1, 0, 13);  // column 3
  EXPECT_EQ(Pixels(dst.get()), (std::vector<uint32_t>{0x31, 0x30, 0x01, 0x11, 0x10}));
  // A wide source writes only the destination's width, once round.
  ImgPtr wide = Coordinates(9, 1);
  ImgPtr narrow = MakeImage(4, 1);
  IMGCopyRowWrap(wide.get(), narrow.get(), 0, 0, 2);
  EXPECT_EQ(Pixels(narrow.get()), (std::vector<uint32_t>{Word(2, 0), Word(3, 0), Word(0, 0), Word(1, 0)}));
  IMGCopyRowWrap(wide.get(), narrow.get(), 1, 0, 0);
  IMGCopyRowWrap(wide.get(), narrow.get(), 0, -1, 0);
  EXPECT_EQ(narrow->pixels[0], Word(2, 0));
}

TEST(IMGColumnWrap, CopiesDownwardsWrappingAndKeyed) {
  ImgPtr src = MakeImage(2, 3, {0, 7, 0, 0, 0, 9});
  ImgPtr dst = FilledImage(1, 4, 1);
  IMGCopyColumnWrap(src.get(), dst.get(), 1, 0, 6);  // starts at row 2
  EXPECT_EQ(Pixels(dst.get()), (std::vector<uint32_t>{9, 1, 7, 1}));
  IMGCopyColumnWrap(src.get(), dst.get(), 2, 0, 0);
  EXPECT_EQ(Pixels(dst.get()), (std::vector<uint32_t>{9, 1, 7, 1}));
}

TEST(IMGRowOps, AndAndCopyRow) {
  ImgPtr mask = MakeImage(2, 2, {0xFF00FF, 0, 0xFFFFFF, 0x0F0F0F});
  ImgPtr img = FilledImage(2, 2, 0x123456);
  IMGAnd(mask.get(), img.get());
  EXPECT_EQ(Pixels(img.get()), (std::vector<uint32_t>{0x120056, 0, 0x123456, 0x020406}));
  ImgPtr other = FilledImage(3, 3, 8);
  IMGAnd(mask.get(), other.get());
  EXPECT_EQ(other->pixels[0], 8u) << "sizes differ";

  ImgPtr src = Coordinates(2, 3);
  IMGCopyRow(src.get(), other.get(), 2, 1);
  EXPECT_EQ(Pixels(other.get()), (std::vector<uint32_t>{8, 8, 8, Word(0, 2), Word(1, 2), 8, 8, 8, 8}));
  IMGCopyRow(src.get(), other.get(), 3, 0);
  EXPECT_EQ(other->pixels[0], 8u);
}

TEST(IMGRect, FillAndOutlineOnlyWhenWhollyInside) {
  ImgPtr img = MakeImage(5, 4);
  IMGFillRect(img.get(), 1, 1, 4, 3, 2);
  int filled = 0;
  for (uint32_t p : Pixels(img.get())) filled += p == 2;
  EXPECT_EQ(filled, 12);
  IMGFillRect(img.get(), 2, 1, 4, 3, 3);  // one column too far
  IMGFillRect(img.get(), -1, 0, 2, 2, 3);
  IMGFillRect(img.get(), 0, 0, 0, 2, 3);
  for (uint32_t p : Pixels(img.get())) EXPECT_NE(p, 3u);

  ImgPtr frame = MakeImage(5, 4);
  IMGDrawRect(frame.get(), 0, 0, 4, 3, 1);
  EXPECT_EQ(Pixels(frame.get()),
            (std::vector<uint32_t>{1, 1, 1, 1, 0, 1, 0, 0, 1, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0}));
  IMGDrawRect(frame.get(), 4, 3, 1, 2, 5);
  EXPECT_EQ(frame->pixels[19], 0u);
}

// Growing columns follow the step table exactly, whether the row is made by
// doubling (up to twice as wide) or through the column map (wider still).
TEST(IMGScale, GrowingColumnsFollowTheStepTable) {
  ImgPtr src = Coordinates(37, 2);
  for (int w : {37, 38, 55, 73, 74, 75, 200}) {
    const std::vector<int> counts = Steps(w, 37);
    ImgPtr dst = Scaled(src.get(), w, 2);
    int x = 0;
    for (int c = 0; c < 37; ++c)
      for (int k = 0; k < counts[c]; ++k, ++x) {
        ASSERT_EQ(dst->pixels[x], Word(c, 0)) << w << " x=" << x;
        ASSERT_EQ(dst->pixels[w + x], Word(c, 1)) << w << " x=" << x;
      }
    EXPECT_EQ(x, w);
  }
}
