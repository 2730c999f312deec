#include <gtest/gtest.h>

#include "driver/scene_table.hpp"
#include "driver/torvelin.hpp"
#include "driver_fixture.hpp"
#include "platform/fps.hpp"
#include "platform/sdlkbd.hpp"

namespace {

using TORVELINFrameStepping = Driver;

TEST_F(TORVELINFrameStepping, StartUpMakesABlackFrameOfTheDisplaysSizeAndSetsTheRate) {
  ASSERT_NE(TORVELINDisplay, nullptr);
  ASSERT_NE(TORVELINKeyboard, nullptr);
  ASSERT_NE(TORVELINFrame, nullptr);
  EXPECT_EQ(TORVELINFrame->width, 256);
  EXPECT_EQ(TORVELINFrame->height, 256);
  for (int i = 0; i < 256 * 256; ++i) ASSERT_EQ(TORVELINFrame->pixels[i], 0u);
  EXPECT_EQ(FPSRate(), 50);
  EXPECT_EQ(HEADLESSFrameCount(), 0);
}

TEST_F(TORVELINFrameStepping, PacesThenPresentsTheDrawnFrameThenReadsTheKeys) {
  fill(0x123456);
  EXPECT_FALSE(TORVELINFrameStep());
  fill(0x654321);
  EXPECT_FALSE(TORVELINFrameStep());
  ASSERT_EQ(presented.firstPixels.size(), 2u);
  EXPECT_EQ(presented.firstPixels[0], 0x123456u);
  EXPECT_EQ(presented.firstPixels[1], 0x654321u);
  // Each frame is shown after its 20 ms wait and before its key poll.
  EXPECT_EQ(presented.ticks[0], 20u);
  EXPECT_EQ(presented.ticks[1], 40u);
  EXPECT_EQ(presented.polls[0], 0);
  EXPECT_EQ(presented.polls[1], 1);
  EXPECT_EQ(HEADLESSPollCount(), 2);
}

TEST_F(TORVELINFrameStepping, AppliesTheKeyOnceAndClearsTheCell) {
  script({{0, 'f', true}});
  EXPECT_FALSE(TORVELINFrameStep());
  EXPECT_EQ(TORVELINRateDisplay, 1);
  EXPECT_EQ(TORVELINKeyboard->keys[0], 0);
  // The key is still held: no new press, no second flip.
  EXPECT_FALSE(TORVELINFrameStep());
  EXPECT_EQ(TORVELINRateDisplay, 1);
}

TEST_F(TORVELINFrameStepping, SpaceEndsTheSceneAfterTheFrameItArrivesIn) {
  script({{5, ' ', true}, {6, ' ', false}});
  TORVELINSceneLasers();
  EXPECT_EQ(HEADLESSFrameCount(), 6);
  EXPECT_EQ(TORVELINNextPart, 0);
}

TEST_F(TORVELINFrameStepping, HoldingSpaceEndsOneSceneOnly) {
  script({{0, ' ', true}});
  TORVELINSceneLasers();
  EXPECT_EQ(HEADLESSFrameCount(), 1);
  TORVELINSceneScroller();
  EXPECT_EQ(HEADLESSFrameCount(), 1 + 2001);
}

TEST_F(TORVELINFrameStepping, EachSceneRunsItsOwnNumberOfFrames) {
  struct Scene {
    void (*run)();
    int frames;
  };
  const Scene scenes[] = {{TORVELINSceneLasers, 1001},
                          {TORVELINSceneScroller, 2001},
                          {TORVELINSceneLogos, 1000},
                          {TORVELINSceneTiles, 2000},
                          {TORVELINSceneNoise, 1000}};
  // The table plays them in this order with these lengths.
  ASSERT_EQ(TORVELINSceneCount, 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(TORVELINScenes[i].play, scenes[i].run) << i;
    EXPECT_EQ(TORVELINScenes[i].frames, scenes[i].frames) << i;
  }
  int total = 0;
  for (const Scene& scene : scenes) {
    scene.run();
    total += scene.frames;
    EXPECT_EQ(HEADLESSFrameCount(), total);
  }
  // With nothing to draw the pacing holds exactly 50 frames per second.
  EXPECT_EQ(FPSFramesPerSecond(), 50);
  EXPECT_EQ(HEADLESSTicks(), static_cast<uint32_t>(total) * 20u);
}

TEST_F(TORVELINFrameStepping, SpacePressesSkipThroughTheScenesInTurn) {
  // One press in each scene's second frame: every scene ends after two.
  script({{1, ' ', true}, {2, ' ', false}, {3, ' ', true}, {4, ' ', false}, {5, ' ', true}});
  TORVELINSceneLasers();
  TORVELINSceneScroller();
  TORVELINSceneLogos();
  EXPECT_EQ(HEADLESSFrameCount(), 6);
}

}  // namespace
