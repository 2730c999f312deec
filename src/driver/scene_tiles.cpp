// The tile scene: a wall of tiles scrolling left, the wide logo gliding over
// it, the giant-letter scroller bouncing on top, and a chain of sprites on a
// path of two sines per axis.
#include "core/rnd.hpp"
#include "core/sintable.hpp"
#include "driver/scene_table.hpp"
#include "driver/torvelin.hpp"
#include "image/img.hpp"
#include "text/font.hpp"
#include "text/scrollxl.hpp"

namespace {

constexpr int32_t kTile = 32;         // tile and sprite cells are 32 x 32
constexpr int kTileKinds = 12;
constexpr int kSpritePictures = 7;
constexpr int32_t kWideLogoWidth = 2048;
constexpr int32_t kWideLogoHeight = 256;
constexpr int32_t kHalfSine = 511;    // first half of the table: no negatives
// The wide logo's left edge swings this far either way of its rest column:
// from -2176 to 383.
constexpr int32_t kWideLogoSwing = 1280;
constexpr int32_t kWideLogoRestX = -896;

void SetGlyph(FONT* font, int32_t ch) {
  if (font != nullptr) font->ch = ch;
}

void InvertSmallFont() {
  if (TORVELINSmallFont != nullptr) IMGInvert(TORVELINSmallFont->sheet);
}

// Rows from the bottom up, columns from the right; n slides the wall one
// pixel left per frame and the 32-pixel period hides the jump back.
void DrawTileWall(const TORVELINTileRun& run, int n) {
  FONT* tiles = TORVELINTileFont;
  if (tiles == nullptr) return;
  tiles->ch = run.tileA;
  for (int32_t y = TORVELINHeight - kTile; y >= -kTile; y -= kTile) {
    for (int32_t x = TORVELINWidth + n % kTile - kTile; x >= -kTile; x -= kTile) {
      tiles->x = x;
      tiles->y = y;
      FONTPutCharOpaque(tiles);
    }
  }
}

// Crosses the screen and back every 1024 frames, brightening what it covers.
void DrawWideLogo(int n) {
  const int32_t v = SinTable[n % SinTableLength];
  const int32_t dx = ((v * kWideLogoSwing) >> 15) + kWideLogoRestX;
  IMGBlitAddSat(TORVELINWideLogo, TORVELINFrame, 0, 0, dx, 0, kWideLogoWidth, kWideLogoHeight);
}

// Bounces between rows 40 and -7; a negative run stays at the top.
void DrawLargeScroller(const TORVELINTileRun& run, int n) {
  SCROLLXL* scroller = TORVELINLargeScroller;
  if (scroller == nullptr) return;
  scroller->y = run.upright != 0 ? 40 - ((SinTable[(5 * n) % (kHalfSine + 1)] * 48) >> 15) : 0;
  SetGlyph(TORVELINTileFont, run.tileB);
  SCROLLXLDraw(scroller);
  SCROLLXLMove(scroller);
}

// Each sprite is drawn keyed and then added once more on top, which doubles
// its colours (saturating).
void DrawSpriteChain() {
  FONT* bobs = TORVELINBobFont;
  if (bobs == nullptr) return;
  bobs->target = TORVELINFrame;
  int32_t p[4];
  TORVELINWave* waves = TORVELINCarry.waves;
  for (int w = 0; w < 4; ++w) {
    p[w] = waves[w].phase;
    // Only the low ten bits are ever read, so the stored phase is kept there.
    waves[w].phase = (waves[w].phase + waves[w].stepPerFrame) & SinTableMask;
  }
  for (int32_t j = 0; j < TORVELINCarry.spriteCount; ++j) {
    const int32_t picture = j % kSpritePictures;
    bobs->ch = picture;
    const TORVELINPoint at = TORVELINSpritePosition(p[0], p[1], p[2], p[3]);
    bobs->x = at.x;
    bobs->y = at.y;
    for (int w = 0; w < 4; ++w) p[w] += waves[w].stepPerSprite;
    FONTPutChar(bobs);
    IMGBlitAddSat(bobs->sheet, TORVELINFrame, 0, kTile * picture, at.x, at.y, kTile, kTile);
  }
}

}  // namespace

TORVELINTileRun TORVELINTileChoices = {};

TORVELINPoint TORVELINSpritePosition(int32_t p1, int32_t p2, int32_t p3, int32_t p4) {
  const auto sum = [](int32_t a, int32_t b, int32_t amplitudeA, int32_t amplitudeB) {
    return (SinTable[a & SinTableMask] * amplitudeA + SinTable[b & SinTableMask] * amplitudeB) >> 15;
  };
  const TORVELINWave* waves = TORVELINCarry.waves;
  return {sum(p1, p2, waves[0].amplitude, waves[1].amplitude) + TORVELINWidth / 2 - kTile / 2,
          sum(p3, p4, waves[2].amplitude, waves[3].amplitude) + TORVELINHeight / 2 - kTile / 2};
}

void TORVELINTileSceneStart() {
  TORVELINCarry.spriteCount = (RNDNext() & 63) + 8;
  for (TORVELINWave& wave : TORVELINCarry.waves) wave.stepPerSprite = (RNDNext() & 31) + 16;
  TORVELINTileRun run{};
  run.tileA = RNDNext() % kTileKinds;
  if (TORVELINTileFont != nullptr) {
    TORVELINTileFont->ch = run.tileA;
    TORVELINTileFont->target = TORVELINFrame;
  }
  do {
    run.tileB = RNDNext() % kTileKinds;
  } while (run.tileB == run.tileA);
  run.upright = RNDNext() & 31;
  if (run.upright == 0) InvertSmallFont();
  TORVELINTileChoices = run;
}

void TORVELINTileSceneDraw(int f) {
  const int n = TORVELINTileSceneFrames - f;
  const TORVELINTileRun& run = TORVELINTileChoices;
  DrawTileWall(run, n);
  DrawWideLogo(n);
  DrawLargeScroller(run, n);
  DrawSpriteChain();
}

void TORVELINTileSceneStop() {
  if (TORVELINTileChoices.upright == 0) InvertSmallFont();
}
