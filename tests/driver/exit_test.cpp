#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "driver/torvelin.hpp"
#include "driver_fixture.hpp"

namespace {

// Only the exiting child sees these: its exit handler reports them on
// standard error for the death test to match.
Presented* watched = nullptr;
size_t framesBefore = 0;
uint32_t ticksBefore = 0;
int pollsBefore = 0;

void report() {
  const size_t frames = watched->firstPixels.size() - framesBefore;
  fprintf(stderr, "faded in %zu frames over %u ms with %d polls, brightest %u\n", frames,
          HEADLESSTicks() - ticksBefore, HEADLESSPollCount() - pollsBefore, watched->lastMax);
}

void watchExit(Presented* p) {
  watched = p;
  framesBefore = p->firstPixels.size();
  ticksBefore = HEADLESSTicks();
  pollsBefore = HEADLESSPollCount();
  atexit(report);
}

using TORVELINExiting = Driver;
using TORVELINExitingDeathTest = Driver;

TEST_F(TORVELINExitingDeathTest, EachExitKeyFadesWhiteToBlackInPacedStepsAndExitsWithZero) {
  for (int key : {27, int{'q'}, int{'Q'}}) {
    EXPECT_EXIT(
        {
          fill(0xffffff);
          watchExit(&presented);
          TORVELINKeyCommand(static_cast<int8_t>(key));
        },
        ::testing::ExitedWithCode(0), "faded in 64 frames over 1280 ms with 0 polls, brightest 0\n")
        << "key " << key;
  }
}

TEST_F(TORVELINExitingDeathTest, TheFadeStartsFromThePictureLastShownAndPlaysNoKeys) {
  // 0x7f fades out before the last step; keys scripted after the exit key
  // are never read.
  EXPECT_EXIT(
      {
        fill(0x7f7f7f);
        script({{1, 'q', true}, {2, ' ', true}, {3, 'f', true}});
        TORVELINFrameStep();
        watchExit(&presented);
        TORVELINFrameStep();
      },
      ::testing::ExitedWithCode(0), "faded in 65 frames over 1300 ms with 1 polls, brightest 0\n");
}

TEST_F(TORVELINExiting, TheFadeAloneDarkensByFourPerStep) {
  fill(0x80ff10);
  TORVELINFadeOut();
  EXPECT_EQ(HEADLESSFrameCount(), TORVELINFadeSteps);
  EXPECT_EQ(presented.lastMax, 0u);
  // Step 8 of 64 has taken 32 from each channel, stopping at 0.
  EXPECT_EQ(presented.firstPixels[7], 0x60df00u);
  EXPECT_EQ(HEADLESSPollCount(), 0);
}

TEST(TORVELINStartUpDeathTest, WithoutAWindowItSaysWhyOnStandardErrorAndExitsWithOne) {
  HEADLESSReset();
  HEADLESSSetVideoRefused(true);
  ::testing::internal::CaptureStdout();
  EXPECT_EXIT(TORVELINInit(), ::testing::ExitedWithCode(1),
              "TORVELIN: cannot open the 256 x 256 window: no video device in this test\n");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  HEADLESSReset();
}

}  // namespace
