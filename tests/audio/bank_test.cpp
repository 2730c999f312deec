#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "audio/bank.hpp"

namespace {

constexpr int kPeaks[16] = {15796, 5894, 7362, 11114, 8510, 8950, 5627, 7813,
                            31592, 12498, 15008, 22422, 17020, 18801, 11255, 15984};

int PeakMagnitude(const SAMPLE& s) {
  int peak = 0;
  for (int i = 0; i < s.length; ++i) peak = std::max(peak, std::abs(s.values[i]));
  return peak;
}

// The lag in [minLag, maxLag] at which the normalised autocorrelation of
// `count` values from `start` is highest: the period of a tuned sound.
double Period(const SAMPLE& s, int start, int count, int minLag, int maxLag) {
  double best = -2;
  int bestLag = 0;
  for (int lag = minLag; lag <= maxLag; ++lag) {
    double xy = 0, xx = 0, yy = 0;
    for (int i = start; i < start + count; ++i) {
      const double x = s.values[i], y = s.values[i + lag];
      xy += x * y;
      xx += x * x;
      yy += y * y;
    }
    const double r = xy / std::sqrt(xx * yy + 1e-9);
    if (r > best) {
      best = r;
      bestLag = lag;
    }
  }
  return bestLag;
}

double CrossingRate(const SAMPLE& s, int count) {
  int crossings = 0;
  for (int i = 1; i < count; ++i) crossings += (s.values[i - 1] < 0) != (s.values[i] < 0);
  return static_cast<double>(crossings) / count;
}

}  // namespace

TEST(TORVELINBank, LayoutIsOneBlockThenTheCountThenTheRecords) {
  EXPECT_EQ(TORVELINBankStoredSize, TORVELINBankSize);
  const auto* afterBlock = reinterpret_cast<const char*>(TORVELINBankValues + TORVELINBankValueCount);
  EXPECT_EQ(reinterpret_cast<const char*>(&TORVELINBankStoredSize), afterBlock);
  const auto* afterCount = reinterpret_cast<const char*>(&TORVELINBankStoredSize + 1);
  EXPECT_LE(reinterpret_cast<const char*>(&TORVELINBank[0]) - afterCount, 8);
  const int32_t* next = TORVELINBankValues;
  for (int i = 0; i < 16; ++i) {
    const SAMPLE& s = TORVELINBank[i];
    EXPECT_EQ(s.length, i < 8 ? 11025 : 22050) << i;
    EXPECT_EQ(s.capacity, s.length) << i;
    EXPECT_EQ(s.values, next) << i;
    next += s.length;
  }
  EXPECT_EQ(next, TORVELINBankValues + TORVELINBankValueCount);
}

TEST(TORVELINBank, EveryInstrumentHitsItsPeakExactlyAndNothingLeavesTheRange) {
  for (int i = 0; i < 16; ++i) EXPECT_EQ(PeakMagnitude(TORVELINBank[i]), kPeaks[i]) << i;
  for (int i = 0; i < TORVELINBankValueCount; ++i) {
    ASSERT_LE(std::abs(TORVELINBankValues[i]), 31592) << i;
  }
  // Every instrument starts and ends at rest, so hits do not click.
  for (int i = 0; i < 16; ++i) {
    const SAMPLE& s = TORVELINBank[i];
    EXPECT_EQ(s.values[0], 0) << i;
    EXPECT_LE(std::abs(s.values[s.length - 1]), 8) << i;
  }
}

TEST(TORVELINBank, LongInstrumentsAreTheShortOnesAtHalfSpeedAndTwiceTheLevel) {
  for (int n = 0; n < 8; ++n) {
    const SAMPLE& shortOne = TORVELINBank[n];
    const SAMPLE& longOne = TORVELINBank[8 + n];
    for (int k = 0; k < shortOne.length; ++k) {
      ASSERT_LE(std::abs(longOne.values[2 * k] - 2 * shortOne.values[k]), 3) << n << " at " << k;
    }
  }
}

// The values between the doubled ones are free, but they must continue the
// wave: no lone sample pushed out to reach the peak, no garbage.
TEST(TORVELINBank, LongInstrumentsInBetweenValuesFollowTheWave) {
  for (int n = 8; n < 16; ++n) {
    const SAMPLE& s = TORVELINBank[n];
    int worst = 0;
    for (int k = 1; k + 1 < s.length; k += 2)
      worst = std::max(worst, std::abs(2 * s.values[k] - s.values[k - 1] - s.values[k + 1]) / 2);
    EXPECT_LE(worst, kPeaks[n] * 2 / 5) << n;
  }
  // The smooth, low instruments (kick, bass, pluck, tom) reach their peak on
  // a crest: the in-between values next to the loudest one are nearly as loud.
  for (int n : {8, 11, 12, 13}) {
    const SAMPLE& s = TORVELINBank[n];
    int loudest = 1;
    for (int k = 1; k < s.length; k += 2)
      if (std::abs(s.values[k]) > std::abs(s.values[loudest])) loudest = k;
    ASSERT_EQ(std::abs(s.values[loudest]), kPeaks[n]) << n;
    const int nearest = std::max(loudest >= 3 ? std::abs(s.values[loudest - 2]) : 0,
                                 loudest + 2 < s.length ? std::abs(s.values[loudest + 2]) : 0);
    EXPECT_GE(nearest, kPeaks[n] * 49 / 50) << n;
  }
}

TEST(TORVELINBank, TunedInstrumentsSitOnTheirNotes) {
  struct Tuned {
    int index;
    double hertz;  // A2 bass, E4 pluck, E3 tom (after its bend), C5 bell
    int start;
  };
  const Tuned tuned[] = {{3, 110.0, 0}, {4, 329.63, 0}, {5, 164.81, 6615}, {7, 523.25, 0}};
  for (const Tuned& t : tuned) {
    for (int octave = 0; octave < 2; ++octave) {
      const SAMPLE& s = TORVELINBank[t.index + 8 * octave];
      const double expected = 44100.0 / t.hertz * (octave + 1);
      const double period = Period(s, t.start * (octave + 1), 4096, static_cast<int>(expected * 0.8),
                                   static_cast<int>(expected * 1.2));
      // Within a quarter of a semitone (1.5 %).
      EXPECT_NEAR(period, expected, expected * 0.015) << "instrument " << t.index + 8 * octave;
    }
  }
}

TEST(TORVELINBank, DrumsAreLowOrBrightAsTheyShouldBe) {
  EXPECT_LT(CrossingRate(TORVELINBank[0], 4000), 0.01);   // kick: below 200 Hz
  EXPECT_GT(CrossingRate(TORVELINBank[1], 2000), 0.2);    // hat: above 4 kHz
  EXPECT_GT(CrossingRate(TORVELINBank[6], 2000), 0.03);   // clap: noise in the midrange
  EXPECT_LT(CrossingRate(TORVELINBank[8], 8000), 0.005);  // the long kick is lower still
}
