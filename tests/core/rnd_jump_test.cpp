#include <gtest/gtest.h>

#include <cstdint>

#include "core/rnd.hpp"

namespace {

uint32_t StateAfterDraws(uint32_t seed, uint64_t count) {
  RNDSeed(seed);
  for (uint64_t i = 0; i < count; ++i) RNDNext();
  return RNDState();
}

}  // namespace

TEST(RNDJump, LandsWhereThatManyDrawsLand) {
  for (uint32_t seed : {0u, 1u, 0x2EDFADE2u, 0xFFFFFFFFu}) {
    for (uint64_t count : {0u, 1u, 2u, 3u, 7u, 8u, 9u, 255u, 1000u, 65536u, 65537u}) {
      const uint32_t drawn = StateAfterDraws(seed, count);
      RNDSeed(seed);
      RNDJump(count);
      EXPECT_EQ(RNDState(), drawn) << "seed " << seed << " count " << count;
    }
  }
}

TEST(RNDJump, JumpsAddUpAndTheFullPeriodComesBack) {
  RNDSeed(0x2EDFADE2u);
  RNDJump(123456789u);
  RNDJump(987654321u);
  const uint32_t twoJumps = RNDState();
  RNDSeed(0x2EDFADE2u);
  RNDJump(123456789u + 987654321u);
  EXPECT_EQ(RNDState(), twoJumps);

  // Every state recurs after exactly 2^32 steps and not after half of them.
  constexpr RNDStep period = RNDLeap(uint64_t{1} << 32);
  static_assert(period.multiplier == 1u && period.increment == 0u);
  constexpr RNDStep half = RNDLeap(uint64_t{1} << 31);
  static_assert(half.multiplier != 1u || half.increment != 0u);
  RNDSeed(77u);
  RNDJump((uint64_t{1} << 32) + 5u);
  const uint32_t wrapped = RNDState();
  EXPECT_EQ(wrapped, StateAfterDraws(77u, 5u));
}

TEST(RNDJump, ComposedStepsMatchTheStepsInTurn) {
  constexpr RNDStep three = RNDLeap(3);
  constexpr RNDStep five = RNDLeap(5);
  const RNDStep eight = RNDCompose(three, five);
  EXPECT_EQ(eight.multiplier, RNDLeap(8).multiplier);
  EXPECT_EQ(eight.increment, RNDLeap(8).increment);
  for (uint32_t state : {0u, 42u, 0x80000000u}) {
    uint32_t stepped = state;
    for (int i = 0; i < 8; ++i) stepped = RNDApply(RNDOneStep, stepped);
    EXPECT_EQ(RNDApply(eight, state), stepped);
  }
}
