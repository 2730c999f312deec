// IMG operations next to plain memory traffic of the same size measured in
// the same run: full-frame operations against SpeedFrameCopy (one 256 KiB
// memcpy, in bench_speed.cpp), scaling and
// decoding against memset of the pixels they write.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "image/img.hpp"

namespace {

constexpr int Frame = 256;

IMG* Noise(int w, int h, uint32_t seed) {
  IMG* img = IMGNew();
  IMGAlloc(img, w, h);
  for (int i = 0; i < w * h; ++i) {
    seed = seed * 1664525u + 1013904223u;
    img->pixels[i] = (seed >> 8) & ((i & 7) ? 0xFFFFFFu : 0u);  // some black keys
  }
  return img;
}

struct FramePair {
  IMG* src = Noise(Frame, Frame, 1);
  IMG* dst = Noise(Frame, Frame, 2);
  ~FramePair() {
    IMGFree(&src);
    IMGFree(&dst);
  }
};

template <void (*Op)(const IMG*, IMG*, int, int, int, int, int, int)>
void BM_FrameBlit(benchmark::State& state) {
  FramePair images;
  for (auto _ : state) {
    Op(images.src, images.dst, 0, 0, 0, 0, Frame, Frame);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * Frame * Frame * 4);
}
BENCHMARK(BM_FrameBlit<IMGBlitAddSat>)->Name("IMGBlitAddSat/256x256");
BENCHMARK(BM_FrameBlit<IMGBlitKeyed>)->Name("IMGBlitKeyed/256x256");

void BM_BlendHalf(benchmark::State& state) {
  FramePair images;
  for (auto _ : state) {
    IMGBlendHalf(images.src, images.dst, 0, 0);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * Frame * Frame * 4);
}
BENCHMARK(BM_BlendHalf)->Name("IMGBlendHalf/256x256");

void BM_Subtract(benchmark::State& state) {
  FramePair images;
  for (auto _ : state) {
    IMGSubtract(images.dst, 0x020202);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * Frame * Frame * 4);
}
BENCHMARK(BM_Subtract)->Name("IMGSubtract/256x256");

void BM_Invert(benchmark::State& state) {
  FramePair images;
  for (auto _ : state) {
    IMGInvert(images.dst);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * Frame * Frame * 4);
}
BENCHMARK(BM_Invert)->Name("IMGInvert/256x256");

void BM_Clear(benchmark::State& state) {
  FramePair images;
  for (auto _ : state) {
    IMGClear(images.dst);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * Frame * Frame * 4);
}
BENCHMARK(BM_Clear)->Name("IMGClear/256x256");

// memset of the given number of pixel words: the floor for anything that
// writes that many pixels.
void BM_MemsetPixels(benchmark::State& state) {
  std::vector<uint32_t> words(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    memset(words.data(), 0x5A, words.size() * 4);
    benchmark::DoNotOptimize(words.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
// 3.3 million (eight sizes), 2048 x 256, 1024 x 640 and 100 x 6800 pixels.
BENCHMARK(BM_MemsetPixels)->Arg(3342336)->Arg(2048 * 256)->Arg(1024 * 640)->Arg(100 * 6800);

void BM_ScaleEightSizes(benchmark::State& state) {
  IMG* src = Noise(1024, 256, 3);
  std::vector<IMG*> sizes;
  int64_t pixels = 0;
  for (int k = 1; k <= 8; ++k) {
    IMG* dst = IMGNew();
    IMGAlloc(dst, 256 * k, 64 * k);
    pixels += int64_t{256 * k} * 64 * k;
    sizes.push_back(dst);
  }
  for (auto _ : state) {
    for (IMG* dst : sizes) IMGScale(src, dst);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * pixels);
  state.counters["pixels"] = static_cast<double>(pixels);
  for (IMG* dst : sizes) IMGFree(&dst);
  IMGFree(&src);
}
BENCHMARK(BM_ScaleEightSizes)->Name("IMGScale/1024x256/eight sizes");

void BM_Scale(benchmark::State& state) {
  IMG* src = Noise(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), 4);
  IMG* dst = IMGNew();
  IMGAlloc(dst, static_cast<int>(state.range(2)), static_cast<int>(state.range(3)));
  for (auto _ : state) {
    IMGScale(src, dst);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * state.range(2) * state.range(3));
  IMGFree(&dst);
  IMGFree(&src);
}
BENCHMARK(BM_Scale)->Name("IMGScale/1024x256->2048x256")->Args({1024, 256, 2048, 256});
BENCHMARK(BM_Scale)->Name("IMGScale/256x80->1024x640")->Args({256, 80, 1024, 640});

void BM_FromPNM(benchmark::State& state) {
  constexpr int W = 100, H = 6800;
  std::string data = "P6\n# bench\n" + std::to_string(W) + " " + std::to_string(H) + "\n255\n";
  uint32_t seed = 5;
  for (int i = 0; i < W * H * 3; ++i) {
    seed = seed * 1664525u + 1013904223u;
    data.push_back(static_cast<char>(seed >> 24));
  }
  for (auto _ : state) {
    IMG* img = IMGFromPNM(reinterpret_cast<const unsigned char*>(data.data()));
    benchmark::DoNotOptimize(img);
    IMGFree(&img);
  }
  state.SetItemsProcessed(state.iterations() * W * H);
}
BENCHMARK(BM_FromPNM)->Name("IMGFromPNM/P6 100x6800");

}  // namespace
