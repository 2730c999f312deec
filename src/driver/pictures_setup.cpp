// Decoding the embedded pictures into the logo, the wide logo, the six fonts
// and the animation strip.
#include <initializer_list>

#include "driver/pictures.hpp"
#include "driver/torvelin.hpp"
#include "image/img.hpp"
#include "text/font.hpp"

namespace {

// The 8 x 8 character sheet grows four times wider and eight times taller
// into the word font's 32 x 64 cells.
constexpr int kWordScaleX = 4;
constexpr int kWordScaleY = 8;
constexpr uint32_t kWideLogoDarken = 0xe8e8e8u;

IMG* Decode(TORVELINPicture which) {
  return IMGFromPNMBounded(TORVELINPictures[which], TORVELINPictureSizes[which]);
}

FONT* NewFont(IMG* sheet, int glyphWidth, int glyphHeight) {
  FONT* font = FONTNew();
  font->sheet = sheet;
  font->glyphWidth = glyphWidth;
  font->glyphHeight = glyphHeight;
  return font;
}

IMG* NewWideLogo(const IMG* logo) {
  IMG* wide = IMGNew();
  IMGAlloc(wide, 2 * logo->width, logo->height);
  IMGScale(logo, wide);
  IMGSubtract(wide, kWideLogoDarken);
  return wide;
}

FONT* NewWordFont() {
  IMG* characters = Decode(TORVELINPictureCharacters);
  IMG* sheet = IMGNew();
  IMGAlloc(sheet, kWordScaleX * characters->width, kWordScaleY * characters->height);
  IMGScale(characters, sheet);
  IMGFree(&characters);
  return NewFont(sheet, 8 * kWordScaleX, 8 * kWordScaleY);
}

}  // namespace

void TORVELINFreePictures() {
  for (IMG** image : {&TORVELINLogo, &TORVELINWideLogo, &TORVELINStrip}) {
    if (*image != nullptr) IMGFree(image);
  }
  for (FONT** font : {&TORVELINWordFont, &TORVELINSmallFont, &TORVELINScrollerFont, &TORVELINTileFont,
                      &TORVELINSparkleFont, &TORVELINBobFont}) {
    if (*font != nullptr) FONTFree(font);
  }
}

void TORVELINSetUpPictures() {
  // A second start-up in the same process (the tests make many) replaces the
  // set it made before instead of losing it.
  TORVELINFreePictures();

  TORVELINLogo = Decode(TORVELINPictureLogo);
  IMGInvert(TORVELINLogo);
  TORVELINWideLogo = NewWideLogo(TORVELINLogo);
  TORVELINWordFont = NewWordFont();
  TORVELINSmallFont = NewFont(Decode(TORVELINPictureCharacters), 8, 8);
  TORVELINScrollerFont = NewFont(Decode(TORVELINPictureScrollerFont), 100, 200);
  TORVELINTileFont = NewFont(Decode(TORVELINPictureTiles), 32, 32);
  TORVELINSparkleFont = NewFont(Decode(TORVELINPictureSparkles), 32, 32);
  TORVELINBobFont = NewFont(Decode(TORVELINPictureBobs), 32, 32);
  TORVELINStrip = Decode(TORVELINPictureStrip);
}
