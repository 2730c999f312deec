#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "core/rnd.hpp"
#include "effects/stars.hpp"
#include "image/img.hpp"
#include "text/font.hpp"

namespace {

constexpr int32_t one = 0x10000;

// How many draws the generator made since the state was `from`.
int drawsSince(uint32_t from) {
  const uint32_t now = RNDState();
  RNDSeed(from);
  for (int n = 0; n < 100000; ++n) {
    if (RNDState() == now) {
      RNDSeed(now);
      return n;
    }
    RNDNext();
  }
  RNDSeed(now);
  return -1;
}

STARS* layerWith(int count, int32_t vx, int32_t vy) {
  STARS* layer = STARSNew();
  STARSSetCount(layer, count);
  layer->vx = vx;
  layer->vy = vy;
  return layer;
}

IMG* image(int w, int h) {
  IMG* img = IMGNew();
  IMGAlloc(img, w, h);
  return img;
}

}  // namespace

TEST(STARS, NewScattersSixteenWholePixelStarsWithTwoDrawsEach) {
  RNDSeed(1234);
  STARS* layer = STARSNew();
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(drawsSince(1234), 32);
  EXPECT_EQ(layer->width, 256);
  EXPECT_EQ(layer->height, 256);
  EXPECT_EQ(layer->vx, 0);
  EXPECT_EQ(layer->vy, one);
  EXPECT_EQ(layer->colour, 0xFFFFFFu);
  EXPECT_EQ(layer->count, 16);
  RNDSeed(1234);
  for (int i = 0; i < 16; ++i) {
    const int r1 = RNDNext();
    const int r2 = RNDNext();
    EXPECT_EQ(layer->stars[i].x, (r1 % 256) * one);
    EXPECT_EQ(layer->stars[i].y, (r2 % 256) * one);
  }
  STARSFree(&layer);
  EXPECT_EQ(layer, nullptr);
  STARSFree(&layer);
}

TEST(STARS, ThreeLayersOfSixtyFourTakeFourHundredEightyDraws) {
  RNDSeed(786410978u);
  std::vector<STARS*> layers;
  for (int i = 0; i < 3; ++i) layers.push_back(layerWith(64, (4 >> i) * one, 0));
  EXPECT_EQ(drawsSince(786410978u), 480);
  for (STARS* layer : layers) {
    EXPECT_EQ(layer->count, 64);
    for (int i = 0; i < 64; ++i) {
      EXPECT_EQ(layer->stars[i].x & 0xFFFF, 0);
      EXPECT_LT(layer->stars[i].x >> 16, 256);
    }
    STARSFree(&layer);
  }
}

TEST(STARS, SetCountRefusesLessThanOne) {
  STARS* layer = STARSNew();
  STARSSetCount(layer, 0);
  STARSSetCount(layer, -3);
  EXPECT_EQ(layer->count, 16);
  EXPECT_NE(layer->stars, nullptr);
  STARSRespawn(layer, 16);
  STARSRespawn(layer, -1);
  STARSFree(&layer);
}

TEST(STARS, AStarLeavingTheRightEdgeReturnsInColumnZero) {
  STARS* layer = layerWith(1, 4 * one, 0);
  layer->stars[0] = {0xFF8000, 10 * one};
  const uint32_t before = RNDState();
  STARSMove(layer);
  EXPECT_EQ(drawsSince(before), 2);
  RNDSeed(before);
  RNDNext();
  const int row = RNDNext() % 256;
  EXPECT_EQ(layer->stars[0].x, 0);
  EXPECT_EQ(layer->stars[0].y, row * one);
  STARSMove(layer);  // inside: just moves, no draws
  EXPECT_EQ(layer->stars[0].x, 4 * one);
  EXPECT_EQ(layer->stars[0].y, row * one);
  STARSFree(&layer);
}

TEST(STARS, EdgesFollowTheDirectionOfTravel) {
  STARS* down = layerWith(1, 0, one);
  down->stars[0] = {7 * one, 255 * one};
  STARSMove(down);
  EXPECT_EQ(down->stars[0].y, 0);
  STARS* left = layerWith(1, -one / 2, 0);
  left->stars[0] = {0, 5 * one};
  STARSMove(left);
  EXPECT_EQ(left->stars[0].x, 255 * one);
  STARS* up = layerWith(1, 0, -3 * one);
  up->stars[0] = {9 * one, 2 * one};
  STARSMove(up);
  EXPECT_EQ(up->stars[0].y, 255 * one);
  STARSFree(&down);
  STARSFree(&left);
  STARSFree(&up);
}

TEST(STARS, DiagonalRespawnsSplitByTheWholePixelWeights) {
  // Weights 3 (|2 + 1|) and 1 (|-2 + 1|).
  STARS* layer = layerWith(1, 2 * one + one / 2, -(one + one / 2));
  RNDSeed(99);
  int side = 0, bottom = 0;
  for (int i = 0; i < 4000; ++i) {
    STARSRespawn(layer, 0);
    const int32_t x = layer->stars[0].x, y = layer->stars[0].y;
    if (x == 0) ++side;
    if (y == 255 * one) ++bottom;
    ASSERT_TRUE(x == 0 || y == 255 * one);
  }
  EXPECT_NEAR(side / 4000.0, 0.75, 0.04);
  EXPECT_NEAR(bottom / 4000.0, 0.25, 0.04);
  STARSFree(&layer);
}

TEST(STARS, SlowDiagonalsWithBothWeightsZeroStillRespawn) {
  STARS* layer = layerWith(1, -one / 2, -one / 4);
  RNDSeed(5);
  std::set<bool> sides;
  for (int i = 0; i < 200; ++i) {
    const uint32_t before = RNDState();
    STARSRespawn(layer, 0);
    EXPECT_EQ(drawsSince(before), 3);
    const int32_t x = layer->stars[0].x, y = layer->stars[0].y;
    ASSERT_TRUE(x == 255 * one || y == 255 * one);
    sides.insert(x == 255 * one);
  }
  EXPECT_EQ(sides.size(), 2u);
  STARSFree(&layer);
}

TEST(STARS, DrawingTakesTheImageSizeForLaterMoves) {
  STARS* layer = layerWith(2, 0, 0);
  IMG* img = image(320, 200);
  layer->stars[0] = {300 * one, 150 * one};
  layer->stars[1] = {10 * one, 210 * one};
  layer->colour = 0x80FFFF;
  STARSDraw(layer, img);
  EXPECT_EQ(layer->width, 320);
  EXPECT_EQ(layer->height, 200);
  EXPECT_EQ(IMGGetPixel(img, 300, 150), 0x80FFFFu);
  STARSMove(layer);  // the star on row 210 is outside the new field
  EXPECT_EQ(layer->stars[0].x, 300 * one);
  EXPECT_LT(layer->stars[1].y >> 16, 200);
  STARSFree(&layer);
  IMGFree(&img);
}

TEST(STARS, FastLayersDrawnLastCoverSlowOnes) {
  STARS* slow = layerWith(1, one, 0);
  STARS* fast = layerWith(1, 4 * one, 0);
  slow->colour = 0x80FF80;
  fast->colour = 0x80FFFF;
  slow->stars[0] = fast->stars[0] = {3 * one, 3 * one};
  IMG* img = image(8, 8);
  STARSDraw(slow, img);
  STARSDraw(fast, img);
  EXPECT_EQ(IMGGetPixel(img, 3, 3), 0x80FFFFu);
  STARSFree(&slow);
  STARSFree(&fast);
  IMGFree(&img);
}

TEST(STARS, MaskedStarsShowOnlyOnTheKeyColour) {
  STARS* layer = layerWith(2, 0, 0);
  IMG* img = image(4, 4);
  img->pixels[1 * 4 + 1] = 0x112233;
  layer->stars[0] = {1 * one, 1 * one};
  layer->stars[1] = {2 * one, 2 * one};
  layer->colour = 0xFF;
  STARSDrawMasked(layer, img, 0);
  EXPECT_EQ(IMGGetPixel(img, 1, 1), 0x112233u);
  EXPECT_EQ(IMGGetPixel(img, 2, 2), 0xFFu);
  STARSFree(&layer);
  IMGFree(&img);
}

TEST(STARS, GlyphStarsAreCentredAndCycleThroughSixtyFourGlyphs) {
  STARS* layer = layerWith(1, 0, 0);
  FONT* font = FONTNew();
  font->glyphWidth = font->glyphHeight = 2;
  font->sheet = image(2, 2 * 70);
  for (int g = 0; g < 70; ++g) {
    for (int i = 0; i < 4; ++i) font->sheet->pixels[g * 4 + i] = static_cast<uint32_t>(g + 1);
  }
  IMG* img = image(100, 100);
  STARSDrawGlyphs(layer, img);  // no font: refused
  EXPECT_EQ(IMGGetPixel(img, 0, 0), 0u);
  layer->font = font;
  layer->stars[0] = {30 * one, 70 * one};
  STARSDrawGlyphs(layer, img);
  EXPECT_EQ(font->target, img);
  EXPECT_EQ(IMGGetPixel(img, 14, 54), static_cast<uint32_t>(70 % 64 + 1));
  EXPECT_EQ(IMGGetPixel(img, 15, 55), static_cast<uint32_t>(70 % 64 + 1));
  EXPECT_EQ(IMGGetPixel(img, 16, 54), 0u);
  FONTFree(&font);
  STARSFree(&layer);
  IMGFree(&img);
}
