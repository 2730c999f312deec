// Start-up of the texts: the sine scroller's message translated to glyph
// cells, the two scrollers, and the three star layers.
#include <cstdlib>
#include <cstring>

#include "driver/texts.hpp"
#include "driver/torvelin.hpp"
#include "effects/stars.hpp"
#include "image/img.hpp"
#include "text/bytemap.hpp"
#include "text/scroll.hpp"
#include "text/scrollxl.hpp"

namespace {

struct StarLayer {
  int32_t vx;
  uint32_t colour;
};

// Fast, middle and slow, all moving right: 4, 2 and 1 pixels per move.
constexpr StarLayer kStarLayers[TORVELINStarLayers] = {
    {0x40000, 0x80ffffu}, {0x20000, 0xffff80u}, {0x10000, 0x80ff80u}};

// A one-row bytemap that lends its own buffer out for a while: its samples
// point at `borrowed` until the map is handed back, and it is freed with its
// own buffer in place.
struct LentRow {
  BYTEMAP* map;
  uint8_t* own;
  LentRow(uint8_t* borrowed, int width) : map(BYTEMAPNew()), own(nullptr) {
    BYTEMAPAlloc(map, width, 1);
    own = map->samples;
    map->samples = borrowed;
  }
  ~LentRow() {
    map->samples = own;
    BYTEMAPFree(&map);
  }
  LentRow(const LentRow&) = delete;
  LentRow& operator=(const LentRow&) = delete;
};

// A copy of the scroll text, translated in place to scroller glyph cells.
uint8_t* TranslatedMessage() {
  const size_t length = strlen(TORVELINScrollText);
  auto* message = static_cast<uint8_t*>(calloc(length + 1, 1));
  memcpy(message, TORVELINScrollText, length);
  // The table is only read; the bytemap record just has no const buffer.
  LentRow table(const_cast<uint8_t*>(TORVELINGlyphTable.data()), 256);
  LentRow text(message, static_cast<int>(length));
  BYTEMAPTranslate(text.map, table.map);
  return message;
}

void SetUpScrollers() {
  TORVELINScroller = SCROLLNew();
  TORVELINScrollerImage = IMGNew();
  IMGAlloc(TORVELINScrollerImage, TORVELINFrame->width, TORVELINFrame->height);
  SCROLLSet(TORVELINScroller, reinterpret_cast<const char*>(TORVELINMessage), TORVELINScrollerFont,
            TORVELINScrollerImage);
  TORVELINScroller->speed = TORVELINScrollerStartSpeed;

  TORVELINLargeScroller = SCROLLXLNew();
  SCROLLXLSet(TORVELINLargeScroller, TORVELINLargeScrollText, TORVELINSmallFont, TORVELINTileFont,
              TORVELINFrame);
  TORVELINLargeScroller->speed = TORVELINLargeScrollerSpeed;
}

// Each layer scatters 16 stars when made and 64 when resized: 480 draws in
// all, the first of the run.
void SetUpStars() {
  for (int i = 0; i < TORVELINStarLayers; ++i) {
    STARS* layer = STARSNew();
    STARSSetCount(layer, TORVELINStarsPerLayer);
    layer->vx = kStarLayers[i].vx;
    layer->vy = 0;
    layer->colour = kStarLayers[i].colour;
    TORVELINStars[i] = layer;
  }
}

}  // namespace

void TORVELINFreeText() {
  for (STARS*& layer : TORVELINStars) {
    if (layer != nullptr) STARSFree(&layer);
  }
  if (TORVELINLargeScroller != nullptr) SCROLLXLFree(&TORVELINLargeScroller);
  if (TORVELINScroller != nullptr) SCROLLFree(&TORVELINScroller);
  if (TORVELINScrollerImage != nullptr) IMGFree(&TORVELINScrollerImage);
  free(TORVELINMessage);
  TORVELINMessage = nullptr;
}

void TORVELINSetUpText() {
  // A repeated start-up in one process replaces the earlier set.
  TORVELINFreeText();
  TORVELINMessage = TranslatedMessage();
  SetUpScrollers();
  SetUpStars();
}
