// Per-frame cost of the scroller and tile scenes (drawing only: no pacing,
// no presentation) and of the text set-up, next to SpeedFrameCopy (one 256 KiB
// memcpy, a frame of pixel words) in the same run for scale.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench_stage.hpp"
#include "core/rnd.hpp"
#include "driver/scene_table.hpp"
#include "driver/torvelin.hpp"
#include "image/img.hpp"
#include "text/font.hpp"

namespace {

void ScrollerSceneFrame(benchmark::State& state) {
  BenchStage stage;
  for (auto _ : state) {
    TORVELINScrollerSceneDraw(0);
    benchmark::DoNotOptimize(TORVELINFrame->pixels);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(ScrollerSceneFrame);

// Frames of a whole run in turn, so the wall, the logo, the bounce and the
// chain pass through all their positions; arg 1 is a negative-letter run.
void TileSceneFrame(benchmark::State& state) {
  BenchStage stage;
  const bool negative = state.range(0) != 0;
  TORVELINTileChoices = {3, 7, negative ? 0 : 9};
  TORVELINTileFont->target = TORVELINFrame;
  if (negative) IMGInvert(TORVELINSmallFont->sheet);
  TORVELINCarry.spriteCount = 40;
  int f = 0;
  for (auto _ : state) {
    TORVELINTileSceneDraw(f);
    f = (f + 1) % TORVELINTileSceneFrames;
    benchmark::DoNotOptimize(TORVELINFrame->pixels);
    benchmark::ClobberMemory();
  }
  if (negative) IMGInvert(TORVELINSmallFont->sheet);
}
BENCHMARK(TileSceneFrame)->Arg(0)->Arg(1);

// The chain at its longest: 71 sprites.
void TileSceneFrameLongestChain(benchmark::State& state) {
  BenchStage stage;
  TORVELINTileChoices = {3, 7, 9};
  TORVELINTileFont->target = TORVELINFrame;
  TORVELINCarry.spriteCount = 71;
  int f = 0;
  for (auto _ : state) {
    TORVELINTileSceneDraw(f);
    f = (f + 1) % TORVELINTileSceneFrames;
    benchmark::DoNotOptimize(TORVELINFrame->pixels);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(TileSceneFrameLongestChain);

void TextSetUp(benchmark::State& state) {
  BenchStage stage;
  for (auto _ : state) {
    RNDSeed(TORVELINSeed);
    TORVELINSetUpText();
    benchmark::DoNotOptimize(TORVELINMessage);
  }
}
BENCHMARK(TextSetUp);

}  // namespace
