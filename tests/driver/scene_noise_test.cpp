// The noise scene: the colour wanderer, the noise fill and the frames.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/rnd.hpp"
#include "driver/scene_table.hpp"
#include "driver/torvelin.hpp"
#include "driver_fixture.hpp"
#include "image/img.hpp"
#include "scene_test_util.hpp"

namespace {

struct TORVELINNoiseScene : Driver {
  TORVELINWanderChannel saved[3];
  void SetUp() override {
    Driver::SetUp();
    for (int c = 0; c < 3; ++c) saved[c] = TORVELINCarry.wander[c];
  }
  void TearDown() override {
    for (int c = 0; c < 3; ++c) TORVELINCarry.wander[c] = saved[c];
    Driver::TearDown();
  }
  static void set(int32_t r, int32_t rs, int32_t g, int32_t gs, int32_t b, int32_t bs) {
    TORVELINCarry.wander[0] = {r, rs};
    TORVELINCarry.wander[1] = {g, gs};
    TORVELINCarry.wander[2] = {b, bs};
  }
};

// The pace a bounce draws: two numbers, the first the high half.
int32_t Pace(Replay& r) {
  const uint32_t high = static_cast<uint32_t>(r.next()) << 16;
  return static_cast<int32_t>((high | static_cast<uint32_t>(r.next())) % 0xfffffu + 0x1000u);
}

// The reference fill: one RNDNext per pixel, last pixel first.
void SlowFill(IMG* img, uint32_t colour) {
  for (int p = img->width * img->height - 1; p >= 0; --p) {
    const uint32_t g = static_cast<uint32_t>(RNDNext() & 0x7f);
    img->pixels[p] = ((colour & 0xfcfcfcu) >> 1) + g * 0x010101u;
  }
}

TEST_F(TORVELINNoiseScene, WandererStartsRedAtTheBottomAndBouncesItUpOnTheNextCall) {
  set(0, 0x8000, 0x800000, -49153, 0x400000, 0x4000);
  const uint32_t seed = RNDState();
  Replay r(seed);
  const int32_t first = Pace(r);
  const uint32_t colour = TORVELINWanderColour();
  // Red's speed flips to -0x8000 (negative), so it becomes -m and the value
  // stays clamped at 0; the other channels just move, drawing nothing.
  EXPECT_EQ(TORVELINCarry.wander[0].speed, -first);
  EXPECT_EQ(TORVELINCarry.wander[0].value, 0);
  EXPECT_EQ(TORVELINCarry.wander[1].value, 0x800000 - 49153);
  EXPECT_EQ(TORVELINCarry.wander[2].value, 0x400000 + 0x4000);
  EXPECT_EQ(RNDState(), r.state);
  EXPECT_EQ(colour, 0x007f40u);
  EXPECT_EQ(TORVELINCarry.wanderedColour, colour);

  const int32_t second = Pace(r);
  TORVELINWanderColour();
  EXPECT_EQ(TORVELINCarry.wander[0].speed, second);
  EXPECT_EQ(TORVELINCarry.wander[0].value, second);
  EXPECT_EQ(RNDState(), r.state);
}

TEST_F(TORVELINNoiseScene, AnOvershootIsClampedAndBouncesOnTheFollowingCall) {
  set(0xff0000 - 10, 100, 20, -100, 0x123456, 0);
  const uint32_t seed = RNDState();
  TORVELINWanderColour();
  EXPECT_EQ(RNDState(), seed);  // no channel sat on an end before moving
  EXPECT_EQ(TORVELINCarry.wander[0].value, 0xff0000);
  EXPECT_EQ(TORVELINCarry.wander[1].value, 0);
  EXPECT_EQ(TORVELINCarry.wander[2].value, 0x123456);
  EXPECT_EQ(TORVELINCarry.wanderedColour, 0xff0012u);

  Replay r(seed);
  const int32_t red = Pace(r);
  const int32_t green = Pace(r);
  TORVELINWanderColour();
  EXPECT_EQ(TORVELINCarry.wander[0].speed, -red);
  EXPECT_EQ(TORVELINCarry.wander[0].value, 0xff0000 - red);
  EXPECT_EQ(TORVELINCarry.wander[1].speed, green);
  EXPECT_EQ(TORVELINCarry.wander[1].value, green);
  EXPECT_EQ(RNDState(), r.state);
}

TEST_F(TORVELINNoiseScene, PacesStayWithinTheirRangeAndChannelsWithinTheirs) {
  for (int step = 0; step < 20000; ++step) {
    const uint32_t colour = TORVELINWanderColour();
    for (const TORVELINWanderChannel& c : TORVELINCarry.wander) {
      ASSERT_GE(c.value, 0);
      ASSERT_LE(c.value, 0xff0000);
      const int32_t pace = c.speed < 0 ? -c.speed : c.speed;
      ASSERT_LE(pace, 1052670);
    }
    ASSERT_EQ(colour >> 24, 0u);
  }
}

TEST_F(TORVELINNoiseScene, FillIsBitIdenticalToOneDrawPerPixelLastPixelFirst) {
  struct Size {
    int w, h;
  };
  // Sizes below, at and between multiples of eight.
  for (const Size size : {Size{1, 1}, Size{7, 1}, Size{8, 1}, Size{3, 3}, Size{37, 23}, Size{256, 256}}) {
    for (uint32_t colour : {0u, 0xffffffu, 0x123456u, 0xfd03a7u}) {
      IMG* fast = IMGNew();
      IMG* slow = IMGNew();
      IMGAlloc(fast, size.w, size.h);
      IMGAlloc(slow, size.w, size.h);
      const uint32_t seed = RNDState();
      TORVELINNoiseFill(fast, colour);
      const uint32_t after = RNDState();
      RNDSeed(seed);
      SlowFill(slow, colour);
      EXPECT_EQ(after, RNDState()) << size.w << "x" << size.h;
      EXPECT_EQ(after, StateAfter(seed, size.w * size.h));
      EXPECT_TRUE(IMGEqual(fast, slow)) << size.w << "x" << size.h << " " << std::hex << colour;
      IMGFree(&fast);
      IMGFree(&slow);
    }
  }
}

TEST_F(TORVELINNoiseScene, NoiseIsHalfTheColourPlusAGreyUpTo127) {
  struct Case {
    uint32_t colour, low, high;
  };
  for (const Case& c : {Case{0xffffffu, 0x7e7e7eu, 0xfdfdfdu}, Case{0u, 0u, 0x7f7f7fu}}) {
    TORVELINNoiseFill(TORVELINFrame, c.colour);
    uint32_t low = 0xffffffff, high = 0;
    for (int i = 0; i < 256 * 256; ++i) {
      const uint32_t p = TORVELINFrame->pixels[i];
      const uint32_t grey = p - c.low;
      ASSERT_EQ(grey, (grey & 0xff) * 0x010101u) << std::hex << p;  // the same grey in every channel
      low = p < low ? p : low;
      high = p > high ? p : high;
    }
    // 65536 draws reach both ends of 0..127.
    EXPECT_EQ(low, c.low);
    EXPECT_EQ(high, c.high);
  }
}

TEST_F(TORVELINNoiseScene, FillRefusesAnImageWithoutPixels) {
  IMG noPixels{4, 4, nullptr};
  const uint32_t seed = RNDState();
  TORVELINNoiseFill(&noPixels, 0xffffff);
  TORVELINNoiseFill(nullptr, 0xffffff);
  EXPECT_EQ(RNDState(), seed);
}

// A frame is the wanderer's colour, the noise, and the strip's picture
// (i / 20) % 9 blended over it.
TEST_F(TORVELINNoiseScene, EachFrameBlendsTheStripPictureOfItsTimeOverFreshNoise) {
  IMG* expected = IMGNew();
  IMGAlloc(expected, 256, 256);
  for (int i : {0, 19, 20, 179, 180, 999}) {
    const uint32_t seed = RNDState();
    TORVELINWanderChannel wander[3];
    for (int c = 0; c < 3; ++c) wander[c] = TORVELINCarry.wander[c];
    TORVELINNoiseDraw(i);

    Replay r(seed);
    for (const TORVELINWanderChannel& c : wander)
      if (c.value == 0 || c.value == 0xff0000) r.skip(2);
    const uint32_t colourState = r.state;
    r.skip(256 * 256);
    EXPECT_EQ(RNDState(), r.state) << "frame " << i;

    const uint32_t after = RNDState();
    RNDSeed(colourState);
    SlowFill(expected, TORVELINCarry.wanderedColour);
    const int picture = (i / 20) % 9;
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) {
        const uint32_t s = IMGGetPixel(TORVELINStrip, x, 256 * picture + y);
        if (s == 0) continue;
        uint32_t& d = expected->pixels[y * 256 + x];
        d = ((s >> 1) & 0x7f7f7fu) + ((d >> 1) & 0x7f7f7fu);
      }
    RNDSeed(after);
    EXPECT_TRUE(IMGEqual(expected, TORVELINFrame)) << "frame " << i;
  }
  IMGFree(&expected);
}

// A strip that does not lie over the whole frame (narrower, or too short
// for the picture) is blended as IMGBlendHalf clips it.
TEST_F(TORVELINNoiseScene, AStripNotCoveringTheFrameIsClippedAsABlendWould) {
  IMG* const ours = TORVELINStrip;
  struct Shape {
    int w, h, i;
  };
  for (const Shape shape : {Shape{100, 2304, 40}, Shape{256, 300, 0}, Shape{256, 300, 20}, Shape{300, 600, 20}}) {
    IMG* strip = IMGNew();
    IMGAlloc(strip, shape.w, shape.h);
    for (int p = 0; p < shape.w * shape.h; ++p) strip->pixels[p] = p % 5 == 0 ? 0 : 0x10203u * static_cast<uint32_t>(p);
    TORVELINStrip = strip;
    const uint32_t seed = RNDState();
    TORVELINWanderChannel wander[3];
    for (int c = 0; c < 3; ++c) wander[c] = TORVELINCarry.wander[c];
    TORVELINNoiseDraw(shape.i);
    IMG* drawn = IMGClone(TORVELINFrame);

    RNDSeed(seed);
    for (int c = 0; c < 3; ++c) TORVELINCarry.wander[c] = wander[c];
    TORVELINNoiseFill(TORVELINFrame, TORVELINWanderColour());
    IMGBlendHalf(strip, TORVELINFrame, 0, -256 * (shape.i / 20));
    EXPECT_TRUE(IMGEqual(drawn, TORVELINFrame)) << shape.w << "x" << shape.h << " frame " << shape.i;
    TORVELINStrip = ours;
    IMGFree(&drawn);
    IMGFree(&strip);
  }
}

TEST_F(TORVELINNoiseScene, RunsAThousandFramesOrOneWhenSpaceComesFirst) {
  TORVELINSceneNoise();
  EXPECT_EQ(HEADLESSFrameCount(), 1000);
  script({{1000, ' ', true}});
  TORVELINSceneNoise();
  EXPECT_EQ(HEADLESSFrameCount(), 1001);
  EXPECT_EQ(TORVELINNextPart, 0);
}

TEST_F(TORVELINNoiseScene, TheSceneIsItsFramesInOrderWithTheWandererCarryingOn) {
  QuietMusic quiet;
  StateRecorder recorder;
  recorder.attach();
  const uint32_t seed = RNDState();
  TORVELINWanderChannel start[3];
  for (int c = 0; c < 3; ++c) start[c] = TORVELINCarry.wander[c];
  script({{40, ' ', true}});
  TORVELINSceneNoise();
  ASSERT_EQ(recorder.states.size(), 41u);
  TORVELINWanderChannel end[3];
  for (int c = 0; c < 3; ++c) end[c] = TORVELINCarry.wander[c];

  RNDSeed(seed);
  for (int c = 0; c < 3; ++c) TORVELINCarry.wander[c] = start[c];
  for (int i = 0; i <= 40; ++i) {
    TORVELINNoiseDraw(i);
    ASSERT_EQ(RNDState(), recorder.states[i]) << "frame " << i;
    ASSERT_EQ(Fingerprint(TORVELINFrame), recorder.pictures[i]) << "frame " << i;
  }
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(TORVELINCarry.wander[c].value, end[c].value);
    EXPECT_EQ(TORVELINCarry.wander[c].speed, end[c].speed);
  }
}

}  // namespace
