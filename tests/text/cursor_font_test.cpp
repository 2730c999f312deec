#include <gtest/gtest.h>

#include <vector>

#include "image/img.hpp"
#include "text/cursor.hpp"
#include "text/font.hpp"

namespace {

int stepped(int length, int position, int step) {
  CURSOR* cursor = CURSORNew();
  CURSORSet(cursor, length, step);
  cursor->position = position;
  CURSORStep(cursor);
  const int result = cursor->position;
  CURSORFree(&cursor);
  return result;
}

IMG* image(int w, int h) {
  IMG* img = IMGNew();
  IMGAlloc(img, w, h);
  return img;
}

// Every cell of the sheet is filled with its own glyph number + 1, so the
// colour a draw leaves tells which glyph it cut.
FONT* numberedFont(int glyphW, int glyphH, int sheetW, int sheetH) {
  FONT* font = FONTNew();
  font->glyphWidth = glyphW;
  font->glyphHeight = glyphH;
  font->sheet = image(sheetW, sheetH);
  const int perRow = sheetW / glyphW;
  for (int y = 0; y < sheetH; ++y) {
    for (int x = 0; x < sheetW; ++x) {
      font->sheet->pixels[y * sheetW + x] = static_cast<uint32_t>(y / glyphH * perRow + x / glyphW + 1);
    }
  }
  return font;
}

// Glyph numbers seen along a row of the target, one per cell.
std::vector<int> glyphsAlong(const IMG* target, int y, int cell, int count) {
  std::vector<int> out;
  for (int i = 0; i < count; ++i) out.push_back(static_cast<int>(IMGGetPixel(target, i * cell, y)) - 1);
  return out;
}

}  // namespace

TEST(CURSOR, StepWrapsEitherWayForAnyStepSize) {
  EXPECT_EQ(stepped(16, 15, 1), 0);
  EXPECT_EQ(stepped(16, 0, -1), 15);
  EXPECT_EQ(stepped(16, 3, 40), 11);
  EXPECT_EQ(stepped(16, 3, -40), 11);
  EXPECT_EQ(stepped(1, 0, 12345), 0);
  EXPECT_EQ(stepped(7, 6, 0x7FFFFFFF), (6 + 0x7FFFFFFFLL) % 7);
  EXPECT_EQ(stepped(7, 0, -0x7FFFFFFF - 1), ((-0x80000000LL % 7) + 7) % 7);
}

TEST(CURSOR, NewSetMarkRecallAndSeek) {
  CURSOR* cursor = CURSORNew();
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(cursor->length, 16);
  EXPECT_EQ(cursor->step, 1);
  EXPECT_EQ(cursor->position, 0);
  cursor->position = 5;
  CURSORMark(cursor);
  CURSORStep(cursor);
  CURSORStep(cursor);
  EXPECT_EQ(cursor->position, 7);
  CURSORRecall(cursor);
  EXPECT_EQ(cursor->position, 5);
  EXPECT_EQ(cursor->step, 1);
  CURSORSet(cursor, 10, 3);  // the mark survives
  EXPECT_EQ(cursor->position, 0);
  CURSORRecall(cursor);
  EXPECT_EQ(cursor->position, 5);
  CURSORSet(cursor, 16, 1);
  CURSORSeek(cursor, 35);
  EXPECT_EQ(cursor->position, 3);
  CURSORFree(&cursor);
  EXPECT_EQ(cursor, nullptr);
  CURSORFree(&cursor);
}

TEST(CURSOR, LengthBelowOneIsRefusedAndNeverHangs) {
  CURSOR* cursor = CURSORNew();
  CURSORSet(cursor, 5, 2);
  cursor->position = 3;
  CURSORSet(cursor, 0, 1);
  CURSORSet(cursor, -4, 1);
  EXPECT_EQ(cursor->length, 5);
  EXPECT_EQ(cursor->step, 2);
  EXPECT_EQ(cursor->position, 3);
  cursor->length = 0;  // written directly: step and seek leave it alone
  CURSORStep(cursor);
  CURSORSeek(cursor, 7);
  EXPECT_EQ(cursor->position, 3);
  CURSORFree(&cursor);
  CURSORStep(nullptr);
  CURSORSet(nullptr, 3, 1);
}

TEST(FONT, CellsAreCutRowByRowAcrossTheSheet) {
  // 8 x 8 cells over a 256-wide sheet: glyph 65 starts at column 8, row 16.
  FONT* small = numberedFont(8, 8, 256, 80);
  IMG* target = image(16, 16);
  small->target = target;
  small->ch = 65;
  FONTPutCharOpaque(small);
  EXPECT_EQ(IMGGetPixel(target, 0, 0), small->sheet->pixels[16 * 256 + 8]);
  EXPECT_EQ(IMGGetPixel(target, 7, 7), small->sheet->pixels[23 * 256 + 15]);
  EXPECT_EQ(IMGGetPixel(target, 8, 0), 0u);
  EXPECT_EQ(small->x, 8);
  // 32 x 64 cells over a 1024-wide sheet: glyph 65 starts at column 32, row 128.
  FONT* words = numberedFont(32, 64, 1024, 640);
  words->target = target;
  words->ch = 65;
  FONTPutCharOpaque(words);
  EXPECT_EQ(IMGGetPixel(target, 0, 0), words->sheet->pixels[128 * 1024 + 32]);
  FONTFree(&small);
  FONTFree(&words);
  IMGFree(&target);
}

TEST(FONT, GlyphsBelowTheSheetDrawNothingButThePenStillMoves) {
  FONT* bobs = numberedFont(32, 32, 32, 224);
  IMG* target = image(64, 64);
  bobs->target = target;
  bobs->ch = 7;
  FONTPutChar(bobs);
  EXPECT_EQ(bobs->x, 32);
  for (int i = 0; i < 64 * 64; ++i) ASSERT_EQ(target->pixels[i], 0u);
  bobs->target = nullptr;  // a missing target still moves the pen
  FONTPutChar(bobs);
  EXPECT_EQ(bobs->x, 64);
  FONT* bare = FONTNew();  // no sheet: no draw, no move
  FONTPutChar(bare);
  EXPECT_EQ(bare->x, 0);
  FONTFree(&bare);
  FONTFree(&bobs);
  IMGFree(&target);
}

TEST(FONT, PartlyVisibleGlyphsDrawTheirVisiblePart) {
  FONT* font = numberedFont(4, 4, 16, 4);
  IMG* target = image(8, 8);
  font->target = target;
  font->ch = 2;
  font->x = -2;
  font->y = -3;
  FONTPutCharOpaque(font);
  EXPECT_EQ(IMGGetPixel(target, 0, 0), 3u);
  EXPECT_EQ(IMGGetPixel(target, 1, 0), 3u);
  EXPECT_EQ(IMGGetPixel(target, 2, 0), 0u);
  EXPECT_EQ(IMGGetPixel(target, 0, 1), 0u);
  EXPECT_EQ(font->x, 2);
  FONTFree(&font);
  IMGFree(&target);
}

TEST(FONT, KeyedOpaqueAndAdditiveDrawsMeetTheTargetDifferently) {
  FONT* font = FONTNew();
  font->glyphWidth = 2;
  font->glyphHeight = 1;
  font->sheet = image(2, 1);
  font->sheet->pixels[0] = 0x0000FF;
  font->sheet->pixels[1] = 0;
  IMG* target = image(2, 1);
  font->target = target;
  auto drawOnto = [&](void (*draw)(FONT*)) {
    target->pixels[0] = 0x000001;
    target->pixels[1] = 0x123456;
    font->x = 0;
    draw(font);
    return std::vector<uint32_t>{target->pixels[0], target->pixels[1]};
  };
  EXPECT_EQ(drawOnto(FONTPutChar), (std::vector<uint32_t>{0x0000FF, 0x123456}));
  EXPECT_EQ(drawOnto(FONTPutCharOpaque), (std::vector<uint32_t>{0x0000FF, 0}));
  EXPECT_EQ(drawOnto(FONTPutCharAdd), (std::vector<uint32_t>{0x000100, 0x123456}));
  FONTFree(&font);
  IMGFree(&target);
}

TEST(FONT, HexadecimalDigitsUseCharacterCodes) {
  FONT* font = numberedFont(1, 1, 16, 8);  // 128 one-pixel glyphs
  IMG* target = image(8, 1);
  font->target = target;
  FONTPutHex8(font, 0x13C);
  EXPECT_EQ(glyphsAlong(target, 0, 1, 2), (std::vector<int>{'3', 'C'}));
  EXPECT_EQ(font->ch, 'C');
  font->x = 0;
  FONTPutHex32(font, 0x000012ABu);
  EXPECT_EQ(glyphsAlong(target, 0, 1, 8), (std::vector<int>{48, 48, 48, 48, 49, 50, 65, 66}));
  font->x = 0;
  FONTPutHex16(font, 0xFFFF09F0u);
  EXPECT_EQ(glyphsAlong(target, 0, 1, 4), (std::vector<int>{'0', '9', 'F', '0'}));
  EXPECT_EQ(font->x, 4);
  FONTFree(&font);
  IMGFree(&target);
}

TEST(FONT, StringsStopAtALineFeedAndTakeBytesAsUnsigned) {
  FONT* font = numberedFont(1, 1, 16, 16);  // 256 glyphs
  IMG* target = image(8, 1);
  font->target = target;
  FONTPutString(font, "AB\nCD");
  EXPECT_EQ(font->x, 2);
  EXPECT_EQ(glyphsAlong(target, 0, 1, 3), (std::vector<int>{'A', 'B', -1}));
  font->x = 0;
  FONTPutString(font, "\xC1");
  EXPECT_EQ(glyphsAlong(target, 0, 1, 1), (std::vector<int>{0xC1}));
  FONTPutString(font, nullptr);
  EXPECT_EQ(font->x, 1);
  FONTFree(&font);
  IMGFree(&target);
}

namespace {

// A 3 x 2 letter sheet holding one glyph with the lit pixels (0,0), (2,0), (1,1).
FONT* letterFont() {
  FONT* letters = FONTNew();
  letters->glyphWidth = 3;
  letters->glyphHeight = 2;
  letters->sheet = image(3, 2);
  letters->sheet->pixels[0] = letters->sheet->pixels[2] = letters->sheet->pixels[4] = 1;
  return letters;
}

FONT* dotFont() {
  FONT* dots = FONTNew();
  dots->glyphWidth = 2;
  dots->glyphHeight = 2;
  dots->sheet = image(2, 2);
  for (int i = 0; i < 4; ++i) dots->sheet->pixels[i] = 0xABCDEF;
  return dots;
}

int litCount(const IMG* img) {
  int n = 0;
  for (int i = 0; i < img->width * img->height; ++i) n += img->pixels[i] != 0;
  return n;
}

}  // namespace

TEST(FONTBig, EveryLitLetterPixelBecomesADot) {
  FONT* letters = letterFont();
  FONT* dots = dotFont();
  IMG* target = image(10, 6);
  letters->target = target;
  letters->x = 1;
  letters->y = 1;
  FONTPutBigChar(letters, dots);
  EXPECT_EQ(letters->x, 1 + 6);
  EXPECT_EQ(dots->target, target);
  EXPECT_EQ(litCount(target), 12);
  EXPECT_EQ(IMGGetPixel(target, 1, 1), 0xABCDEFu);
  EXPECT_EQ(IMGGetPixel(target, 5, 2), 0xABCDEFu);
  EXPECT_EQ(IMGGetPixel(target, 3, 3), 0xABCDEFu);
  EXPECT_EQ(IMGGetPixel(target, 3, 1), 0u);
  FONTFree(&letters);
  FONTFree(&dots);
  IMGFree(&target);
}

TEST(FONTBig, CellsReachingPastTheSheetDrawOnlyTheirInsidePart) {
  FONT* letters = letterFont();
  FONT* dots = dotFont();
  IMG* target = image(12, 12);
  letters->target = target;
  // A 2 x 2 cell grid over the 3 x 2 sheet: glyph 1 starts at column 2 and
  // half of it lies right of the sheet.
  letters->glyphWidth = 2;
  letters->ch = 1;
  FONTPutBigChar(letters, dots);
  EXPECT_EQ(litCount(target), 4);  // only sheet pixel (2,0)
  EXPECT_EQ(letters->x, 4);
  // Glyph 2 lies wholly below the sheet; a huge index as well.
  letters->ch = 2;
  FONTPutBigChar(letters, dots);
  letters->ch = 0x7FFFFFFF;
  FONTPutBigChar(letters, dots);
  letters->ch = -1;
  FONTPutBigChar(letters, dots);
  EXPECT_EQ(litCount(target), 4);
  EXPECT_EQ(letters->x, 4 + 3 * 4);
  // Taller cells than the sheet are cut at its bottom edge.
  letters->glyphWidth = 3;
  letters->glyphHeight = 5;
  letters->ch = 0;
  letters->x = 0;
  IMGClear(target);
  FONTPutBigChar(letters, dots);
  EXPECT_EQ(litCount(target), 12);
  FONTFree(&letters);
  FONTFree(&dots);
  IMGFree(&target);
}

TEST(FONTBig, MissingPartsDrawNothingAndMoveNoPen) {
  FONT* letters = letterFont();
  FONT* dots = dotFont();
  FONTPutBigChar(letters, dots);  // no target
  EXPECT_EQ(letters->x, 0);
  IMG* target = image(4, 4);
  letters->target = target;
  IMGFree(&dots->sheet);
  FONTPutBigChar(letters, dots);
  FONTPutBigChar(letters, nullptr);
  EXPECT_EQ(letters->x, 0);
  EXPECT_EQ(litCount(target), 0);
  FONTFree(&letters);
  FONTFree(&dots);
  IMGFree(&target);
}
