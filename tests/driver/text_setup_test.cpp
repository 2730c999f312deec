#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/rnd.hpp"
#include "../generator_replay.hpp"
#include "driver/texts.hpp"
#include "driver/torvelin.hpp"
#include "driver_fixture.hpp"
#include "effects/stars.hpp"
#include "text/cursor.hpp"
#include "text/font.hpp"
#include "text/scroll.hpp"
#include "text/scrollxl.hpp"

namespace {

using TORVELINTextSetUp = Driver;

TEST_F(TORVELINTextSetUp, MessageIsTheScrollTextThroughTheGlyphTable) {
  ASSERT_NE(TORVELINMessage, nullptr);
  const size_t length = strlen(TORVELINScrollText);
  ASSERT_EQ(length, static_cast<size_t>(TORVELINScrollTextLength));
  for (size_t i = 0; i < length; ++i) {
    const auto code = static_cast<uint8_t>(TORVELINScrollText[i]);
    ASSERT_EQ(TORVELINMessage[i], TORVELINGlyphTable[code]) << "at " << i;
    ASSERT_GE(TORVELINMessage[i], 1);
    ASSERT_LE(TORVELINMessage[i], 33);
  }
  EXPECT_EQ(TORVELINMessage[length], 0);
  // Blanks, digits and brackets share cell 1; the small c is the capital's.
  const char* copyright = strstr(TORVELINScrollText, "(c)");
  ASSERT_NE(copyright, nullptr);
  const size_t at = static_cast<size_t>(copyright - TORVELINScrollText);
  EXPECT_EQ(TORVELINMessage[at], 1);
  EXPECT_EQ(TORVELINMessage[at + 1], 'C' - 'A' + 2);
  EXPECT_EQ(TORVELINMessage[at + 2], 1);
  EXPECT_EQ(TORVELINMessage[0], 1);
  const char* six = strchr(TORVELINScrollText, '6');
  ASSERT_NE(six, nullptr);
  EXPECT_EQ(TORVELINMessage[six - TORVELINScrollText], 1);
  // The text itself is left as it was.
  EXPECT_EQ(TORVELINScrollText[at + 1], 'c');
}

TEST_F(TORVELINTextSetUp, ScrollersRunOverTheirFontsAndImages) {
  ASSERT_NE(TORVELINScroller, nullptr);
  EXPECT_EQ(TORVELINScroller->text, reinterpret_cast<const char*>(TORVELINMessage));
  EXPECT_EQ(TORVELINScroller->font, TORVELINScrollerFont);
  EXPECT_EQ(TORVELINScroller->target, TORVELINScrollerImage);
  EXPECT_EQ(TORVELINScroller->speed, 7);
  EXPECT_EQ(TORVELINScroller->width, 256);
  EXPECT_EQ(TORVELINScroller->cursor->length, TORVELINScrollTextLength);
  ASSERT_NE(TORVELINScrollerImage, nullptr);
  EXPECT_EQ(TORVELINScrollerImage->width, TORVELINFrame->width);
  EXPECT_EQ(TORVELINScrollerImage->height, TORVELINFrame->height);

  ASSERT_NE(TORVELINLargeScroller, nullptr);
  EXPECT_EQ(TORVELINLargeScroller->text, TORVELINLargeScrollText);
  EXPECT_EQ(TORVELINLargeScroller->letters, TORVELINSmallFont);
  EXPECT_EQ(TORVELINLargeScroller->dots, TORVELINTileFont);
  EXPECT_EQ(TORVELINLargeScroller->target, TORVELINFrame);
  EXPECT_EQ(TORVELINLargeScroller->speed, 9);
  EXPECT_EQ(TORVELINLargeScroller->cursor->length, TORVELINLargeScrollTextLength);
}

TEST_F(TORVELINTextSetUp, StarsTakeTheRunsFirstDrawsAndLandTheSameEveryTime) {
  struct Expected {
    int32_t vx;
    uint32_t colour;
  };
  const Expected layers[3] = {{0x40000, 0x80ffff}, {0x20000, 0xffff80}, {0x10000, 0x80ff80}};
  Replay lcg{786410978u};
  for (int i = 0; i < 3; ++i) {
    const STARS* layer = TORVELINStars[i];
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->vx, layers[i].vx);
    EXPECT_EQ(layer->vy, 0);
    EXPECT_EQ(layer->colour, layers[i].colour);
    ASSERT_EQ(layer->count, 64);
    for (int s = 0; s < 16 * 2; ++s) lcg.next();  // the 16 stars of a new layer
    for (int s = 0; s < 64; ++s) {
      const int32_t x = (lcg.next() % 256) * 65536;
      const int32_t y = (lcg.next() % 256) * 65536;
      ASSERT_EQ(layer->stars[s].x, x) << "layer " << i << " star " << s;
      ASSERT_EQ(layer->stars[s].y, y) << "layer " << i << " star " << s;
    }
  }
  // Nothing else in the start-up draws: the scenes begin right after these.
  EXPECT_EQ(RNDState(), lcg.state);

  // Set up again from the seed: the stars land in the same places.
  std::vector<STARSStar> first(TORVELINStars[2]->stars, TORVELINStars[2]->stars + 64);
  RNDSeed(786410978u);
  TORVELINSetUpText();
  EXPECT_EQ(RNDState(), lcg.state);
  for (int s = 0; s < 64; ++s) {
    EXPECT_EQ(TORVELINStars[2]->stars[s].x, first[s].x);
    EXPECT_EQ(TORVELINStars[2]->stars[s].y, first[s].y);
  }
}

// Key presses arrive through the keyboard, one press per poll: each press is
// released on the poll after.
std::vector<HEADLESSKeyEvent> presses(uint8_t key, int count, int firstPoll) {
  std::vector<HEADLESSKeyEvent> events;
  for (int i = 0; i < count; ++i) {
    events.push_back({firstPoll + 2 * i, key, true});
    events.push_back({firstPoll + 2 * i + 1, key, false});
  }
  return events;
}

TEST_F(TORVELINTextSetUp, PAndOChangeTheScrollersOwnSpeedWithinThirtyTwo) {
  std::vector<HEADLESSKeyEvent> events = presses('p', 40, 0);
  const std::vector<HEADLESSKeyEvent> lower = presses('o', 80, 80);
  events.insert(events.end(), lower.begin(), lower.end());
  script(events);
  std::vector<int32_t> speeds;
  for (int frame = 0; frame < 240; ++frame) {
    TORVELINFrameStep();
    speeds.push_back(TORVELINScroller->speed);
  }
  EXPECT_EQ(speeds[0], 8);
  EXPECT_EQ(speeds[2 * 24], 32);   // the 25th press reaches the top
  EXPECT_EQ(speeds[79], 32);       // and 15 more change nothing
  EXPECT_EQ(speeds[80], 31);
  EXPECT_EQ(speeds[80 + 2 * 63], -32);
  EXPECT_EQ(speeds[239], -32);
}

}  // namespace
