#include <gtest/gtest.h>

#include <vector>

#include "core/sintable.hpp"
#include "image/img.hpp"
#include "text/cursor.hpp"
#include "text/font.hpp"
#include "text/scroll.hpp"
#include "text/scrollxl.hpp"

namespace {

IMG* image(int w, int h) {
  IMG* img = IMGNew();
  IMGAlloc(img, w, h);
  return img;
}

// Glyphs one per sheet row, each cell filled with its glyph number + 1.
FONT* columnFont(int glyphW, int glyphH, int glyphs) {
  FONT* font = FONTNew();
  font->glyphWidth = glyphW;
  font->glyphHeight = glyphH;
  font->sheet = image(glyphW, glyphH * glyphs);
  for (int i = 0; i < glyphW * glyphH * glyphs; ++i) {
    font->sheet->pixels[i] = static_cast<uint32_t>(i / (glyphW * glyphH) + 1);
  }
  return font;
}

int expectedTop(int phase) {
  return SCROLLBaseline - ((SinTable[phase & 511] * SCROLLWaveAmplitude) >> 15);
}

// Top row of the first non-black pixel in a column, -1 when none.
int topOf(const IMG* img, int x) {
  for (int y = 0; y < img->height; ++y) {
    if (IMGGetPixel(img, x, y)) return y;
  }
  return -1;
}

struct SCROLLDrawMove : ::testing::Test {
  FONT* font = columnFont(10, 20, 6);
  IMG* target = image(25, 120);
  SCROLL* scroll = SCROLLNew();
  // Glyph numbers 1 .. 5; 0 would be a valid glyph too but ends the text.
  const char text[6] = {1, 2, 3, 4, 5, 0};

  void SetUp() override {
    SCROLLSet(scroll, text, font, target);
    wavePhase = 0;
  }
  void TearDown() override {
    SCROLLFree(&scroll);
    FONTFree(&font);
    IMGFree(&target);
    wavePhase = 0;
  }
};

}  // namespace

TEST(SCROLL, NewAndSetGiveTheStartingState) {
  SCROLL* scroll = SCROLLNew();
  ASSERT_NE(scroll, nullptr);
  EXPECT_EQ(scroll->speed, 1);
  EXPECT_EQ(scroll->cursor->length, 25);
  EXPECT_EQ(scroll->text, nullptr);
  SCROLLDraw(scroll);  // nothing attached: refused
  SCROLLMove(scroll);
  EXPECT_EQ(scroll->offset, 0);
  FONT* font = columnFont(4, 4, 2);
  IMG* target = image(30, 10);
  scroll->speed = 7;
  scroll->offset = 3;
  SCROLLSet(scroll, "\x01\x01\x01", font, target);
  EXPECT_EQ(scroll->cursor->length, 3);
  EXPECT_EQ(scroll->width, 30);
  EXPECT_EQ(scroll->speed, 7);
  EXPECT_EQ(scroll->offset, 3);
  CURSOR* before = scroll->cursor;
  SCROLLSet(scroll, "", font, target);
  SCROLLSet(scroll, "\x01", nullptr, target);
  EXPECT_EQ(scroll->cursor, before);
  EXPECT_EQ(scroll->cursor->length, 3);
  SCROLLFree(&scroll);
  EXPECT_EQ(scroll, nullptr);
  FONTFree(&font);
  IMGFree(&target);
}

TEST_F(SCROLLDrawMove, DrawPlacesGlyphsOnTheHalfWaveAndAdvancesThePhase) {
  scroll->offset = 4;
  wavePhase = 500;
  SCROLLDraw(scroll);
  // 25 / 10 + 2 = 4 glyphs at -4, 6, 16, 26: three visible.
  for (int i = 0; i < 3; ++i) {
    const int left = -4 + 10 * i;
    const int column = left < 0 ? 0 : left;
    EXPECT_EQ(topOf(target, column), expectedTop(500 + 31 * (i + 1))) << i;
    EXPECT_EQ(IMGGetPixel(target, column, topOf(target, column)), static_cast<uint32_t>(i + 2));
  }
  EXPECT_EQ(IMGGetPixel(target, 5, topOf(target, 5)), 2u);
  EXPECT_EQ(IMGGetPixel(target, 6, topOf(target, 6)), 3u);
  EXPECT_EQ(font->x, -4 + 40);
  EXPECT_EQ(scroll->cursor->position, 0);
  EXPECT_EQ(wavePhase, 487);
  wavePhase = 5;
  SCROLLDraw(scroll);
  EXPECT_EQ(wavePhase, -8);  // truncating remainder keeps the sign
}

TEST_F(SCROLLDrawMove, TopsStayOnRowsOneToEighty) {
  for (int frame = 0; frame < 100; ++frame) {
    IMGClear(target);
    SCROLLDraw(scroll);
    for (int x = 0; x < 25; ++x) {
      const int top = topOf(target, x);
      ASSERT_GE(top, 1);
      ASSERT_LE(top, 80);
    }
  }
}

TEST_F(SCROLLDrawMove, TheTextLoopsWithoutAGap) {
  scroll->cursor->position = 4;
  SCROLLDraw(scroll);
  EXPECT_EQ(IMGGetPixel(target, 0, topOf(target, 0)), 6u);   // glyph 5
  EXPECT_EQ(IMGGetPixel(target, 10, topOf(target, 10)), 2u); // glyph 1
  EXPECT_EQ(scroll->cursor->position, 4);
}

TEST_F(SCROLLDrawMove, MovesCarryWholeGlyphsIntoTheCursorAndThePhase) {
  scroll->speed = 7;
  for (int i = 0; i < 3; ++i) SCROLLMove(scroll);
  EXPECT_EQ(scroll->offset, 1);
  EXPECT_EQ(scroll->cursor->position, 2);
  EXPECT_EQ(wavePhase, 62);
  scroll->speed = 0;
  SCROLLMove(scroll);
  EXPECT_EQ(scroll->offset, 1);
  EXPECT_EQ(scroll->cursor->position, 2);
  EXPECT_EQ(wavePhase, 62);
}

TEST_F(SCROLLDrawMove, NegativeSpeedsStepBackAndWrapToTheLastCharacter) {
  scroll->speed = -1;
  SCROLLMove(scroll);
  EXPECT_EQ(scroll->offset, 9);
  EXPECT_EQ(scroll->cursor->position, 4);
  EXPECT_EQ(wavePhase, -31);
  scroll->speed = -19;
  SCROLLMove(scroll);  // 9 - 19 = -10: exactly one glyph back lands on step -2
  EXPECT_EQ(scroll->offset, 10);
  EXPECT_EQ(scroll->cursor->position, 2);
  EXPECT_EQ(wavePhase, -93);
}

TEST_F(SCROLLDrawMove, ExactMultiplesOfTheGlyphWidthLeaveNoOffset) {
  scroll->speed = 20;
  SCROLLMove(scroll);
  EXPECT_EQ(scroll->offset, 0);
  EXPECT_EQ(scroll->cursor->position, 2);
  EXPECT_EQ(wavePhase, 62);
}

TEST(SCROLLWave, SpeedSevenOverAHundredWideGlyphs) {
  FONT* font = columnFont(100, 200, 3);
  IMG* target = image(256, 256);
  SCROLL* scroll = SCROLLNew();
  SCROLLSet(scroll, "\x01\x02\x01\x02", font, target);
  scroll->speed = 7;
  wavePhase = 0;
  for (int i = 0; i < 15; ++i) {
    SCROLLDraw(scroll);
    SCROLLMove(scroll);
  }
  EXPECT_EQ(scroll->offset, 5);
  EXPECT_EQ(scroll->cursor->position, 1);
  EXPECT_EQ(wavePhase, (31 - 13 * 15) % 1024);
  SCROLLFree(&scroll);
  FONTFree(&font);
  IMGFree(&target);
}

TEST(SCROLLWave, ThePhaseIsSharedByEveryScroller) {
  FONT* font = columnFont(10, 20, 3);
  IMG* target = image(30, 120);
  SCROLL* a = SCROLLNew();
  SCROLL* b = SCROLLNew();
  SCROLLSet(a, "\x01\x02", font, target);
  SCROLLSet(b, "\x01\x02", font, target);
  wavePhase = 100;
  SCROLLDraw(a);
  IMGClear(target);
  SCROLLDraw(b);  // draws with the phase a left behind
  EXPECT_EQ(topOf(target, 0), expectedTop(100 - 13 + 31));
  EXPECT_EQ(wavePhase, 100 - 26);
  SCROLLFree(&a);
  SCROLLFree(&b);
  FONTFree(&font);
  IMGFree(&target);
}

namespace {

// Letters: an 8 x 1 letter sheet of two 4 x 1 glyphs; glyph 1 is all lit,
// glyph 0 has only its first pixel lit. Dots: 2 x 2, all lit.
struct SCROLLXLDrawMove : ::testing::Test {
  FONT* letters = FONTNew();
  FONT* dots = FONTNew();
  IMG* target = image(20, 4);
  SCROLLXL* scroll = SCROLLXLNew();
  const char text[4] = {1, 0x7F, 1, 0};

  void SetUp() override {
    letters->glyphWidth = 4;
    letters->glyphHeight = 1;
    letters->sheet = image(8, 1);
    letters->sheet->pixels[0] = 1;
    for (int i = 4; i < 8; ++i) letters->sheet->pixels[i] = 1;
    dots->glyphWidth = 2;
    dots->glyphHeight = 2;
    dots->sheet = image(2, 2);
    for (int i = 0; i < 4; ++i) dots->sheet->pixels[i] = 0x808080;
    SCROLLXLSet(scroll, text, letters, dots, target);
  }
  void TearDown() override {
    SCROLLXLFree(&scroll);
    FONTFree(&letters);
    FONTFree(&dots);
    IMGFree(&target);
  }
};

}  // namespace

TEST(SCROLLXL, NewAndSetGiveTheStartingState) {
  SCROLLXL* scroll = SCROLLXLNew();
  ASSERT_NE(scroll, nullptr);
  EXPECT_EQ(scroll->speed, 1);
  EXPECT_EQ(scroll->cursor->length, 25);
  SCROLLXLDraw(scroll);
  SCROLLXLMove(scroll);
  FONT* font = FONTNew();
  font->sheet = image(6, 6);
  IMG* target = image(40, 8);
  scroll->offset = 5;
  scroll->y = 3;
  SCROLLXLSet(scroll, "", font, font, target);
  EXPECT_EQ(scroll->speed, 1);
  SCROLLXLSet(scroll, "ab", font, font, target);
  EXPECT_EQ(scroll->speed, 8);
  EXPECT_EQ(scroll->offset, 0);
  EXPECT_EQ(scroll->y, 0);
  EXPECT_EQ(scroll->width, 40);
  EXPECT_EQ(scroll->cursor->length, 2);
  SCROLLXLFree(&scroll);
  FONTFree(&font);
  IMGFree(&target);
}

TEST_F(SCROLLXLDrawMove, DrawStampsDotsForLitLetterPixelsAndNeverReadsPastTheSheet) {
  scroll->offset = 3;
  scroll->y = 1;
  SCROLLXLDraw(scroll);
  // Cells are 8 wide: letters at -3, 5, 13, 21. Glyph 1 fills its cell,
  // glyph 0x7F lies outside the sheet and draws nothing.
  for (int x = 0; x < 5; ++x) EXPECT_EQ(IMGGetPixel(target, x, 1), 0x808080u) << x;
  for (int x = 5; x < 13; ++x) EXPECT_EQ(IMGGetPixel(target, x, 1), 0u) << x;
  for (int x = 13; x < 20; ++x) EXPECT_EQ(IMGGetPixel(target, x, 2), 0x808080u) << x;
  EXPECT_EQ(IMGGetPixel(target, 0, 0), 0u);
  EXPECT_EQ(IMGGetPixel(target, 0, 3), 0u);
  EXPECT_EQ(letters->x, -3 + 4 * 8);
  EXPECT_EQ(scroll->cursor->position, 0);
}

TEST_F(SCROLLXLDrawMove, MovesUseTheEnlargedCellWidth) {
  scroll->speed = 3;
  SCROLLXLMove(scroll);
  SCROLLXLMove(scroll);
  EXPECT_EQ(scroll->offset, 6);
  EXPECT_EQ(scroll->cursor->position, 0);
  SCROLLXLMove(scroll);
  EXPECT_EQ(scroll->offset, 1);
  EXPECT_EQ(scroll->cursor->position, 1);
  scroll->speed = -9;  // 1 - 9 = -8: exactly one cell back
  SCROLLXLMove(scroll);
  EXPECT_EQ(scroll->offset, 8);
  EXPECT_EQ(scroll->cursor->position, 2);
  scroll->speed = -1;
  SCROLLXLMove(scroll);
  EXPECT_EQ(scroll->offset, 7);
  EXPECT_EQ(scroll->cursor->position, 2);
}

TEST(SCROLLXLTiming, SpeedNineCrossesA256WideCellEvery28Or29Moves) {
  FONT* letters = FONTNew();
  letters->glyphWidth = letters->glyphHeight = 8;
  letters->sheet = image(256, 80);
  FONT* dots = FONTNew();
  dots->glyphWidth = dots->glyphHeight = 32;
  dots->sheet = image(32, 32);
  IMG* target = image(256, 256);
  SCROLLXL* scroll = SCROLLXLNew();
  SCROLLXLSet(scroll, "ABCDEFGHIJ", letters, dots, target);
  scroll->speed = 9;
  std::vector<int> gaps;
  int last = 0;
  for (int move = 1; move <= 300; ++move) {
    const int before = scroll->cursor->position;
    SCROLLXLMove(scroll);
    if (scroll->cursor->position != before) {
      gaps.push_back(move - last);
      last = move;
    }
  }
  ASSERT_GE(gaps.size(), 9u);
  for (int gap : gaps) EXPECT_TRUE(gap == 28 || gap == 29) << gap;
  SCROLLXLFree(&scroll);
  FONTFree(&letters);
  FONTFree(&dots);
  IMGFree(&target);
}
