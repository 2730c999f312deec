#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/headless.hpp"
#include "platform/sdldpy.hpp"
#include "platform/sdlkbd.hpp"

namespace {

struct SDLKBDKeys : ::testing::Test {
  SDLKBD* keyboard = nullptr;
  void SetUp() override {
    HEADLESSReset();
    ASSERT_NE(SDLDPYNew(), nullptr);
    keyboard = SDLKBDNew();
    ASSERT_NE(keyboard, nullptr);
  }
  void TearDown() override { HEADLESSReset(); }

  void script(std::vector<HEADLESSKeyEvent> events) {
    HEADLESSSetKeyScript(events.data(), static_cast<int>(events.size()));
  }
  uint8_t poll() {
    SDLKBDGetKey(keyboard);
    return keyboard->keys[0];
  }
};

TEST(SDLKBDWithoutDisplay, IsNotCreatedAndPollingIsHarmless) {
  HEADLESSReset();
  EXPECT_EQ(SDLKBDNew(), nullptr);
  SDLKBDGetKey(nullptr);
  EXPECT_EQ(HEADLESSPollCount(), 0);
}

TEST_F(SDLKBDKeys, IsASingleRecordThatIsNeverCopied) {
  EXPECT_EQ(SDLKBDNew(), keyboard);
  EXPECT_EQ(SDLKBDEqual(keyboard, keyboard), 1);
  EXPECT_EQ(SDLKBDEqual(keyboard, nullptr), 0);
  EXPECT_EQ(SDLKBDCopy(keyboard), nullptr);
  EXPECT_EQ(SDLKBDFromASCII(""), nullptr);
  char* text = SDLKBDToASCII(keyboard);
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "");
  free(text);
  EXPECT_EQ(SDLKBDToASCII(nullptr), nullptr);
  EXPECT_EQ(keyboard->reserved, 0);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(keyboard->keys[i], 0);
}

TEST_F(SDLKBDKeys, FreeForgetsTheKeyboardSoANewOneCanBeMade) {
  SDLKBD* ref = keyboard;
  SDLKBDFree(&ref);
  EXPECT_EQ(ref, nullptr);
  SDLKBDFree(&ref);  // harmless on null
  SDLKBDFree(nullptr);
  keyboard = SDLKBDNew();
  ASSERT_NE(keyboard, nullptr);
  EXPECT_EQ(poll(), 0);
}

TEST_F(SDLKBDKeys, PressLeavesTheKeyAndReleaseClearsIt) {
  script({{1, 'f', true}, {3, 'f', false}});
  EXPECT_EQ(poll(), 0);    // poll 0: nothing yet
  EXPECT_EQ(poll(), 'f');  // poll 1: the press
  EXPECT_EQ(poll(), 'f');  // poll 2: an empty queue leaves the cell alone
  EXPECT_EQ(poll(), 0);    // poll 3: the release
  EXPECT_EQ(HEADLESSPollCount(), 4);
}

TEST_F(SDLKBDKeys, WithinOneFrameTheLastEventWins) {
  script({{0, 'o', true}, {0, 'p', true}, {1, 'q', true}, {1, 'q', false}});
  EXPECT_EQ(poll(), 'p');
  // A press and its release in one frame leave nothing: that press is lost.
  EXPECT_EQ(poll(), 0);
}

// F2 (283), F7 (288) and Ctrl to Meta (305 to 311) share their low byte
// with Escape, space and the digits 1 to 7: they must not act as those.
TEST_F(SDLKBDKeys, SymbolsAbove255LeaveTheCellAsAReleaseDoes) {
  script({{0, 0x1B, true}, {1, ' ', true}, {1, 283, true}, {2, 288, true}, {3, '1', true}, {3, 305, true},
          {4, 311, true}});
  EXPECT_EQ(poll(), 27);
  EXPECT_EQ(poll(), 0);
  EXPECT_EQ(poll(), 0);
  EXPECT_EQ(poll(), 0);
  EXPECT_EQ(poll(), 0);
}

TEST_F(SDLKBDKeys, PollingWithoutADisplayDoesNothing) {
  script({{0, ' ', true}});
  HEADLESSReset();  // frees the display and the keyboard
  uint8_t keys[8] = {};
  SDLKBD orphan{keys, 0};
  SDLKBDGetKey(&orphan);
  EXPECT_EQ(keys[0], 0);
  EXPECT_EQ(HEADLESSPollCount(), 0);
}

}  // namespace
