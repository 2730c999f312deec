// Per-frame cost of the laser, logo and noise scenes (drawing only: no
// pacing, no presentation), the picture set-up and the logo scene's start,
// next to SpeedFrameCopy (one 256 KiB memcpy, a frame of pixel words) for
// scale.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench_stage.hpp"
#include "core/rnd.hpp"
#include "driver/scene_table.hpp"
#include "driver/torvelin.hpp"
#include "image/img.hpp"

namespace {

void LaserSceneFrame(benchmark::State& state) {
  BenchStage stage;
  TORVELINLasersStart();
  int f = 0;
  for (auto _ : state) {
    TORVELINLasersDraw(f);
    f = (f + 1) % TORVELINLaserFrames;
    benchmark::DoNotOptimize(TORVELINFrame->pixels);
    benchmark::ClobberMemory();
  }
  TORVELINLasersStop();
}
BENCHMARK(LaserSceneFrame);

void LogoSceneFrame(benchmark::State& state) {
  BenchStage stage;
  TORVELINLogosStart();
  int f = 0;
  for (auto _ : state) {
    TORVELINLogosDraw(f);
    f = (f + 1) % TORVELINLogoFrames;
    benchmark::DoNotOptimize(TORVELINFrame->pixels);
    benchmark::ClobberMemory();
  }
  TORVELINLogosStop();
}
BENCHMARK(LogoSceneFrame);

void NoiseSceneFrame(benchmark::State& state) {
  BenchStage stage;
  int i = 0;
  for (auto _ : state) {
    TORVELINNoiseDraw(i);
    i = (i + 1) % TORVELINNoiseFrames;
    benchmark::DoNotOptimize(TORVELINFrame->pixels);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(NoiseSceneFrame);

void NoiseFillFrame(benchmark::State& state) {
  BenchStage stage;
  for (auto _ : state) {
    TORVELINNoiseFill(TORVELINFrame, 0x8040c0u);
    benchmark::DoNotOptimize(TORVELINFrame->pixels);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * int64_t{TORVELINWidth} * TORVELINHeight);
}
BENCHMARK(NoiseFillFrame);

// Resampling and tinting the eight copies (about 3.3 million pixels).
void LogoSceneStartAndStop(benchmark::State& state) {
  BenchStage stage;
  for (auto _ : state) {
    TORVELINLogosStart();
    benchmark::DoNotOptimize(TORVELINLogoCopies[7]->pixels);
    TORVELINLogosStop();
  }
}
BENCHMARK(LogoSceneStartAndStop)->Unit(benchmark::kMillisecond);

void PictureSetUp(benchmark::State& state) {
  BenchStage stage;
  for (auto _ : state) {
    TORVELINSetUpPictures();  // releases the previous set first
    benchmark::DoNotOptimize(TORVELINStrip->pixels);
  }
}
BENCHMARK(PictureSetUp)->Unit(benchmark::kMillisecond);

}  // namespace
