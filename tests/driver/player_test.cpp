// The frame-at-a-time player a web page drives must play exactly the loop
// the scene functions play: its whole first loop is held to the digests
// stored for the capture, frames and sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>

#include "driver/player.hpp"
#include "driver/scene_table.hpp"
#include "driver/torvelin.hpp"
#include "image/img.hpp"
#include "platform/headless.hpp"
#include "../digests.hpp"

namespace {

struct Heard {
  const CaptureDigests* stored;
  int frames = 0;
  std::map<int, uint64_t> frame;
  uint64_t sound = kDigestStart;

  static void OnFrame(const IMG* image, void* user) {
    auto* self = static_cast<Heard*>(user);
    const int number = self->frames++;
    if (self->stored->frame.count(number) == 0) return;
    self->frame[number] = DigestRgb(image->pixels, static_cast<size_t>(image->width) * image->height);
  }
  static void OnSound(const int16_t* values, int count, void* user) {
    auto* self = static_cast<Heard*>(user);
    self->sound = DigestSound(values, static_cast<size_t>(count), self->sound);
  }
};

struct Player : ::testing::Test {
  void TearDown() override {
    TORVELINShutdown();
    TORVELINHostEndsRun = false;
    TORVELINExit = 0;
    HEADLESSReset();
  }
};

// Start-up puts back the state the scenes carry between runs (sparkles,
// sprite waves, the noise tint), which earlier tests have moved, so the
// loop plays here as in a fresh program.
TEST_F(Player, WholeLoopMatchesTheStoredCaptureDigests) {
  CaptureDigests stored;
  LoadCaptureDigests(kCaptureDigestFile, &stored);
  ASSERT_GT(stored.frames, 0);
  Heard heard;
  heard.stored = &stored;
  HEADLESSReset();
  HEADLESSSetFrameSink(&Heard::OnFrame, &heard);
  HEADLESSSetSoundSink(&Heard::OnSound, &heard);
  TORVELINInit();
  for (int i = 0; i < stored.frames; ++i) TORVELINPlayerFrame();
  EXPECT_EQ(heard.frames, stored.frames);
  // The file also holds frames of later loops, for the capture's test.
  int changed = 0;
  int sampled = 0;
  for (const auto& [number, digest] : stored.frame) {
    if (number >= stored.frames) continue;
    ++sampled;
    changed += heard.frame[number] != digest;
  }
  EXPECT_EQ(changed, 0) << "of " << sampled << " sampled frames";
  EXPECT_EQ(heard.sound, stored.sound);
}

// A host that goes on after a run (the page's play again) shuts it down in
// the middle of a scene: nothing start-up made is left, and a second
// shutdown, or one after a partial set-up, is harmless.
TEST_F(Player, ShutdownFreesWhatStartUpMade) {
  HEADLESSReset();
  TORVELINInit();
  for (int i = 0; i < 10; ++i) TORVELINPlayerFrame();
  TORVELINShutdown();
  const void* left[] = {TORVELINDisplay, TORVELINKeyboard, TORVELINFrame,   TORVELINLogo,
                        TORVELINStrip,   TORVELINBobFont,  TORVELINMessage, TORVELINScroller,
                        TORVELINStars[2], TORVELINSound,   TORVELINMusic};
  for (const void* made : left) EXPECT_EQ(made, nullptr);
  TORVELINShutdown();
}

// SPACE ends the scene after its frame, as in the scene functions; an exit
// key under a host that ends the run only raises the flag: no fade, no exit.
TEST_F(Player, SpaceSkipsAndTheExitKeyIsLeftToTheHost) {
  HEADLESSReset();
  const HEADLESSKeyEvent keys[] = {{2, ' ', true}, {3, ' ', false}, {5, 27, true}};
  HEADLESSSetKeyScript(keys, 3);
  TORVELINHostEndsRun = true;
  TORVELINInit();
  for (int i = 0; i < 3; ++i) TORVELINPlayerFrame();
  // SPACE was read after the third frame: the lasers stopped and freed
  // their layers; the fourth frame is the scroller's.
  EXPECT_EQ(TORVELINLaserLayer, nullptr);
  EXPECT_EQ(TORVELINExit, 0);
  TORVELINPlayerFrame();
  EXPECT_EQ(TORVELINLaserLayer, nullptr);
  TORVELINPlayerFrame();
  TORVELINPlayerFrame();
  EXPECT_EQ(TORVELINExit, 1);
  EXPECT_EQ(HEADLESSFrameCount(), 6);
  // The host then steps the fade, one presented step a call, until the
  // player reports its end with the picture black.
  int steps = 1;
  while (TORVELINPlayerFrame()) ++steps;
  EXPECT_EQ(steps, TORVELINFadeSteps);
  EXPECT_EQ(HEADLESSFrameCount(), 6 + TORVELINFadeSteps);
  EXPECT_TRUE(std::all_of(TORVELINFrame->pixels, TORVELINFrame->pixels + 256 * 256, [](uint32_t p) { return p == 0; }));
}

}  // namespace
