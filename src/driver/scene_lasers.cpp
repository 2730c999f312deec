// Laser scene: six beams fan out from the centre into a layer that fades a
// little every frame; every 32 frames a random word is written into a second
// fading layer, which is added onto the beams.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "core/rnd.hpp"
#include "driver/scene_table.hpp"
#include "driver/texts.hpp"
#include "driver/torvelin.hpp"
#include "effects/laser.hpp"
#include "image/img.hpp"
#include "text/font.hpp"

namespace {

IMG* NewLayer() {
  IMG* layer = IMGNew();
  IMGAlloc(layer, TORVELINWidth, TORVELINHeight);
  return layer;
}

// The whole layer onto the frame, word for word.
void CopyOntoFrame(const IMG* layer) {
  const size_t count = static_cast<size_t>(std::min(layer->width, TORVELINFrame->width)) *
                       static_cast<size_t>(std::min(layer->height, TORVELINFrame->height));
  std::copy_n(layer->pixels, count, TORVELINFrame->pixels);
}

}  // namespace

const uint32_t TORVELINLaserColours[TORVELINLaserCount] = {0x00ff00u, 0xff0000u, 0x0088ffu,
                                                           0xff00ffu, 0xffff00u, 0x00ffffu};

IMG* TORVELINTextLayer = nullptr;
IMG* TORVELINLaserLayer = nullptr;
LASER* TORVELINLasers[TORVELINLaserCount] = {};

void TORVELINLasersStart() {
  TORVELINTextLayer = NewLayer();
  TORVELINLaserLayer = NewLayer();
  for (int i = 0; i < TORVELINLaserCount; ++i) {
    LASER* laser = LASERNew();
    LASERInit(laser, TORVELINLaserLayer);
    laser->colour = TORVELINLaserColours[i];
    laser->x0 = TORVELINWidth / 2;
    laser->y0 = TORVELINHeight / 2;
    TORVELINLasers[i] = laser;
  }
  TORVELINWordFont->target = TORVELINTextLayer;
}

void TORVELINLasersWord() {
  FONT* font = TORVELINWordFont;
  const char* word = TORVELINWords()[RNDNext() % TORVELINWordCount()];
  const int width = font->glyphWidth * static_cast<int>(strlen(word));
  // A word as wide as the screen (eight letters) has one place only and
  // draws no number for it.
  const int room = TORVELINWidth - width;
  font->x = room > 0 ? RNDNext() % room : 0;
  font->y = RNDNext() % (TORVELINHeight - font->glyphHeight);
  FONTPutString(font, word);
}

void TORVELINLasersDraw(int f) {
  const int k = TORVELINLaserFrames - 1 - f;
  IMGSubtract(TORVELINLaserLayer, TORVELINLaserFade);
  for (LASER* laser : TORVELINLasers) {
    LASERMove(laser);
    LASERDraw(laser);
  }
  IMGSubtract(TORVELINTextLayer, TORVELINLaserFade);
  if (k % TORVELINWordPeriod == 0) TORVELINLasersWord();
  CopyOntoFrame(TORVELINLaserLayer);
  IMGBlitAddSat(TORVELINTextLayer, TORVELINFrame, 0, 0, 0, 0, TORVELINTextLayer->width,
                TORVELINTextLayer->height);
}

void TORVELINLasersStop() {
  for (LASER*& laser : TORVELINLasers) LASERFree(&laser);
  IMGFree(&TORVELINLaserLayer);
  IMGFree(&TORVELINTextLayer);
  // The font must not keep pointing at the freed layer.
  TORVELINWordFont->target = nullptr;
}
