#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "image/img.hpp"
#include "text/bytemap.hpp"

namespace {

struct MapDeleter {
  void operator()(BYTEMAP* map) const { BYTEMAPFree(&map); }
};
using Map = std::unique_ptr<BYTEMAP, MapDeleter>;

Map makeMap(int w, int h, std::vector<uint8_t> samples = {}) {
  Map map(BYTEMAPNew());
  BYTEMAPAlloc(map.get(), w, h);
  for (size_t i = 0; i < samples.size(); ++i) map->samples[i] = samples[i];
  return map;
}

// Every sample distinct and non-zero: its value tells where it came from.
Map numbered(int w, int h) {
  Map map = makeMap(w, h);
  for (int i = 0; i < w * h; ++i) map->samples[i] = static_cast<uint8_t>(i + 1);
  return map;
}

std::vector<uint8_t> samplesOf(const BYTEMAP* map) {
  return {map->samples, map->samples + map->width * map->height};
}

std::vector<int> listOf(int* counted, int extra) {
  std::vector<int> out(counted, counted + counted[0] + extra);
  std::free(counted);
  return out;
}

std::vector<int> stepsOf(int n, int m) {
  int* table = BYTEMAPStepTable(n, m);
  const int size = std::min(std::abs(n), std::abs(m)) + 1;
  std::vector<int> out(table, table + size);
  std::free(table);
  return out;
}

}  // namespace

TEST(BYTEMAPTranslate, MapsThroughATableWhoseUpperHalfRepeatsTheLower) {
  Map table = makeMap(256, 1);
  for (int b = 0; b < 256; ++b) {
    const int low = b & 127;
    int glyph = 1;
    if (low == 0) glyph = 0;
    if (low >= 'A' && low <= 'Z') glyph = low - 63;
    if (low >= 'a' && low <= 'z') glyph = low - 95;
    if (low == '?') glyph = 33;
    table->samples[b] = static_cast<uint8_t>(glyph);
  }
  Map text = makeMap(5, 1, {'A', ' ', 'z', '?', 193});
  BYTEMAPTranslate(text.get(), table.get());
  EXPECT_EQ(samplesOf(text.get()), (std::vector<uint8_t>{2, 1, 27, 33, 2}));
}

TEST(BYTEMAPTranslate, RefusesATableShorterThan256) {
  Map table = makeMap(255, 1);
  Map text = makeMap(2, 1, {'A', 'B'});
  BYTEMAPTranslate(text.get(), table.get());
  EXPECT_EQ(samplesOf(text.get()), (std::vector<uint8_t>{'A', 'B'}));
}

TEST(BYTEMAPTranslate, WorksOnBorrowedBuffersAsTheStartUpUsesIt) {
  uint8_t tableBytes[256];
  for (int i = 0; i < 256; ++i) tableBytes[i] = static_cast<uint8_t>(255 - i);
  uint8_t message[] = {0, 1, 200};
  Map table = makeMap(256, 1);
  Map text = makeMap(3, 1);
  uint8_t* ownTable = table->samples;
  uint8_t* ownText = text->samples;
  table->samples = tableBytes;
  text->samples = message;
  BYTEMAPTranslate(text.get(), table.get());
  table->samples = ownTable;
  text->samples = ownText;
  EXPECT_EQ(message[0], 255);
  EXPECT_EQ(message[1], 254);
  EXPECT_EQ(message[2], 55);
}

TEST(BYTEMAPPixels, ValueArithmeticSaturatesOrWraps) {
  Map map = makeMap(2, 1, {30, 200});
  BYTEMAPSubtract(map.get(), 40);
  EXPECT_EQ(samplesOf(map.get()), (std::vector<uint8_t>{0, 160}));
  Map add = makeMap(2, 1, {200, 3});
  BYTEMAPAddValue(add.get(), 100);
  EXPECT_EQ(samplesOf(add.get()), (std::vector<uint8_t>{44, 103}));
  BYTEMAPSetPixel(add.get(), -1, 0, 9);
  BYTEMAPSetPixel(add.get(), 2, 0, 9);
  BYTEMAPSetPixel(add.get(), 1, 0, 0x1FF);
  EXPECT_EQ(samplesOf(add.get()), (std::vector<uint8_t>{44, 255}));
  EXPECT_EQ(BYTEMAPGetPixel(add.get(), 0, -1), 0);
  EXPECT_EQ(BYTEMAPGetPixel(add.get(), 2, 0), 0);
}

TEST(BYTEMAPBlits, KeyedCopyClipsAgainstBothRastersAndSkipsZero) {
  Map src = numbered(4, 2);
  src->samples[5] = 0;
  Map dst = makeMap(3, 3, std::vector<uint8_t>(9, 99));
  BYTEMAPBlitKeyed(src.get(), dst.get(), 0, 0, -3, 1, 4, 2);
  EXPECT_EQ(samplesOf(dst.get()), (std::vector<uint8_t>{99, 99, 99, 4, 99, 99, 8, 99, 99}));
  Map whole = makeMap(3, 3, std::vector<uint8_t>(9, 99));
  BYTEMAPBlitKeyed(src.get(), whole.get(), 0, 0, 0, 0, 100, 100);
  EXPECT_EQ(samplesOf(whole.get()), (std::vector<uint8_t>{1, 2, 3, 5, 99, 7, 99, 99, 99}));
  Map untouched = makeMap(3, 3, std::vector<uint8_t>(9, 99));
  BYTEMAPBlitKeyed(src.get(), untouched.get(), 0, 0, -4, 0, 4, 2);
  BYTEMAPBlitKeyed(src.get(), untouched.get(), 0, 0, 3, 0, 4, 2);
  BYTEMAPBlitKeyed(src.get(), untouched.get(), 0, 0, 0, 0, 0x7FFFFFFF, 0x7FFFFFFF);
  EXPECT_EQ(untouched->samples[3], 5);
  EXPECT_EQ(untouched->samples[4], 99);
  EXPECT_EQ(untouched->samples[8], 99);
}

TEST(BYTEMAPBlits, SpacedCopyKeepsEveryDrawnSampleOnItsGrid) {
  Map src = numbered(4, 1);
  Map dst = makeMap(5, 1);
  BYTEMAPBlitSpaced(src.get(), dst.get(), 0, 0, -3, 0, 4, 1, 2, 1);
  EXPECT_EQ(samplesOf(dst.get()), (std::vector<uint8_t>{0, 3, 0, 4, 0}));
  Map refused = makeMap(5, 1);
  BYTEMAPBlitSpaced(src.get(), refused.get(), 0, 0, 0, 0, 4, 1, 0, 1);
  EXPECT_EQ(samplesOf(refused.get()), std::vector<uint8_t>(5, 0));
}

TEST(BYTEMAPBlits, BlendHalfHalvesBothAndSkipsZero) {
  Map src = makeMap(3, 1, {255, 0, 100});
  Map dst = makeMap(3, 1, {255, 77, 51});
  BYTEMAPBlendHalf(src.get(), dst.get(), 0, 0);
  EXPECT_EQ(samplesOf(dst.get()), (std::vector<uint8_t>{254, 77, 75}));
  Map shifted = makeMap(3, 1, {10, 10, 10});
  BYTEMAPBlendHalf(src.get(), shifted.get(), -2, 0);
  EXPECT_EQ(samplesOf(shifted.get()), (std::vector<uint8_t>{55, 10, 10}));
}

TEST(BYTEMAPBlits, AndNeedsEqualSizes) {
  Map mask = makeMap(2, 1, {0x0F, 0xF0});
  Map dst = makeMap(2, 1, {0xFF, 0x3C});
  BYTEMAPAnd(mask.get(), dst.get());
  EXPECT_EQ(samplesOf(dst.get()), (std::vector<uint8_t>{0x0F, 0x30}));
  Map other = makeMap(1, 2, {0, 0});
  BYTEMAPAnd(other.get(), dst.get());
  EXPECT_EQ(samplesOf(dst.get()), (std::vector<uint8_t>{0x0F, 0x30}));
}

TEST(BYTEMAPWrap, RowsWrapFromAnyColumnAndAreCutToTheDestination) {
  Map src = numbered(5, 2);
  src->samples[1] = 0;
  Map dst = makeMap(3, 1, {50, 50, 50});
  BYTEMAPCopyRowWrap(src.get(), dst.get(), 0, 0, -1);  // column 2
  EXPECT_EQ(samplesOf(dst.get()), (std::vector<uint8_t>{50, 3, 1}));
  Map ored = makeMap(3, 1, {0x40, 0x40, 0x40});
  BYTEMAPOrRowWrap(src.get(), ored.get(), 1, 0, 4);  // column 1
  EXPECT_EQ(samplesOf(ored.get()), (std::vector<uint8_t>{0x48, 0x46, 0x47}));
  BYTEMAPCopyRowWrap(src.get(), dst.get(), 2, 0, 0);
  BYTEMAPCopyRowWrap(src.get(), dst.get(), 0, 1, 0);
  EXPECT_EQ(samplesOf(dst.get()), (std::vector<uint8_t>{50, 3, 1}));
}

TEST(BYTEMAPWrap, ColumnsWrapFromAnyRow) {
  Map src = numbered(1, 3);
  Map dst = makeMap(2, 2);
  BYTEMAPCopyColumnWrap(src.get(), dst.get(), 0, 1, 3);  // row 1
  EXPECT_EQ(samplesOf(dst.get()), (std::vector<uint8_t>{0, 2, 0, 1}));
}

TEST(BYTEMAPDrawing, RectanglesMustLieWhollyInside) {
  Map map = makeMap(4, 3);
  BYTEMAPFillRect(map.get(), 1, 1, 4, 1, 9);
  BYTEMAPDrawRect(map.get(), -1, 0, 2, 2, 9);
  EXPECT_EQ(samplesOf(map.get()), std::vector<uint8_t>(12, 0));
  BYTEMAPFillRect(map.get(), 1, 1, 3, 1, 9);
  EXPECT_EQ(samplesOf(map.get()), (std::vector<uint8_t>{0, 0, 0, 0, 0, 9, 9, 9, 0, 0, 0, 0}));
  Map outline = makeMap(4, 3);
  BYTEMAPDrawRect(outline.get(), 0, 0, 4, 3, 5);
  EXPECT_EQ(samplesOf(outline.get()),
            (std::vector<uint8_t>{5, 5, 5, 5, 5, 0, 0, 5, 5, 5, 5, 5}));
}

TEST(BYTEMAPDrawing, SmallestCircleIsTwoSamplesAndBadCentresAreRefused) {
  Map map = makeMap(5, 5);
  BYTEMAPDrawCircle(map.get(), 2, 2, 1, 7);
  std::vector<uint8_t> expected(25, 0);
  expected[2 * 5 + 1] = expected[2 * 5 + 2] = 7;
  EXPECT_EQ(samplesOf(map.get()), expected);
  BYTEMAPDrawCircle(map.get(), 5, 2, 2, 7);
  BYTEMAPDrawCircle(map.get(), 2, 2, 0, 7);
  EXPECT_EQ(samplesOf(map.get()), expected);
  Map big = makeMap(21, 21);
  BYTEMAPDrawCircle(big.get(), 10, 10, 8, 1);
  // The peak of the table is just below one, so the widest row spans 2 * 7.
  EXPECT_EQ(BYTEMAPGetPixel(big.get(), 16, 10), 1);
  EXPECT_EQ(BYTEMAPGetPixel(big.get(), 3, 10), 1);
  EXPECT_EQ(BYTEMAPGetPixel(big.get(), 17, 10), 0);
  EXPECT_EQ(BYTEMAPGetPixel(big.get(), 10, 10), 0);
}

TEST(BYTEMAPGeometry, StepTablesDistributeTheLargerSize) {
  EXPECT_EQ(stepsOf(5, 2), (std::vector<int>{3, 2, 1}));
  EXPECT_EQ(stepsOf(5, 3), (std::vector<int>{2, 2, 1, 1}));
  EXPECT_EQ(stepsOf(3, 3), (std::vector<int>{1, 1, 1, 1}));
  EXPECT_EQ(stepsOf(0, 5), (std::vector<int>{6}));
  EXPECT_EQ(stepsOf(-4, 2), stepsOf(4, 2));
}

TEST(BYTEMAPGeometry, LinePointsRunFromStartToEnd) {
  EXPECT_EQ(listOf(BYTEMAPLinePoints(0, 0, 3, 1), 1),
            (std::vector<int>{8, 0, 0, 1, 1, 2, 1, 3, 1}));
  EXPECT_EQ(listOf(BYTEMAPLinePoints(5, 5, 5, 5), 1), (std::vector<int>{2, 5, 5}));
  EXPECT_EQ(listOf(BYTEMAPLinePoints(0, 0, -1, -3), 1),
            (std::vector<int>{8, 0, 0, -1, -1, -1, -2, -1, -3}));
}

TEST(BYTEMAPGeometry, ScaleCoversAllFourCases) {
  Map two = numbered(2, 2);
  Map four = makeMap(4, 4);
  BYTEMAPScale(two.get(), four.get());
  EXPECT_EQ(samplesOf(four.get()),
            (std::vector<uint8_t>{1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}));
  Map source = numbered(4, 4);
  Map half = makeMap(2, 2);
  BYTEMAPScale(source.get(), half.get());
  EXPECT_EQ(samplesOf(half.get()), (std::vector<uint8_t>{6, 8, 14, 16}));
  Map column = numbered(1, 4);
  Map wide = makeMap(3, 2);
  BYTEMAPScale(column.get(), wide.get());
  EXPECT_EQ(samplesOf(wide.get()), (std::vector<uint8_t>{1, 1, 1, 3, 3, 3}));
  Map row = numbered(5, 1);
  Map narrow = makeMap(2, 3);
  BYTEMAPScale(row.get(), narrow.get());
  EXPECT_EQ(samplesOf(narrow.get()), (std::vector<uint8_t>{3, 5, 3, 5, 3, 5}));
  Map same = makeMap(4, 4);
  BYTEMAPScale(source.get(), same.get());
  EXPECT_TRUE(BYTEMAPEqual(source.get(), same.get()));
}

TEST(BYTEMAPGeometry, RotationGrowsTheRasterAndWrapsTheAngle) {
  Map src = numbered(10, 5);
  Map turned(BYTEMAPRotate(src.get(), 0));
  ASSERT_NE(turned, nullptr);
  EXPECT_EQ(turned->width, 14);
  EXPECT_EQ(turned->height, 7);
  // Angle 0 is half a turn: the centre stays and the corners swap.
  EXPECT_EQ(BYTEMAPGetPixel(turned.get(), 7, 3), BYTEMAPGetPixel(src.get(), 5, 2));
  EXPECT_EQ(BYTEMAPGetPixel(turned.get(), 8, 3), BYTEMAPGetPixel(src.get(), 4, 2));
  EXPECT_EQ(BYTEMAPGetPixel(turned.get(), 0, 0), 0);
  Map a(BYTEMAPRotate(src.get(), 5));
  Map b(BYTEMAPRotate(src.get(), 1029));
  Map c(BYTEMAPRotate(src.get(), -5));
  Map d(BYTEMAPRotate(src.get(), 1019));
  EXPECT_TRUE(BYTEMAPEqual(a.get(), b.get()));
  EXPECT_TRUE(BYTEMAPEqual(c.get(), d.get()));
  EXPECT_FALSE(BYTEMAPEqual(a.get(), c.get()));
}

namespace {
struct Palette {
  int32_t count;
  int32_t position;
  uint32_t* colours;
};
}  // namespace

TEST(BYTEMAPPalette, DrawsSamplesThroughAColourTable) {
  std::vector<uint32_t> colours(256);
  for (int i = 0; i < 256; ++i) colours[i] = 0x010203u * static_cast<uint32_t>(i);
  Palette palette{256, 0, colours.data()};
  Map map = makeMap(2, 1, {3, 255});
  IMG* img = IMGNew();
  IMGAlloc(img, 2, 1);
  BYTEMAPToIMG(map.get(), img, &palette);
  EXPECT_EQ(img->pixels[0], 0x030609u);
  EXPECT_EQ(img->pixels[1], 0x010203u * 255);
  Palette small{255, 0, colours.data()};
  img->pixels[0] = 0;
  BYTEMAPToIMG(map.get(), img, &small);
  EXPECT_EQ(img->pixels[0], 0u);
  IMGAlloc(img, 1, 1);
  BYTEMAPToIMG(map.get(), img, &palette);
  EXPECT_EQ(img->pixels[0], 0u);
  IMGFree(&img);
}
