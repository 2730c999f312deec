// The scroller scene: the sine scroller's big glyphs over the raster floor,
// with sixteen sparkles twinkling behind them.
#include "core/rnd.hpp"
#include "driver/scene_table.hpp"
#include "driver/texts.hpp"
#include "driver/torvelin.hpp"
#include "effects/raster.hpp"
#include "image/img.hpp"
#include "text/font.hpp"
#include "text/scroll.hpp"

namespace {

// A sparkle's animation has this many steps; an older one is invisible.
constexpr int32_t kSparkleSteps = 32;
// Sparkle cells are 32 x 32: placing them 16 pixels before the edge lets
// them straddle the top and left borders.
constexpr int32_t kSparkleInset = 16;

// Every sparkle draws one number per frame; an old one is placed anew with
// a chance of 1 in 16, which draws two more.
void StepSparkle(TORVELINSparkle& sparkle) {
  sparkle.c += 1;
  const int r = RNDNext();
  if (sparkle.c >= kSparkleSteps && (r & 15) == 0) {
    sparkle.x = RNDNext() % TORVELINWidth - kSparkleInset;
    sparkle.y = RNDNext() % TORVELINHeight - kSparkleInset;
    sparkle.c = 0;
  }
}

void DrawSparkles() {
  FONT* font = TORVELINSparkleFont;
  if (font != nullptr) font->target = TORVELINFrame;
  for (TORVELINSparkle& sparkle : TORVELINCarry.sparkles) {
    StepSparkle(sparkle);
    if (font == nullptr) continue;
    font->x = sparkle.x;
    font->y = sparkle.y;
    font->ch = sparkle.c;
    FONTPutChar(font);
  }
}

// The scroller paints opaque cells into its own layer; the keyed copy lets
// the floor and the sparkles show around the glyphs.
void DrawScroller() {
  IMG* layer = TORVELINScrollerImage;
  IMGClear(layer);
  SCROLLDraw(TORVELINScroller);
  SCROLLMove(TORVELINScroller);
  if (layer != nullptr) IMGBlitKeyed(layer, TORVELINFrame, 0, 0, 0, 0, layer->width, layer->height);
}

}  // namespace

// Every frame is drawn alike: the scene needs no counter.
void TORVELINScrollerSceneDraw(int) {
  RASTERDraw(&TORVELINFloorRaster, TORVELINFrame);
  DrawSparkles();
  DrawScroller();
}
