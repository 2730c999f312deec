// Costs of the sound path: one music rebuild, one device buffer through the
// callback, and the music's per-frame buffer passes.
#include <benchmark/benchmark.h>

#include <vector>

#include "audio/bank.hpp"
#include "audio/music.hpp"
#include "audio/sample.hpp"
#include "audio/sdlsnd.hpp"
#include "containers/array.hpp"
#include "core/rnd.hpp"

static void BM_MusicRebuild(benchmark::State& state) {
  MUSIC* music = MUSICNew();
  for (int i = 0; i < TORVELINBankSize; ++i) MUSICAddSample(music, &TORVELINBank[i]);
  RNDSeed(786410978u);
  for (auto _ : state) {
    music->countdown = 1;
    MUSICUpdate(music);
    benchmark::DoNotOptimize(music->output->values[0]);
  }
  MUSICFree(&music);
}
BENCHMARK(BM_MusicRebuild);

static void BM_CallbackDeviceBuffer(benchmark::State& state) {
  // A bare record: the callback only needs the queue.
  SDLSND snd{44100, 16, 0, ARRAYNew(), 's', 'l', 0};
  SAMPLE* loop = SAMPLENew();
  SAMPLESetLength(loop, 40000);
  std::vector<uint8_t> stream(8192);
  for (auto _ : state) {
    if (snd.queue->count < 2) ARRAYPush(snd.queue, loop);
    SDLSNDCallback(&snd, stream.data(), static_cast<int>(stream.size()));
    benchmark::DoNotOptimize(stream.data());
  }
  state.SetItemsProcessed(state.iterations() * 4096);
  ARRAYFree(&snd.queue);
  SAMPLEFree(&loop);
}
BENCHMARK(BM_CallbackDeviceBuffer);

static void BM_SampleRotateRight(benchmark::State& state) {
  SAMPLE* s = SAMPLENew();
  SAMPLESetLength(s, 40000);
  for (auto _ : state) {
    SAMPLERotateRight(s, 2500);
    benchmark::DoNotOptimize(s->values);
  }
  SAMPLEFree(&s);
}
BENCHMARK(BM_SampleRotateRight);
