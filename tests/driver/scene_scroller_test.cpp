#include <gtest/gtest.h>

#include <algorithm>

#include "core/rnd.hpp"
#include "../generator_replay.hpp"
#include "driver/scene_table.hpp"
#include "driver/texts.hpp"
#include "driver/torvelin.hpp"
#include "driver_fixture.hpp"
#include "image/img.hpp"
#include "text/cursor.hpp"
#include "text/font.hpp"
#include "text/scroll.hpp"

namespace {

struct TORVELINScrollerScene : Driver {
  void SetUp() override {
    Driver::SetUp();
    // Every test starts from the program's first run of the scene.
    std::fill(std::begin(TORVELINCarry.sparkles), std::end(TORVELINCarry.sparkles), TORVELINSparkle{0, 0, 0});
  }
};

TEST_F(TORVELINScrollerScene, SparklesDrawOneNumberEachPerFramePlusTwoPerPlacement) {
  int placements = 0;
  for (int frame = 1; frame <= 300; ++frame) {
    const uint32_t before = RNDState();
    TORVELINScrollerSceneDraw(0);
    int placedNow = 0;
    for (const TORVELINSparkle& s : TORVELINCarry.sparkles) {
      if (s.c != 0) continue;
      ++placedNow;
      ASSERT_GE(s.x, -16);
      ASSERT_LE(s.x, 239);
      ASSERT_GE(s.y, -16);
      ASSERT_LE(s.y, 239);
    }
    // None can be placed before it has played its 32 steps.
    if (frame < 32) {
      ASSERT_EQ(placedNow, 0) << "frame " << frame;
    }
    ASSERT_EQ(DrawsBetween(before, RNDState()), 16 + 2 * placedNow) << "frame " << frame;
    placements += placedNow;
  }
  // Over 268 eligible frames each sparkle has a 1 in 16 chance per frame.
  EXPECT_GT(placements, 16);
}

TEST_F(TORVELINScrollerScene, SparklesCarryTheirStateIntoTheNextRun) {
  const TORVELINSparkle set = {100, 50, 40};
  std::fill(std::begin(TORVELINCarry.sparkles), std::end(TORVELINCarry.sparkles), set);
  script({{0, ' ', true}});
  TORVELINSceneScroller();
  EXPECT_EQ(HEADLESSFrameCount(), 1);
  for (const TORVELINSparkle& s : TORVELINCarry.sparkles) {
    if (s.c != 0) {
      EXPECT_EQ(s.c, 41);
      EXPECT_EQ(s.x, 100);
    }
  }
}

// The frame is the floor, then every sparkle's current cell keyed on top,
// then the scroller's layer keyed over both.
TEST_F(TORVELINScrollerScene, FrameIsTheFloorTheSparklesAndTheScrollerLayerInThatOrder) {
  IMG* expected = IMGNew();
  IMGAlloc(expected, 256, 256);
  for (int frame = 0; frame < 150; ++frame) TORVELINScrollerSceneDraw(0);
  // Some sparkles straddle the edges and one may be brand new (cell 0).
  for (int frame = 0; frame < 6; ++frame) {
    TORVELINScrollerSceneDraw(0);
    for (int y = 0; y < 256; ++y) {
      const uint32_t colour = TORVELINFloorRaster.colours[y];
      for (int x = 0; x < 256; ++x) expected->pixels[y * 256 + x] = colour;
    }
    const IMG* sheet = TORVELINSparkleFont->sheet;
    for (const TORVELINSparkle& s : TORVELINCarry.sparkles) {
      IMGBlitKeyed(sheet, expected, 32 * s.c, 0, s.x, s.y, 32, 32);
    }
    IMGBlitKeyed(TORVELINScrollerImage, expected, 0, 0, 0, 0, 256, 256);
    ASSERT_TRUE(IMGEqual(expected, TORVELINFrame)) << "frame " << frame;
  }
  // The glyphs do show.
  int glyphPixels = 0;
  for (int i = 0; i < 256 * 256; ++i) glyphPixels += TORVELINScrollerImage->pixels[i] != 0;
  EXPECT_GT(glyphPixels, 1000);
  IMGFree(&expected);
}

TEST_F(TORVELINScrollerScene, TheScrollerMovesByItsOwnSpeedFieldEveryFrame) {
  CURSOR* cursor = TORVELINScroller->cursor;
  // 7 per frame over 100-wide glyphs.
  for (int frame = 0; frame < 15; ++frame) TORVELINScrollerSceneDraw(0);
  EXPECT_EQ(TORVELINScroller->offset, 5);
  EXPECT_EQ(cursor->position, 1);
  // At speed 0 the text stands still while the wave goes on.
  TORVELINScrollerSpeed(-7);
  const int32_t phase = wavePhase;
  for (int frame = 0; frame < 10; ++frame) TORVELINScrollerSceneDraw(0);
  EXPECT_EQ(TORVELINScroller->offset, 5);
  EXPECT_EQ(cursor->position, 1);
  EXPECT_EQ(wavePhase, (phase - 130) % 1024);
  // A negative speed carries it to the right, back over the start.
  TORVELINScrollerSpeed(-3);
  for (int frame = 0; frame < 3; ++frame) TORVELINScrollerSceneDraw(0);
  EXPECT_EQ(TORVELINScroller->offset, 96);
  EXPECT_EQ(cursor->position, 0);
}

}  // namespace
