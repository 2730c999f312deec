// The pictures and fonts the start-up builds from the embedded data.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "core/rnd.hpp"
#include "driver/torvelin.hpp"
#include "driver_fixture.hpp"
#include "image/img.hpp"
#include "text/font.hpp"

namespace {

using TORVELINPictureSetUp = Driver;

std::set<uint32_t> Values(const IMG* img) {
  std::set<uint32_t> values;
  for (int64_t i = 0; i < int64_t{img->width} * img->height; ++i) values.insert(img->pixels[i]);
  return values;
}

void ExpectFont(const FONT* font, int sheetWidth, int sheetHeight, int glyphWidth, int glyphHeight) {
  ASSERT_NE(font, nullptr);
  ASSERT_NE(font->sheet, nullptr);
  EXPECT_EQ(font->sheet->width, sheetWidth);
  EXPECT_EQ(font->sheet->height, sheetHeight);
  EXPECT_EQ(font->glyphWidth, glyphWidth);
  EXPECT_EQ(font->glyphHeight, glyphHeight);
}

TEST_F(TORVELINPictureSetUp, BuildsEveryPictureAndFontAtItsSize) {
  ASSERT_NE(TORVELINLogo, nullptr);
  EXPECT_EQ(TORVELINLogo->width, 1024);
  EXPECT_EQ(TORVELINLogo->height, 256);
  ASSERT_NE(TORVELINWideLogo, nullptr);
  EXPECT_EQ(TORVELINWideLogo->width, 2048);
  EXPECT_EQ(TORVELINWideLogo->height, 256);
  ExpectFont(TORVELINWordFont, 1024, 640, 32, 64);
  ExpectFont(TORVELINSmallFont, 256, 80, 8, 8);
  ExpectFont(TORVELINScrollerFont, 100, 6800, 100, 200);
  ExpectFont(TORVELINTileFont, 32, 384, 32, 32);
  ExpectFont(TORVELINSparkleFont, 1024, 32, 32, 32);
  ExpectFont(TORVELINBobFont, 32, 224, 32, 32);
  ASSERT_NE(TORVELINStrip, nullptr);
  EXPECT_EQ(TORVELINStrip->width, 256);
  EXPECT_EQ(TORVELINStrip->height, 2304);
}

TEST_F(TORVELINPictureSetUp, TheLogoIsWhiteLettersOnBlackAndTheWideLogoItsDarkDouble) {
  EXPECT_EQ(Values(TORVELINLogo), (std::set<uint32_t>{0u, 0xffffffu}));
  EXPECT_EQ(Values(TORVELINWideLogo), (std::set<uint32_t>{0u, 0x171717u}));
  // Every logo pixel became two side by side.
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 2048; ++x) {
      const uint32_t expected = IMGGetPixel(TORVELINLogo, x / 2, y) != 0 ? 0x171717u : 0u;
      ASSERT_EQ(IMGGetPixel(TORVELINWideLogo, x, y), expected) << x << "," << y;
    }
}

TEST_F(TORVELINPictureSetUp, WordFontCellsAreTheSmallFontCellsEnlargedFourByEight) {
  const IMG* big = TORVELINWordFont->sheet;
  const IMG* small = TORVELINSmallFont->sheet;
  int lit = 0;
  for (int code = 0; code < 320; ++code) {
    // Cell n of the word font starts at column 32n mod 1024, row 64 floor(32n / 1024).
    const int left = (32 * code) % 1024;
    const int top = 64 * ((32 * code) / 1024);
    const int smallLeft = 8 * (code % 32);
    const int smallTop = 8 * (code / 32);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 32; ++x) {
        const uint32_t want = IMGGetPixel(small, smallLeft + x / 4, smallTop + y / 8);
        ASSERT_EQ(IMGGetPixel(big, left + x, top + y), want) << "code " << code << " at " << x << "," << y;
        lit += want != 0;
      }
  }
  EXPECT_GT(lit, 0);
}

TEST_F(TORVELINPictureSetUp, TheWordFontDrawsAGlyphFromItsCell) {
  IMG* target = IMGNew();
  IMGAlloc(target, 64, 64);
  TORVELINWordFont->target = target;
  TORVELINWordFont->x = 0;
  TORVELINWordFont->y = 0;
  TORVELINWordFont->ch = 'A';
  FONTPutChar(TORVELINWordFont);
  EXPECT_EQ(TORVELINWordFont->x, 32);
  int lit = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 32; ++x) {
      // 'A' (65) lies at column 32, row 128 of the sheet.
      ASSERT_EQ(IMGGetPixel(target, x, y), IMGGetPixel(TORVELINWordFont->sheet, 32 + x, 128 + y));
      lit += IMGGetPixel(target, x, y) != 0;
    }
  EXPECT_GT(lit, 0);
  TORVELINWordFont->target = nullptr;
  IMGFree(&target);
}

TEST_F(TORVELINPictureSetUp, DrawsNoRandomNumberAndReplacesAnEarlierSet) {
  // The first set stays referenced nowhere after this: the sanitizer run
  // reports it as a leak unless the second set-up released it.
  const uint32_t before = RNDState();
  TORVELINSetUpPictures();
  EXPECT_EQ(RNDState(), before);
  ASSERT_NE(TORVELINLogo, nullptr);
  EXPECT_EQ(Values(TORVELINLogo), (std::set<uint32_t>{0u, 0xffffffu}));
}

TEST_F(TORVELINPictureSetUp, FreeingReleasesEverythingOnce) {
  TORVELINFreePictures();
  EXPECT_EQ(TORVELINLogo, nullptr);
  EXPECT_EQ(TORVELINWideLogo, nullptr);
  EXPECT_EQ(TORVELINWordFont, nullptr);
  EXPECT_EQ(TORVELINSmallFont, nullptr);
  EXPECT_EQ(TORVELINScrollerFont, nullptr);
  EXPECT_EQ(TORVELINTileFont, nullptr);
  EXPECT_EQ(TORVELINSparkleFont, nullptr);
  EXPECT_EQ(TORVELINBobFont, nullptr);
  EXPECT_EQ(TORVELINStrip, nullptr);
  TORVELINFreePictures();  // nothing left: no double free
  TORVELINSetUpPictures();
  EXPECT_NE(TORVELINStrip, nullptr);
}

}  // namespace
