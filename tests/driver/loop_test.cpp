#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <vector>

#include "driver/player.hpp"
#include "driver/scene_table.hpp"
#include "driver/torvelin.hpp"
#include "driver_fixture.hpp"
#include "image/img.hpp"
#include "text/font.hpp"

namespace {

// The 16 x 8 pixels at the top-left corner of each presented frame.
struct Corner {
  std::vector<std::vector<uint32_t>> frames;
  static void sink(const IMG* frame, void* user) {
    std::vector<uint32_t> corner;
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 16; ++x) corner.push_back(frame->pixels[y * frame->width + x]);
    }
    static_cast<Corner*>(user)->frames.push_back(corner);
  }
};

// Two digits cut straight from the small font's sheet, keyed over black.
std::vector<uint32_t> digits(char high, char low) {
  const IMG* sheet = TORVELINSmallFont->sheet;
  std::vector<uint32_t> corner(16 * 8, 0);
  const char pair[2] = {high, low};
  for (int d = 0; d < 2; ++d) {
    const int cell = pair[d] * 8;
    const int left = cell % sheet->width;
    const int top = cell / sheet->width * 8;
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) corner[y * 16 + d * 8 + x] = sheet->pixels[(top + y) * sheet->width + left + x];
    }
  }
  return corner;
}

using TORVELINRateOverlay = Driver;

TEST_F(TORVELINRateOverlay, FShowsTheFigureInHexFromTheNextFrameUntilPressedAgain) {
  Corner corner;
  HEADLESSSetFrameSink(&Corner::sink, &corner);
  script({{0, 'f', true}, {1, 'f', false}, {120, 'f', true}});
  for (int frame = 0; frame < 122; ++frame) {
    fill(0);
    TORVELINFrameStep();
  }
  const std::vector<uint32_t> black(16 * 8, 0);
  ASSERT_NE(digits('3', '2'), black);
  EXPECT_EQ(corner.frames[0], black);
  // Before the pacing has counted a whole second the figure is 0.
  EXPECT_EQ(corner.frames[1], digits('0', '0'));
  EXPECT_EQ(corner.frames[40], digits('0', '0'));
  // Then it reads 50 frames per second.
  EXPECT_EQ(corner.frames[60], digits('3', '2'));
  EXPECT_EQ(corner.frames[120], digits('3', '2'));
  EXPECT_EQ(corner.frames[121], black);
}

TEST_F(TORVELINRateOverlay, DigitsAreKeyedOverTheScene) {
  TORVELINRateDisplay = 1;
  fill(0x203040);
  TORVELINShowRate();
  int drawn = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 32; ++x) {
      const uint32_t p = TORVELINFrame->pixels[y * 256 + x];
      if (p != 0x203040u) {
        ++drawn;
        EXPECT_TRUE(x < 16 && y < 8) << x << "," << y;
      }
    }
  }
  // "00": both zeros show.
  EXPECT_GT(drawn, 10);
  TORVELINRateDisplay = 2;  // only bit 0 counts
  fill(0x203040);
  TORVELINShowRate();
  EXPECT_EQ(TORVELINFrame->pixels[1 * 256 + 2], 0x203040u);
}

// One whole loop of the five scenes after a start-up: a digest of every
// presented frame and one of the sound.
struct LoopRecord {
  std::vector<uint64_t> frames;
  uint64_t sound = 1469598103934665603ull;
  uint64_t soundValues = 0;
  uint64_t audible = 0;
};

constexpr uint64_t kFnvPrime = 1099511628211ull;

void frameDigest(const IMG* frame, void* user) {
  uint64_t h = 1469598103934665603ull;
  const size_t count = static_cast<size_t>(frame->width) * frame->height;
  for (size_t i = 0; i < count; ++i) h = (h ^ frame->pixels[i]) * kFnvPrime;
  static_cast<LoopRecord*>(user)->frames.push_back(h);
}

void soundDigest(const int16_t* values, int count, void* user) {
  auto* record = static_cast<LoopRecord*>(user);
  for (int i = 0; i < count; ++i) {
    record->sound = (record->sound ^ static_cast<uint16_t>(values[i])) * kFnvPrime;
    record->audible += values[i] != 0;
  }
  record->soundValues += static_cast<uint64_t>(count);
}

// Start-up puts back all that the previous run changed, so every run in
// this process starts as the program does.
LoopRecord recordLoop(const std::vector<HEADLESSKeyEvent>& keys) {
  LoopRecord record;
  HEADLESSReset();
  HEADLESSSetFrameSink(&frameDigest, &record);
  HEADLESSSetSoundSink(&soundDigest, &record);
  HEADLESSSetKeyScript(keys.data(), static_cast<int>(keys.size()));
  TORVELINInit();
  for (int frame = 0; frame < TORVELINLoopFrames; ++frame) TORVELINPlayerFrame();
  TORVELINShutdown();
  HEADLESSReset();
  return record;
}

TEST(TORVELINLoop, TwoRunsWithTheSameKeysPresentTheSameFramesAndSound) {
  // Speed changes, the rate display and a toggle, spread over the scenes.
  const std::vector<HEADLESSKeyEvent> keys = {
      {30, 'f', true},    {31, 'f', false},   {1100, 'p', true}, {1101, 'p', false},
      {1500, 'o', true},  {1501, 'o', false}, {1502, 'o', true}, {1503, 'o', false},
      {3600, '3', true},  {3601, '3', false}, {4500, 'f', true}, {4501, 'f', false},
      {6500, 'f', true},  {6501, 'f', false}};
  const LoopRecord first = recordLoop(keys);
  // The first run has moved the sparkles, the sprite waves, the tint and the
  // scroller's wave; the second start-up must put them back.
  const LoopRecord second = recordLoop(keys);
  const size_t loopFrames = TORVELINLoopFrames;
  ASSERT_EQ(first.frames.size(), loopFrames);
  ASSERT_EQ(second.frames.size(), loopFrames);
  for (size_t i = 0; i < first.frames.size(); ++i) ASSERT_EQ(first.frames[i], second.frames[i]) << "frame " << i;
  EXPECT_EQ(first.soundValues, loopFrames * 882u);
  EXPECT_EQ(first.soundValues, second.soundValues);
  EXPECT_EQ(first.sound, second.sound);
  // The loop is animated and the music plays.
  const std::set<uint64_t> distinct(first.frames.begin(), first.frames.end());
  EXPECT_GT(distinct.size(), 6000u);
  EXPECT_GT(first.audible, first.soundValues / 2);
}

}  // namespace
