#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "driver/torvelin.hpp"
#include "driver_fixture.hpp"
#include "text/scroll.hpp"

namespace {

struct Flags {
  uint8_t nextPart, exit, rate;
  std::array<uint8_t, 4> toggles;
  int32_t speed;
  bool operator==(const Flags&) const = default;
};

Flags snapshot() {
  return {TORVELINNextPart, TORVELINExit, TORVELINRateDisplay,
          {TORVELINToggles[0], TORVELINToggles[1], TORVELINToggles[2], TORVELINToggles[3]},
          TORVELINScroller->speed};
}

using TORVELINKeyCommands = Driver;

TEST_F(TORVELINKeyCommands, DigitsFlipTheirBitOfTheirToggleByte) {
  struct Row {
    char key;
    int byte;
    uint8_t bit;
  };
  const Row rows[] = {{'1', 0, 1}, {'2', 1, 1}, {'3', 2, 1}, {'4', 3, 1}, {'5', 3, 2}, {'6', 2, 2}, {'7', 2, 4}};
  for (const Row& row : rows) {
    Flags expected = snapshot();
    expected.toggles[row.byte] ^= row.bit;
    TORVELINKeyCommand(static_cast<int8_t>(row.key));
    EXPECT_EQ(snapshot(), expected) << "key " << row.key;
  }
  // Every digit again: back to the start values.
  for (const Row& row : rows) TORVELINKeyCommand(static_cast<int8_t>(row.key));
  EXPECT_EQ(TORVELINToggles[0], 1);
  EXPECT_EQ(TORVELINToggles[1], 1);
  EXPECT_EQ(TORVELINToggles[2], 1);
  EXPECT_EQ(TORVELINToggles[3], 3);
}

TEST_F(TORVELINKeyCommands, FFlipsTheRateDisplayAndSpaceAsksForTheNextPart) {
  Flags expected = snapshot();
  TORVELINKeyCommand('f');
  expected.rate = 1;
  EXPECT_EQ(snapshot(), expected);
  TORVELINKeyCommand('f');
  expected.rate = 0;
  EXPECT_EQ(snapshot(), expected);
  TORVELINKeyCommand(' ');
  expected.nextPart = 1;
  EXPECT_EQ(snapshot(), expected);
}

TEST_F(TORVELINKeyCommands, OtherKeysChangeNothing) {
  const Flags before = snapshot();
  // Upper-case letters other than Q, digits outside 1..7, and bytes from the
  // top half of the range, which arrive as negative values.
  const int keys[] = {0, 'F', 'O', 'P', '0', '8', 'a', 'x', 13, 127, -128, -1, -27, -113};
  for (int key : keys) TORVELINKeyCommand(static_cast<int8_t>(key));
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(HEADLESSFrameCount(), 0);
}

TEST_F(TORVELINKeyCommands, ScrollerSpeedStepsByOneWithinThirtyTwo) {
  TORVELINKeyCommand('p');
  EXPECT_EQ(TORVELINScroller->speed, TORVELINScrollerStartSpeed + 1);
  TORVELINKeyCommand('o');
  TORVELINKeyCommand('o');
  EXPECT_EQ(TORVELINScroller->speed, TORVELINScrollerStartSpeed - 1);
  for (int i = 0; i < 40; ++i) TORVELINKeyCommand('p');
  EXPECT_EQ(TORVELINScroller->speed, 32);
  for (int i = 0; i < 80; ++i) TORVELINKeyCommand('o');
  EXPECT_EQ(TORVELINScroller->speed, -32);
  TORVELINScrollerSpeed(+5);
  EXPECT_EQ(TORVELINScroller->speed, -27);
}

TEST(TORVELINWrap, FoldsIntoTheRange) {
  EXPECT_EQ(TORVELINWrap(5, 3), 2);
  EXPECT_EQ(TORVELINWrap(3, 3), 0);
  EXPECT_EQ(TORVELINWrap(2, 3), 2);
  EXPECT_EQ(TORVELINWrap(0, 3), 0);
  EXPECT_EQ(TORVELINWrap(-1, 256), 255);
  EXPECT_EQ(TORVELINWrap(-300, 256), 212);
  EXPECT_EQ(TORVELINWrap(-256, 256), 0);
  EXPECT_EQ(TORVELINWrap(-512, 256), 0);
  EXPECT_EQ(TORVELINWrap(7, 0), 0);
  EXPECT_EQ(TORVELINWrap(7, -3), 0);
}

}  // namespace
