// Per-frame cost of the raster floor and the six laser beams, next to
// SpeedFrameCopy (one 256 x 256 frame copied) for scale.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "core/rnd.hpp"
#include "effects/laser.hpp"
#include "effects/raster.hpp"
#include "image/img.hpp"

namespace {

constexpr int frameSide = 256;

IMG* NewFrame() {
  IMG* img = IMGNew();
  IMGAlloc(img, frameSide, frameSide);
  return img;
}

void RasterDrawFrame(benchmark::State& state) {
  IMG* frame = NewFrame();
  RASTER* raster = RASTERNew();
  for (int i = 0; i < raster->count; ++i) raster->colours[i] = 0x010101u * static_cast<uint32_t>(i);
  for (auto _ : state) {
    RASTERDraw(raster, frame);
    benchmark::DoNotOptimize(frame->pixels);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * frameSide * frameSide * 4);
  RASTERFree(&raster);
  IMGFree(&frame);
}
BENCHMARK(RasterDrawFrame);

void RasterDrawBlendFrame(benchmark::State& state) {
  IMG* frame = NewFrame();
  RASTER* raster = RASTERNew();
  for (int i = 0; i < raster->count; ++i) raster->colours[i] = 0x010101u * static_cast<uint32_t>(i);
  for (auto _ : state) {
    RASTERDrawBlend(raster, frame, 96);
    benchmark::DoNotOptimize(frame->pixels);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * frameSide * frameSide * 4);
  RASTERFree(&raster);
  IMGFree(&frame);
}
BENCHMARK(RasterDrawBlendFrame);

void SixLasersMoveAndDraw(benchmark::State& state) {
  IMG* layer = NewFrame();
  RNDSeed(0x2EDFADE2u);
  LASER* lasers[6];
  for (LASER*& laser : lasers) {
    laser = LASERNew();
    LASERInit(laser, layer);
    laser->x0 = frameSide / 2;
    laser->y0 = frameSide / 2;
  }
  for (auto _ : state) {
    for (LASER* laser : lasers) {
      LASERMove(laser);
      LASERDraw(laser);
    }
    benchmark::ClobberMemory();
  }
  for (LASER*& laser : lasers) LASERFree(&laser);
  IMGFree(&layer);
}
BENCHMARK(SixLasersMoveAndDraw);

}  // namespace
