#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/rnd.hpp"
#include "../generator_replay.hpp"
#include "driver/scene_table.hpp"
#include "driver/torvelin.hpp"
#include "driver_fixture.hpp"
#include "image/img.hpp"
#include "text/font.hpp"
#include "text/scrollxl.hpp"

namespace {

// Draws the frame whose counter n (2000 down to 1) is given, with the run
// choices in TORVELINTileChoices.
void DrawN(int counter) { TORVELINTileSceneDraw(TORVELINTileSceneFrames - counter); }

// The run's choices as the scene must draw them from a given state.
struct Choices {
  int count;
  int steps[4];
  int a, b, f;
  int redraws;  // draws of B thrown away because they equalled A
  uint32_t after;
};

Choices predict(uint32_t state) {
  Replay lcg{state};
  Choices c{};
  c.count = (lcg.next() & 63) + 8;
  for (int& step : c.steps) step = (lcg.next() & 31) + 16;
  c.a = lcg.next() % 12;
  for (c.b = lcg.next() % 12; c.b == c.a; c.b = lcg.next() % 12) ++c.redraws;
  c.f = lcg.next() & 31;
  c.after = lcg.state;
  return c;
}

template <class Pred>
uint32_t findState(Pred pred) {
  for (uint32_t seed = 1; seed < 1000000; ++seed) {
    if (pred(predict(seed))) return seed;
  }
  ADD_FAILURE() << "no generator state found";
  return 0;
}

using TORVELINTileScene = Driver;

TEST_F(TORVELINTileScene, SetUpDrawsTheCountStepsTilesAndSwitchInOrder) {
  // Include states where B first comes out equal to A and must be redrawn.
  std::vector<uint32_t> seeds = {findState([](const Choices& c) { return c.redraws >= 1; }),
                                 findState([](const Choices& c) { return c.redraws >= 2; })};
  for (uint32_t seed = 7; seed < 7 + 200 * 7919; seed += 7919) seeds.push_back(seed);
  for (uint32_t seed : seeds) {
    const Choices expected = predict(seed);
    RNDSeed(seed);
    TORVELINTileSceneStart();
    const TORVELINTileRun run = TORVELINTileChoices;
    ASSERT_EQ(TORVELINCarry.spriteCount, expected.count);
    for (int w = 0; w < 4; ++w) ASSERT_EQ(TORVELINCarry.waves[w].stepPerSprite, expected.steps[w]);
    ASSERT_EQ(run.tileA, expected.a);
    ASSERT_EQ(run.tileB, expected.b);
    ASSERT_NE(run.tileA, run.tileB);
    ASSERT_EQ(run.upright, expected.f);
    ASSERT_EQ(RNDState(), expected.after);
    EXPECT_EQ(TORVELINTileFont->ch, run.tileA);
    EXPECT_EQ(TORVELINTileFont->target, TORVELINFrame);
    TORVELINTileSceneStop();
  }
}

// A negative run inverts the small font for as long as it lasts; the font
// is whole again afterwards even when SPACE cut the run short.
TEST_F(TORVELINTileScene, NegativeRunEndedBySpaceRestoresTheSmallFont) {
  IMG* original = IMGClone(TORVELINSmallFont->sheet);
  IMG* inverted = IMGClone(original);
  IMGInvert(inverted);
  ASSERT_FALSE(IMGEqual(original, inverted));
  struct Seen {
    IMG* inverted;
    int invertedFrames = 0;
    int topRowFrames = 0;
    static void sink(const IMG*, void* user) {
      auto* self = static_cast<Seen*>(user);
      self->invertedFrames += IMGEqual(TORVELINSmallFont->sheet, self->inverted);
      self->topRowFrames += TORVELINLargeScroller->y == 0;
    }
  } seen{inverted};
  HEADLESSSetFrameSink(&Seen::sink, &seen);
  script({{4, ' ', true}});

  RNDSeed(findState([](const Choices& c) { return c.f == 0; }));
  TORVELINSceneTiles();
  EXPECT_EQ(HEADLESSFrameCount(), 5);
  EXPECT_EQ(seen.invertedFrames, 5);
  EXPECT_EQ(seen.topRowFrames, 5);
  EXPECT_TRUE(IMGEqual(TORVELINSmallFont->sheet, original));

  // An ordinary run leaves the font alone and bounces the letters.
  seen = Seen{inverted};
  script({{5, ' ', false}, {9, ' ', true}});
  RNDSeed(findState([](const Choices& c) { return c.f == 17; }));
  TORVELINSceneTiles();
  EXPECT_EQ(seen.invertedFrames, 0);
  EXPECT_LT(seen.topRowFrames, 5);
  EXPECT_TRUE(IMGEqual(TORVELINSmallFont->sheet, original));
  IMGFree(&original);
  IMGFree(&inverted);
}

TEST(TORVELINSpriteChain, PositionsStayWithinMinusEightAndTwoThirtyOne) {
  int lowest = 1000;
  int highest = -1000;
  for (int32_t a = 0; a < 1024; ++a) {
    for (int32_t b = 0; b < 1024; ++b) {
      const TORVELINPoint p = TORVELINSpritePosition(a, b, b, a);
      lowest = std::min({lowest, p.x, p.y});
      highest = std::max({highest, p.x, p.y});
    }
  }
  EXPECT_EQ(lowest, -8);
  EXPECT_EQ(highest, 231);
  // Phases outside one turn wrap.
  const TORVELINPoint p = TORVELINSpritePosition(256, 256, 256 + 1024, -768);
  EXPECT_EQ(p.x, ((32766 * 60 * 2) >> 15) + 112);
  EXPECT_EQ(p.y, p.x);
}

// Everything but the chain switched off: a black frame with the sprites.
struct TORVELINSpriteChainAlone : Driver {
  FONT* tiles = nullptr;
  IMG* wideLogo = nullptr;
  SCROLLXL* large = nullptr;
  void SetUp() override {
    Driver::SetUp();
    std::swap(tiles, TORVELINTileFont);
    std::swap(wideLogo, TORVELINWideLogo);
    std::swap(large, TORVELINLargeScroller);
  }
  void TearDown() override {
    std::swap(tiles, TORVELINTileFont);
    std::swap(wideLogo, TORVELINWideLogo);
    std::swap(large, TORVELINLargeScroller);
    Driver::TearDown();
  }
};

TEST_F(TORVELINSpriteChainAlone, SpritesShowTheSevenPicturesInTurnDoubledAlongTheWaves) {
  TORVELINTileChoices = {0, 1, 5};
  TORVELINCarry.spriteCount = 8;
  const int32_t perSprite[4] = {16, 47, 20, 33};
  int32_t phases[4];
  for (int w = 0; w < 4; ++w) {
    TORVELINCarry.waves[w].stepPerSprite = perSprite[w];
    phases[w] = TORVELINCarry.waves[w].phase;
  }
  IMG* expected = IMGNew();
  IMGAlloc(expected, 256, 256);
  const IMG* sheet = TORVELINBobFont->sheet;
  for (int frame = 0; frame < 3; ++frame) {
    IMGClear(TORVELINFrame);
    TORVELINTileSceneDraw(frame);
    IMGClear(expected);
    for (int j = 0; j < 8; ++j) {
      const TORVELINPoint at = TORVELINSpritePosition(phases[0] + j * perSprite[0], phases[1] + j * perSprite[1],
                                                      phases[2] + j * perSprite[2], phases[3] + j * perSprite[3]);
      const int picture = j == 7 ? 0 : j;
      IMGBlitKeyed(sheet, expected, 0, 32 * picture, at.x, at.y, 32, 32);
      IMGBlitAddSat(sheet, expected, 0, 32 * picture, at.x, at.y, 32, 32);
    }
    ASSERT_TRUE(IMGEqual(expected, TORVELINFrame)) << "frame " << frame;
    const int32_t perFrame[4] = {15, 15, 10, 10};
    for (int w = 0; w < 4; ++w) {
      phases[w] += perFrame[w];
      EXPECT_EQ(TORVELINCarry.waves[w].phase & 1023, phases[w] & 1023);
    }
  }
  IMGFree(&expected);
}

TEST_F(TORVELINTileScene, WavePhasesCarryOverBetweenRuns) {
  int32_t start[4];
  for (int w = 0; w < 4; ++w) start[w] = TORVELINCarry.waves[w].phase;
  script({{9, ' ', true}, {10, ' ', false}, {20, ' ', true}});
  TORVELINSceneTiles();
  TORVELINSceneTiles();
  EXPECT_EQ(HEADLESSFrameCount(), 21);
  const int32_t perFrame[4] = {15, 15, 10, 10};
  for (int w = 0; w < 4; ++w) EXPECT_EQ(TORVELINCarry.waves[w].phase & 1023, (start[w] + 21 * perFrame[w]) & 1023);
}

// With only the wall, pixel (x, y) shows the tile's pixel ((x - n) mod 32,
// y mod 32): the wall slides one pixel left per frame.
TEST_F(TORVELINTileScene, TheWallCoversTheFrameAndSlidesLeft) {
  IMG* wideLogo = nullptr;
  SCROLLXL* large = nullptr;
  FONT* bobs = nullptr;
  std::swap(wideLogo, TORVELINWideLogo);
  std::swap(large, TORVELINLargeScroller);
  std::swap(bobs, TORVELINBobFont);
  TORVELINTileChoices = {5, 6, 3};
  TORVELINTileFont->target = TORVELINFrame;  // as the scene's set-up leaves it
  const IMG* sheet = TORVELINTileFont->sheet;
  for (int n : {2000, 1999, 1985, 33, 1}) {
    fill(0);
    DrawN(n);
    for (int y = 0; y < 256; ++y) {
      for (int x = 0; x < 256; ++x) {
        const int tx = ((x - n) % 32 + 32) % 32;
        const uint32_t want = sheet->pixels[(5 * 32 + y % 32) * 32 + tx];
        ASSERT_EQ(TORVELINFrame->pixels[y * 256 + x], want) << n << " at " << x << "," << y;
      }
    }
  }
  std::swap(wideLogo, TORVELINWideLogo);
  std::swap(large, TORVELINLargeScroller);
  std::swap(bobs, TORVELINBobFont);
}

// The wide logo's ink is added to the wall; at n = 1024 (sine 0) its left
// edge sits at -896, and the large scroller stamps tile B over it.
TEST_F(TORVELINTileScene, TheWideLogoGlidesOnTheSineAndTheLetterDotsAreTileB) {
  FONT* bobs = nullptr;
  SCROLLXL* large = nullptr;
  std::swap(bobs, TORVELINBobFont);
  std::swap(large, TORVELINLargeScroller);
  const TORVELINTileRun run = TORVELINTileChoices = {2, 9, 4};
  TORVELINTileFont->target = TORVELINFrame;
  IMG* wall = IMGNew();
  IMGAlloc(wall, 256, 256);
  IMG* logo = nullptr;
  std::swap(logo, TORVELINWideLogo);
  DrawN(1024);
  IMGCopy(TORVELINFrame, wall);
  std::swap(logo, TORVELINWideLogo);
  DrawN(1024);
  int brightened = 0;
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) {
      const uint32_t ink = TORVELINWideLogo->pixels[y * 2048 + x + 896];
      const uint32_t under = wall->pixels[y * 256 + x];
      uint32_t want = 0;
      for (int shift : {0, 8, 16}) {
        const uint32_t sum = (ink >> shift & 0xff) + (under >> shift & 0xff);
        want |= std::min(sum, 255u) << shift;
      }
      ASSERT_EQ(TORVELINFrame->pixels[y * 256 + x], want) << x << "," << y;
      brightened += ink != 0;
    }
  }
  EXPECT_GT(brightened, 0);

  // The large scroller stamps its dots with tile B, on its top line.
  std::swap(large, TORVELINLargeScroller);
  DrawN(1024);
  EXPECT_EQ(TORVELINTileFont->ch, run.tileB);
  EXPECT_EQ(TORVELINLargeScroller->y, 40);
  std::swap(bobs, TORVELINBobFont);
  IMGFree(&wall);
}

}  // namespace
