#include <gtest/gtest.h>

#include <cstdint>

#include "platform/fps.hpp"
#include "platform/headless.hpp"

namespace {

struct FPSPacing : ::testing::Test {
  void SetUp() override {
    HEADLESSReset();
    FPSSetRate(50);
  }
  void TearDown() override { HEADLESSReset(); }

  // One frame whose drawing takes `workMs`; returns the sleep it made.
  static uint32_t frame(uint32_t workMs) {
    HEADLESSAdvance(workMs);
    FPSMeasure();
    const uint32_t before = HEADLESSTicks();
    FPSDelay();
    return HEADLESSTicks() - before;
  }
};

TEST_F(FPSPacing, FiveMillisecondFramesSettleTheSlackAtFifteenMilliseconds) {
  for (int i = 0; i < 100; ++i) frame(5);
  EXPECT_NEAR(FPSSlack(), 15000, 1000);
  EXPECT_EQ(frame(5), 15u);
  EXPECT_EQ(FPSFrameTime(), 20000);
}

TEST_F(FPSPacing, ALongFrameEmptiesTheSlackWithoutGoingNegative) {
  for (int i = 0; i < 50; ++i) frame(5);
  ASSERT_GT(FPSSlack(), 0);
  EXPECT_EQ(frame(100), 0u);
  EXPECT_EQ(FPSSlack(), 0);
  // The next short frame builds the slack up again from nothing.
  EXPECT_EQ(frame(5), 15u);
  EXPECT_EQ(FPSSlack(), 15000);
}

TEST_F(FPSPacing, WithoutWorkTheFigureReadsFiftyOnceOneSecondIsCounted) {
  // The count is taken at the first frame whose frame times reach one
  // second: the first frame measures 0 and each later one 20 ms.
  for (int i = 1; i <= 50; ++i) {
    EXPECT_EQ(FPSMeasure(), 0) << "frame " << i;
    FPSDelay();
  }
  EXPECT_EQ(HEADLESSTicks(), 1000u);
  EXPECT_EQ(FPSMeasure(), 50);
  FPSDelay();
  for (int i = 0; i < 500; ++i) {
    ASSERT_EQ(FPSMeasure(), 50);
    FPSDelay();
  }
  EXPECT_EQ(FPSFramesPerSecond(), 50);
}

TEST_F(FPSPacing, SlowFramesAreCountedAsTheyCome) {
  // 40 ms frames: 25 of them fill a second.
  for (int i = 0; i < 200; ++i) frame(40);
  EXPECT_EQ(FPSFramesPerSecond(), 25);
  EXPECT_EQ(FPSSlack(), 0);
}

TEST_F(FPSPacing, ARateOfZeroOrBelowCountsAsOne) {
  FPSSetRate(0);
  FPSMeasure();
  EXPECT_EQ(FPSRate(), 1);
  FPSSetRate(-5);
  FPSMeasure();
  FPSDelay();
  EXPECT_EQ(FPSRate(), 1);
  EXPECT_EQ(FPSSlack(), 1000000);
}

TEST_F(FPSPacing, TheClockWrapsAndDifferencesAbsorbIt) {
  // 4294967 ms is the last whole millisecond before the microsecond clock wraps.
  HEADLESSAdvance(4294967u);
  EXPECT_EQ(FPSClock(), 4294967u * 1000u);
  FPSMeasure();
  FPSDelay();
  EXPECT_EQ(FPSSlack(), 0);
  HEADLESSAdvance(20);
  EXPECT_LT(FPSClock(), 1000000u);
  FPSMeasure();
  EXPECT_EQ(FPSFrameTime(), 20000);
}

TEST_F(FPSPacing, AGapTooLongForTheCounterEmptiesTheSlack) {
  for (int i = 0; i < 20; ++i) frame(5);
  // Forty minutes without a frame.
  EXPECT_EQ(frame(40u * 60u * 1000u), 0u);
  EXPECT_GT(FPSFrameTime(), 0);
  EXPECT_EQ(FPSSlack(), 0);
  EXPECT_EQ(frame(5), 15u);
}

}  // namespace
