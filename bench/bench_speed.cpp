// The speed goals in one unit: every figure is reported as the counter
// "frame_copies", the cost in 256 KiB memcpys (one 256 x 256 frame of pixel
// words) timed in the same process between the iterations of the benchmark
// (see CopyClock). SpeedFrameCopy below reports that unit on its own.
//
// Scene benchmarks draw every frame of a scene's whole run (no pacing, no
// presentation) and report the average cost of one frame; the scene's own
// start and stop are left out. SpeedLogosReadOnly only reads what the logo
// frames blend: the least a logo frame can cost on the machine at hand. The
// start-up benchmark runs TORVELINInit on the headless backend, the logo
// set-up benchmark TORVELINLogosStart.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "bench_stage.hpp"
#include "core/cpu.hpp"
#include "core/rnd.hpp"
#include "core/sintable.hpp"
#include "driver/scene_table.hpp"
#include "driver/torvelin.hpp"
#include "image/img.hpp"
#include "platform/headless.hpp"

#if TORVELIN_CPU_DISPATCH
#include <immintrin.h>
#endif

namespace {

constexpr size_t kFrameBytes = 256 * 1024;

// Thread CPU time, which is what the benchmark library times by default;
// other processes on the machine then cost the measurement little.
double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Two page-aligned 256 KiB buffers. Some processors copy many times slower
// when the destination sits a few bytes past the source's alignment, so
// the unit is taken with both aligned alike.
struct FrameBuffers {
  struct Release {
    void operator()(unsigned char* p) const { std::free(p); }
  };
  using Buffer = std::unique_ptr<unsigned char[], Release>;
  static Buffer Make(unsigned char fill) {
    Buffer buffer(static_cast<unsigned char*>(std::aligned_alloc(4096, kFrameBytes)));
    std::memset(buffer.get(), fill, kFrameBytes);
    return buffer;
  }
  Buffer from = Make(0x5a);
  Buffer to = Make(0);
};

// Times batches of 256 KiB memcpys. The machine's pace drifts while a
// benchmark runs (other work on a shared host), so a batch is timed before
// the first iteration and again after every iteration, and the unit is the
// median batch: the copies see the same conditions as the work they
// measure, and one disturbed batch does not move the unit.
class CopyClock {
 public:
  CopyClock() {
    for (int b = 0; b < kFirstBatches; ++b) Sample();
  }

  // The work measured in between has pushed the buffers out of the caches:
  // a few untimed copies bring them back, so that every batch times a copy
  // within the cache, as the first ones do.
  void Sample() {
    for (int i = 0; i < kWarmingCopies; ++i) Copy(i);
    const double start = CpuSeconds();
    for (int i = 0; i < kCopiesPerBatch; ++i) Copy(i);
    batches_.push_back((CpuSeconds() - start) / kCopiesPerBatch);
  }

  double Seconds() {
    std::vector<double> sorted = batches_;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    return sorted[sorted.size() / 2];
  }

 private:
  static constexpr int kFirstBatches = 15;
  static constexpr int kCopiesPerBatch = 100;
  static constexpr int kWarmingCopies = 10;

  void Copy(int i) {
    buffers_.from.get()[i] = static_cast<unsigned char>(i);  // keeps each copy live
    std::memcpy(buffers_.to.get(), buffers_.from.get(), kFrameBytes);
    benchmark::DoNotOptimize(buffers_.to.get());
    benchmark::ClobberMemory();
  }

  FrameBuffers buffers_;
  std::vector<double> batches_;
};

// Accumulates the measured part of every iteration and turns it into the
// frame_copies counter: measured seconds per unit of work / one copy.
struct CopyMeter {
  CopyClock copies;
  double measured = 0;
  double start = 0;

  void Begin() { start = CpuSeconds(); }
  void End() { measured += CpuSeconds() - start; }
  // Times one more batch of copies; called with the timing paused.
  void Between() { copies.Sample(); }
  void Report(benchmark::State& state, double unitsPerIteration) {
    const double units = unitsPerIteration * static_cast<double>(state.iterations());
    const double copySeconds = copies.Seconds();
    state.counters["frame_copies"] = units > 0 ? measured / units / copySeconds : 0;
    state.counters["copy_us"] = copySeconds * 1e6;
  }
};

// One iteration is one whole run of a scene: start and stop untimed, every
// frame's drawing timed.
template <class Start, class DrawRun, class Stop>
void WholeRun(benchmark::State& state, int frames, Start start, DrawRun drawRun, Stop stop) {
  BenchStage stage;
  CopyMeter meter;
  for (auto _ : state) {
    state.PauseTiming();
    start();
    state.ResumeTiming();
    meter.Begin();
    drawRun();
    meter.End();
    benchmark::DoNotOptimize(TORVELINFrame->pixels);
    benchmark::ClobberMemory();
    state.PauseTiming();
    stop();
    meter.Between();
    state.ResumeTiming();
  }
  meter.Report(state, frames);
}

void SpeedFrameCopy(benchmark::State& state) {
  FrameBuffers buffers;
  for (auto _ : state) {
    std::memcpy(buffers.to.get(), buffers.from.get(), kFrameBytes);
    benchmark::DoNotOptimize(buffers.to.get());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kFrameBytes));
}
BENCHMARK(SpeedFrameCopy);

// The tile scene's chain, 8 to 71 sprites (39.5 on average), is drawn at
// random each run and moves the cost of a frame most, so the mean length of
// the runs measured is reported beside the cost as "sprites".
int64_t spritesDrawn = 0;

// Every frame of one whole run of a scene of the loop.
void SpeedSceneFrame(benchmark::State& state, const TORVELINScene* scene) {
  spritesDrawn = 0;
  WholeRun(
      state, scene->frames,
      [scene] {
        if (scene->start != nullptr) scene->start();
        spritesDrawn += TORVELINCarry.spriteCount;
      },
      [scene] {
        for (int f = 0; f < scene->frames; ++f) scene->draw(f);
      },
      [scene] {
        if (scene->stop != nullptr) scene->stop();
      });
  if (scene->start == TORVELINTileSceneStart)
    state.counters["sprites"] = static_cast<double>(spritesDrawn) / static_cast<double>(state.iterations());
}

// SpeedSceneFrame/lasers and so on, in the loop's order.
[[maybe_unused]] const bool kScenesRegistered = [] {
  for (const TORVELINScene& scene : TORVELINScenes) {
    benchmark::internal::Benchmark* run =
        benchmark::RegisterBenchmark((std::string("SpeedSceneFrame/") + scene.name).c_str(), SpeedSceneFrame, &scene);
    run->Unit(benchmark::kMillisecond);
    if (scene.start == TORVELINTileSceneStart) run->Iterations(8);
  }
  return true;
}();

#if TORVELIN_CPU_DISPATCH
// Reads words [0, n) of a row into four running ORs, which keeps the loads
// from waiting on each other, and asks for the next row's lines meanwhile,
// as the blits do; the last few words of the row are left out.
TORVELIN_TARGET_AVX2 void ReadRow(const uint32_t* row, const uint32_t* next, int n, __m256i (&seen)[4]) {
  for (int i = 0; i + 32 <= n; i += 32) {
    _mm_prefetch(reinterpret_cast<const char*>(next + i), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(next + i + 16), _MM_HINT_T0);
    for (int k = 0; k < 4; ++k)
      seen[k] = _mm256_or_si256(seen[k], _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + i + 8 * k)));
  }
}

// What no logo frame can go below on this machine: reading, and doing
// nothing else with, the part of each copy that a frame blends (copy i
// stands at the scene's swing and 96 - 32 i rows down), in the same order.
void SpeedLogosReadOnly(benchmark::State& state) {
  if (CPUVectorLevel() < CPULevel::avx2) {
    state.SkipWithError("needs AVX2");
    return;
  }
  __m256i seen[4] = {};
  WholeRun(
      state, TORVELINLogoFrames, [] { TORVELINLogosStart(); },
      [&seen] {
        for (int n = TORVELINLogoFrames; n >= 1; --n) {
          const int32_t v = SinTable[(2 * n) & SinTableMask];
          for (int i = 0; i < TORVELINLogoCopyCount; ++i) {
            const IMG* copy = TORVELINLogoCopies[i];
            const int x = TORVELINLogoSwingX(v, copy->width), y = 96 - 32 * i;
            const int left = std::max(0, -x), right = std::min(copy->width, TORVELINWidth - x);
            const int top = std::max(0, -y), bottom = std::min(copy->height, TORVELINHeight - y);
            for (int row = top; row < bottom && left < right; ++row) {
              const uint32_t* words = copy->pixels + int64_t{row} * copy->width + left;
              ReadRow(words, row + 1 < bottom ? words + copy->width : words, right - left, seen);
            }
          }
        }
      },
      [] { TORVELINLogosStop(); });
  benchmark::DoNotOptimize(seen);
}
BENCHMARK(SpeedLogosReadOnly)->Unit(benchmark::kMillisecond);
#endif

// Scaling and tinting the eight logo copies.
void SpeedLogosSetUp(benchmark::State& state) {
  BenchStage stage;
  CopyMeter meter;
  for (auto _ : state) {
    meter.Begin();
    TORVELINLogosStart();
    meter.End();
    benchmark::DoNotOptimize(TORVELINLogoCopies[7]->pixels);
    state.PauseTiming();
    TORVELINLogosStop();
    meter.Between();
    state.ResumeTiming();
  }
  meter.Report(state, 1);
}
BENCHMARK(SpeedLogosSetUp)->Unit(benchmark::kMillisecond);

// Everything before the first frame: seed, window, keyboard, frame image,
// pictures and fonts, texts and stars, sound output and music, pacing.
void SpeedStartUp(benchmark::State& state) {
  CopyMeter meter;
  for (auto _ : state) {
    state.PauseTiming();
    HEADLESSReset();
    state.ResumeTiming();
    meter.Begin();
    TORVELINInit();
    meter.End();
    benchmark::DoNotOptimize(TORVELINFrame->pixels);
    state.PauseTiming();
    TORVELINShutdown();
    HEADLESSReset();
    meter.Between();
    state.ResumeTiming();
  }
  meter.Report(state, 1);
}
BENCHMARK(SpeedStartUp)->Unit(benchmark::kMillisecond);

}  // namespace
