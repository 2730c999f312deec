// The frame-at-a-time player a web page drives must play exactly the loop
// the scene functions play: its whole first loop is held to the digests
// stored for the capture, frames and sound.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "audio/music.hpp"
#include "audio/sdlsnd.hpp"
#include "driver/player.hpp"
#include "driver/scenes.hpp"
#include "driver/torvelin.hpp"
#include "image/img.hpp"
#include "platform/headless.hpp"
#include "../capture_digests.hpp"

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
    self->sound = Digest(values, static_cast<size_t>(count) * 2, self->sound);
  }
};

struct Player : ::testing::Test {
  void TearDown() override {
    TORVELINPlayerStop();
    TORVELINHostEndsRun = false;
    TORVELINExit = 0;
    SDLSNDFree(&TORVELINSound);
    MUSICFree(&TORVELINMusic);
    IMGFree(&TORVELINFrame);
    HEADLESSReset();
  }
};

// The loop from a fresh process: the scenes keep running state between runs
// (sparkles, sprite waves, the noise tint), which earlier tests have moved.
// A re-executed child runs only this test, so every such state starts as it
// does in the program. It exits 0 only when everything matches.
void PlayTheWholeLoopAgainstTheDigests() {
  CaptureDigests stored;
  LoadCaptureDigests(kCaptureDigestFile, &stored);
  Heard heard;
  heard.stored = &stored;
  HEADLESSReset();
  HEADLESSSetFrameSink(&Heard::OnFrame, &heard);
  HEADLESSSetSoundSink(&Heard::OnSound, &heard);
  TORVELINInit();
  TORVELINPlayerRestart();
  for (int i = 0; i < stored.frames; ++i) TORVELINPlayerFrame();
  int changed = 0;
  for (const auto& [number, digest] : stored.frame) changed += heard.frame[number] != digest;
  fprintf(stderr, "%d frames, %d of %zu sampled frames differ, sound %s\n", heard.frames, changed,
          stored.frame.size(), heard.sound == stored.sound ? "same" : "differs");
  exit(stored.frames > 0 && heard.frames == stored.frames && changed == 0 && heard.sound == stored.sound ? 0 : 1);
}

TEST_F(Player, WholeLoopMatchesTheStoredCaptureDigests) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(PlayTheWholeLoopAgainstTheDigests(), ::testing::ExitedWithCode(0), " 0 of [0-9]+ sampled frames differ, sound same");
}

// SPACE ends the scene after its frame, as in the scene functions; an exit
// key under a host that ends the run only raises the flag: no fade, no exit.
TEST_F(Player, SpaceSkipsAndTheExitKeyIsLeftToTheHost) {
  HEADLESSReset();
  const HEADLESSKeyEvent keys[] = {{2, ' ', true}, {3, ' ', false}, {5, 27, true}};
  HEADLESSSetKeyScript(keys, 3);
  TORVELINHostEndsRun = true;
  TORVELINInit();
  TORVELINPlayerRestart();
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
}

}  // namespace
