// Per-frame cost of the two scrollers and of small-font text, next to
// SpeedFrameCopy (one 256 x 256 frame copied) for scale.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "image/img.hpp"
#include "text/bytemap.hpp"
#include "text/font.hpp"
#include "text/scroll.hpp"
#include "text/scrollxl.hpp"

namespace {

constexpr int frameSide = 256;

IMG* newImage(int w, int h, uint32_t fill) {
  IMG* img = IMGNew();
  IMGAlloc(img, w, h);
  for (int i = 0; i < w * h; ++i) img->pixels[i] = fill;
  return img;
}

FONT* newFont(int glyphW, int glyphH, int sheetW, int sheetH, uint32_t fill) {
  FONT* font = FONTNew();
  font->glyphWidth = glyphW;
  font->glyphHeight = glyphH;
  font->sheet = newImage(sheetW, sheetH, fill);
  return font;
}

// The sine scroller's frame: four 100 x 200 glyphs drawn opaque, then a move.
void ScrollDrawAndMove(benchmark::State& state) {
  FONT* font = newFont(100, 200, 100, 6800, 0x808080);
  IMG* layer = newImage(frameSide, frameSide, 0);
  SCROLL* scroll = SCROLLNew();
  const std::string text(931, '\x05');
  SCROLLSet(scroll, text.c_str(), font, layer);
  scroll->speed = 7;
  for (auto _ : state) {
    SCROLLDraw(scroll);
    SCROLLMove(scroll);
    benchmark::DoNotOptimize(layer->pixels);
    benchmark::ClobberMemory();
  }
  SCROLLFree(&scroll);
  FONTFree(&font);
  IMGFree(&layer);
}
BENCHMARK(ScrollDrawAndMove);

// The large scroller's worst frame: every letter pixel lit, 3 letters of 64
// dots of 32 x 32 each.
void LargeScrollDrawAndMove(benchmark::State& state) {
  FONT* letters = newFont(8, 8, 256, 80, 0xFFFFFF);
  FONT* dots = newFont(32, 32, 32, 384, 0x406080);
  IMG* frame = newImage(frameSide, frameSide, 0);
  SCROLLXL* scroll = SCROLLXLNew();
  SCROLLXLSet(scroll, "TORVELIN ", letters, dots, frame);
  scroll->speed = 9;
  for (auto _ : state) {
    SCROLLXLDraw(scroll);
    SCROLLXLMove(scroll);
    benchmark::DoNotOptimize(frame->pixels);
    benchmark::ClobberMemory();
  }
  SCROLLXLFree(&scroll);
  FONTFree(&letters);
  FONTFree(&dots);
  IMGFree(&frame);
}
BENCHMARK(LargeScrollDrawAndMove);

// A full screen of 8 x 8 text: 32 lines of 32 characters.
void SmallFontScreen(benchmark::State& state) {
  FONT* font = newFont(8, 8, 256, 80, 0xFFFFFF);
  IMG* frame = newImage(frameSide, frameSide, 0);
  font->target = frame;
  const std::string line(32, 'A');
  for (auto _ : state) {
    for (int row = 0; row < 32; ++row) {
      font->x = 0;
      font->y = row * 8;
      FONTPutString(font, line.c_str());
    }
    benchmark::DoNotOptimize(frame->pixels);
    benchmark::ClobberMemory();
  }
  FONTFree(&font);
  IMGFree(&frame);
}
BENCHMARK(SmallFontScreen);

// Decoding a 256 x 256 grey picture from memory.
void BytemapDecodeGrey(benchmark::State& state) {
  std::string data = "P5\n256 256\n255\n";
  for (int i = 0; i < 256 * 256; ++i) data.push_back(static_cast<char>(i * 7));
  for (auto _ : state) {
    BYTEMAP* map = BYTEMAPFromPNMBounded(reinterpret_cast<const unsigned char*>(data.data()),
                                         data.size());
    benchmark::DoNotOptimize(map);
    BYTEMAPFree(&map);
  }
}
BENCHMARK(BytemapDecodeGrey);

}  // namespace
