#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "audio/headless.hpp"
#include "image/img.hpp"
#include "platform/headless.hpp"
#include "platform/sdldpy.hpp"

namespace {

// An image on the stack of the test, filled with a pattern of its own.
struct Picture {
  std::vector<uint32_t> words;
  IMG image;
  Picture(int w, int h) : words(static_cast<size_t>(w) * h), image{w, h, nullptr} {
    for (size_t i = 0; i < words.size(); ++i) words[i] = static_cast<uint32_t>(i * 2654435761u) & 0xffffffu;
    image.pixels = words.data();
  }
  uint32_t at(int x, int y) const { return words[static_cast<size_t>(y) * image.width + x]; }
};

// What the window was given, frame by frame.
struct Shown {
  std::vector<std::vector<uint32_t>> frames;
  std::vector<int> widths, heights;
  static void sink(const IMG* frame, void* user) {
    auto* self = static_cast<Shown*>(user);
    self->frames.emplace_back(frame->pixels, frame->pixels + static_cast<size_t>(frame->width) * frame->height);
    self->widths.push_back(frame->width);
    self->heights.push_back(frame->height);
  }
};

struct SDLDPYDisplay : ::testing::Test {
  SDLDPY* display = nullptr;
  Shown shown;
  void SetUp() override {
    HEADLESSReset();
    HEADLESSSetFrameSink(&Shown::sink, &shown);
    display = SDLDPYNew();
    ASSERT_NE(display, nullptr);
  }
  void TearDown() override { HEADLESSReset(); }
};

TEST_F(SDLDPYDisplay, IsASingleRecordOfTheWindowsSize) {
  EXPECT_EQ(display->width, 256);
  EXPECT_EQ(display->height, 256);
  EXPECT_EQ(display->depth, 32);
  EXPECT_EQ(SDLDPYFailure(), nullptr);
  EXPECT_EQ(SDLDPYNew(), display);
  EXPECT_EQ(SDLDPYCurrent(), display);
  EXPECT_TRUE(SDLDPYEqual(display, display));
  EXPECT_FALSE(SDLDPYEqual(display, nullptr));
  SDLDPY stranger{256, 256, 32};
  EXPECT_FALSE(SDLDPYEqual(&stranger, &stranger));
  EXPECT_EQ(SDLDPYCopy(display), display);
  EXPECT_EQ(SDLDPYCopy(&stranger), nullptr);
  EXPECT_EQ(SDLDPYFromASCII(""), nullptr);
  char* text = SDLDPYToASCII(display);
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "");
  free(text);
  EXPECT_EQ(SDLDPYToASCII(&stranger), nullptr);
}

TEST_F(SDLDPYDisplay, FreeForgetsItAndRefusesStrangers) {
  SDLDPY stranger{1, 1, 32};
  SDLDPY* ref = &stranger;
  SDLDPYFree(&ref);
  EXPECT_EQ(ref, &stranger);
  ref = display;
  SDLDPYFree(&ref);
  EXPECT_EQ(ref, nullptr);
  EXPECT_EQ(SDLDPYCurrent(), nullptr);
  display = SDLDPYNew();
  ASSERT_NE(display, nullptr);
  EXPECT_EQ(display->width, 256);
}

TEST_F(SDLDPYDisplay, SetModeResizesAndRejectsNegativeSizes) {
  SDLDPYSetMode(display, 128, 64);
  EXPECT_EQ(display->width, 128);
  EXPECT_EQ(display->height, 64);
  SDLDPYSetMode(display, -1, 64);
  SDLDPYSetMode(nullptr, 10, 10);
  EXPECT_EQ(display->width, 128);
  EXPECT_EQ(display->height, 64);
}

TEST(SDLDPYRefused, KeepsItsSizeAndTellsWhy) {
  HEADLESSReset();
  HEADLESSSetVideoRefused(true);
  SDLDPY* display = SDLDPYNew();
  ASSERT_NE(display, nullptr);
  EXPECT_EQ(display->width, 0);
  EXPECT_EQ(display->height, 0);
  ASSERT_NE(SDLDPYFailure(), nullptr);
  EXPECT_GT(strlen(SDLDPYFailure()), 0u);
  // Nothing can be shown without a window.
  Picture picture(256, 256);
  SDLDPYShow(display, &picture.image);
  EXPECT_EQ(HEADLESSFrameCount(), 0);
  HEADLESSReset();
}

TEST_F(SDLDPYDisplay, ShowPresentsTheImageAsItIs) {
  Picture picture(256, 256);
  SDLDPYShow(display, &picture.image);
  ASSERT_EQ(shown.frames.size(), 1u);
  EXPECT_EQ(shown.frames[0], picture.words);
  EXPECT_EQ(HEADLESSFrameCount(), 1);
}

TEST_F(SDLDPYDisplay, ShowClipsALargerImageToTheWindowKeepingItsRows) {
  Picture picture(300, 260);
  SDLDPYShow(display, &picture.image);
  ASSERT_EQ(shown.frames.size(), 1u);
  ASSERT_EQ(shown.widths[0], 256);
  ASSERT_EQ(shown.heights[0], 256);
  for (int y : {0, 1, 100, 255})
    for (int x : {0, 17, 255}) EXPECT_EQ(shown.frames[0][static_cast<size_t>(y) * 256 + x], picture.at(x, y));
}

TEST_F(SDLDPYDisplay, ShowOfASmallerImageCoversItsOwnCorner) {
  Picture picture(16, 8);
  SDLDPYShow(display, &picture.image);
  ASSERT_EQ(shown.frames.size(), 1u);
  EXPECT_EQ(shown.widths[0], 16);
  EXPECT_EQ(shown.frames[0], picture.words);
}

TEST_F(SDLDPYDisplay, ShowRejectsMissingImagesAndStrangers) {
  Picture picture(256, 256);
  IMG empty{256, 256, nullptr};
  SDLDPY stranger{256, 256, 32};
  SDLDPYShow(display, nullptr);
  SDLDPYShow(display, &empty);
  SDLDPYShow(&stranger, &picture.image);
  SDLDPYShow(nullptr, &picture.image);
  EXPECT_EQ(HEADLESSFrameCount(), 0);
}

TEST_F(SDLDPYDisplay, DirectPresentationsNeedTheExactSize) {
  Picture exact(256, 256);
  Picture wrong(255, 256);
  SDLDPYShowCopy(display, &wrong.image);
  SDLDPYShowInPlace(display, &wrong.image);
  EXPECT_EQ(HEADLESSFrameCount(), 0);
  SDLDPYShowCopy(display, &exact.image);
  SDLDPYShowInPlace(display, &exact.image);
  ASSERT_EQ(shown.frames.size(), 2u);
  EXPECT_EQ(shown.frames[0], exact.words);
  EXPECT_EQ(shown.frames[1], exact.words);
}

// The emulated audio device plays one frame's worth of sound per picture.
struct Heard {
  int calls = 0;
  int lastLength = 0;
  int16_t next = -3;
  std::vector<int16_t> values;
  static void pull(void* user, uint8_t* stream, int length) {
    auto* self = static_cast<Heard*>(user);
    ++self->calls;
    self->lastLength = length;
    for (int i = 0; i + 1 < length; i += 2) {
      const auto word = static_cast<uint16_t>(self->next++);
      stream[i] = static_cast<uint8_t>(word & 0xff);
      stream[i + 1] = static_cast<uint8_t>(word >> 8);
    }
  }
  static void sink(const int16_t* values, int count, void* user) {
    auto* self = static_cast<Heard*>(user);
    self->values.insert(self->values.end(), values, values + count);
  }
};

TEST_F(SDLDPYDisplay, EachPresentedFramePullsOneFrameOfSound) {
  Heard heard;
  HEADLESSSetSoundSink(&Heard::sink, &heard);
  ASSERT_TRUE(HEADLESSOpenAudio(&Heard::pull, &heard));
  EXPECT_FALSE(HEADLESSOpenAudio(&Heard::pull, &heard)) << "the device is already open";
  Picture picture(256, 256);
  SDLDPYShow(display, &picture.image);
  SDLDPYShowCopy(display, &picture.image);
  EXPECT_EQ(heard.calls, 2);
  EXPECT_EQ(heard.lastLength, 1764);
  ASSERT_EQ(heard.values.size(), 2u * 882u);
  // Little-endian signed values, in the order the callback wrote them.
  for (size_t i = 0; i < heard.values.size(); ++i) ASSERT_EQ(heard.values[i], static_cast<int16_t>(-3 + static_cast<int>(i)));
  HEADLESSCloseAudio();
  SDLDPYShow(display, &picture.image);
  EXPECT_EQ(heard.calls, 2);
  EXPECT_EQ(HEADLESSFrameCount(), 3);
}

TEST_F(SDLDPYDisplay, AMissingAudioDeviceRefusesToOpen) {
  Heard heard;
  HEADLESSSetAudioMissing(true);
  EXPECT_FALSE(HEADLESSOpenAudio(&Heard::pull, &heard));
  HEADLESSSetAudioMissing(false);
  EXPECT_FALSE(HEADLESSOpenAudio(nullptr, &heard));
  EXPECT_TRUE(HEADLESSOpenAudio(&Heard::pull, &heard));
}

}  // namespace

namespace {

TEST(DisplayScale, TakesOneToEightInDigitsOnly) {
  int scale = 0;
  for (const char* good : {"1", "2", "8", "08"}) {
    EXPECT_TRUE(SDLDPYScaleFromText(good, &scale)) << good;
    EXPECT_EQ(scale, atoi(good));
  }
  for (const char* bad : {"", "0", "9", "16", "-2", "+2", "2x", " 2", "2.0", "two", "99999999999"}) {
    scale = 5;
    EXPECT_FALSE(SDLDPYScaleFromText(bad, &scale)) << bad;
    EXPECT_EQ(scale, 5) << bad;
  }
  EXPECT_FALSE(SDLDPYScaleFromText(nullptr, &scale));
}

// The window keeps room for its title bar: 3 x 256 fills a 768-line screen.
TEST(DisplayScale, TooLargeGivesWayToTheLargestThatFits) {
  EXPECT_EQ(SDLDPYFittingScale(8, 256, 256, 1024, 768), 2);
  EXPECT_EQ(SDLDPYFittingScale(3, 256, 256, 1024, 768), 2);
  EXPECT_EQ(SDLDPYFittingScale(2, 256, 256, 1024, 768), 2);
  EXPECT_EQ(SDLDPYFittingScale(8, 256, 256, 1920, 1080), 4);
  EXPECT_EQ(SDLDPYFittingScale(8, 256, 256, 3840, 2160), 8);
  EXPECT_EQ(SDLDPYFittingScale(4, 256, 256, 640, 480), 1);
  EXPECT_EQ(SDLDPYFittingScale(4, 256, 256, 200, 200), 1);  // never below 1
  EXPECT_EQ(SDLDPYFittingScale(6, 256, 256, 0, 0), 6);      // unknown screen
}

// A scaled desktop's window: the nearest whole factor, a half rounding up;
// never below 1 or above the largest enlargement.
TEST(DisplayScale, DesktopScaleGivesTheNearestWholeFactor) {
  const struct {
    int percent, factor;
  } cases[] = {{100, 1}, {125, 1}, {149, 1}, {150, 2}, {175, 2}, {200, 2}, {225, 2}, {249, 2},
               {250, 3}, {300, 3}, {350, 4}, {0, 1},   {-100, 1}, {900, 8}, {100000, 8}};
  for (const auto& c : cases) EXPECT_EQ(SDLDPYScaleForDesktop(c.percent), c.factor) << c.percent << " %";
}

}  // namespace
