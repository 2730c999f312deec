// The PNM readers of both raster kinds, from memory and from a file, and the
// geometry both kinds share: rotation, row wraps, circles, line points and
// step tables.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "image/img.hpp"
#include "text/bytemap.hpp"

namespace {

std::string Noise(size_t n, uint32_t seed) {
  std::string bytes(n, '\0');
  for (char& b : bytes) {
    seed = seed * 1664525u + 1013904223u;
    b = static_cast<char>(seed >> 24);
  }
  return bytes;
}

std::string Picture(int type, int w, int h) {
  const std::string header = "P" + std::to_string(type) + "\n# bench\n" + std::to_string(w) + " " +
                             std::to_string(h) + "\n" + (type == 4 ? "" : "255\n");
  const size_t raster = type == 4 ? size_t((w + 7) / 8) * h : size_t(w) * h * (type == 6 ? 3 : 1);
  if (type == 3) {
    std::string text;
    const std::string bytes = Noise(size_t(w) * h * 3, 9);
    for (unsigned char b : bytes) text += std::to_string(b) + ' ';
    return header + text;
  }
  return header + Noise(raster, 7);
}

// The picture written once to a file in the temporary folder.
struct PictureFile {
  std::string path;
  PictureFile(int type, int w, int h) {
    path = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/torvelin-bench-p" +
           std::to_string(type) + ".pnm";
    const std::string data = Picture(type, w, h);
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(data.data(), 1, data.size(), file);
    std::fclose(file);
  }
  ~PictureFile() { std::remove(path.c_str()); }
};

void ImageLoad(benchmark::State& state) {
  const int type = static_cast<int>(state.range(0));
  PictureFile file(type, 256, 2304);
  for (auto _ : state) {
    IMG* img = IMGLoad(file.path.c_str());
    benchmark::DoNotOptimize(img);
    IMGFree(&img);
  }
  state.SetItemsProcessed(state.iterations() * 256 * 2304);
}
BENCHMARK(ImageLoad)->Name("PNM/IMGLoad/256x2304")->Arg(4)->Arg(6);

void BytemapLoad(benchmark::State& state) {
  const int type = static_cast<int>(state.range(0));
  PictureFile file(type, 256, 256);
  for (auto _ : state) {
    BYTEMAP* map = BYTEMAPLoad(file.path.c_str());
    benchmark::DoNotOptimize(map);
    BYTEMAPFree(&map);
  }
  state.SetItemsProcessed(state.iterations() * 256 * 256);
}
BENCHMARK(BytemapLoad)->Name("PNM/BYTEMAPLoad/256x256")->Arg(3)->Arg(5)->Arg(6);

void BytemapFromMemory(benchmark::State& state) {
  const std::string data = Picture(static_cast<int>(state.range(0)), 256, 256);
  for (auto _ : state) {
    BYTEMAP* map = BYTEMAPFromPNMBounded(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    benchmark::DoNotOptimize(map);
    BYTEMAPFree(&map);
  }
  state.SetItemsProcessed(state.iterations() * 256 * 256);
}
BENCHMARK(BytemapFromMemory)->Name("PNM/BYTEMAPFromPNM/256x256")->Arg(4)->Arg(6);

void ImageFromMemoryPlain(benchmark::State& state) {
  const std::string data = Picture(3, 256, 256);
  for (auto _ : state) {
    IMG* img = IMGFromPNMBounded(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    benchmark::DoNotOptimize(img);
    IMGFree(&img);
  }
  state.SetItemsProcessed(state.iterations() * 256 * 256);
}
BENCHMARK(ImageFromMemoryPlain)->Name("PNM/IMGFromPNM/P3 256x256");

void ImageRotate(benchmark::State& state) {
  const std::string data = Picture(6, 256, 256);
  IMG* src = IMGFromPNMBounded(reinterpret_cast<const unsigned char*>(data.data()), data.size());
  int angle = 0;
  for (auto _ : state) {
    IMG* out = IMGRotate(src, angle += 37);
    benchmark::DoNotOptimize(out);
    IMGFree(&out);
  }
  IMGFree(&src);
}
BENCHMARK(ImageRotate)->Name("transform/IMGRotate/256x256");

void BytemapRotate(benchmark::State& state) {
  const std::string data = Picture(5, 256, 256);
  BYTEMAP* src = BYTEMAPFromPNMBounded(reinterpret_cast<const unsigned char*>(data.data()), data.size());
  int angle = 0;
  for (auto _ : state) {
    BYTEMAP* out = BYTEMAPRotate(src, angle += 37);
    benchmark::DoNotOptimize(out);
    BYTEMAPFree(&out);
  }
  BYTEMAPFree(&src);
}
BENCHMARK(BytemapRotate)->Name("transform/BYTEMAPRotate/256x256");

// Every row of a 256 x 256 picture wrapped into another, then every column.
void ImageWraps(benchmark::State& state) {
  const std::string data = Picture(6, 256, 256);
  IMG* src = IMGFromPNMBounded(reinterpret_cast<const unsigned char*>(data.data()), data.size());
  IMG* dst = IMGClone(src);
  for (auto _ : state) {
    for (int r = 0; r < 256; ++r) IMGCopyRowWrap(src, dst, r, 255 - r, r * 3);
    for (int r = 0; r < 256; ++r) IMGOrRowWrap(src, dst, r, r, -r);
    for (int c = 0; c < 256; ++c) IMGCopyColumnWrap(src, dst, c, 255 - c, c * 5);
    benchmark::ClobberMemory();
  }
  IMGFree(&dst);
  IMGFree(&src);
}
BENCHMARK(ImageWraps)->Name("transform/IMG wraps/256x256");

void BytemapWraps(benchmark::State& state) {
  const std::string data = Picture(5, 256, 256);
  BYTEMAP* src = BYTEMAPFromPNMBounded(reinterpret_cast<const unsigned char*>(data.data()), data.size());
  BYTEMAP* dst = BYTEMAPClone(src);
  for (auto _ : state) {
    for (int r = 0; r < 256; ++r) BYTEMAPCopyRowWrap(src, dst, r, 255 - r, r * 3);
    for (int r = 0; r < 256; ++r) BYTEMAPOrRowWrap(src, dst, r, r, -r);
    for (int c = 0; c < 256; ++c) BYTEMAPCopyColumnWrap(src, dst, c, 255 - c, c * 5);
    benchmark::ClobberMemory();
  }
  BYTEMAPFree(&dst);
  BYTEMAPFree(&src);
}
BENCHMARK(BytemapWraps)->Name("transform/BYTEMAP wraps/256x256");

void Circles(benchmark::State& state) {
  IMG* img = IMGNew();
  IMGAlloc(img, 256, 256);
  BYTEMAP* map = BYTEMAPNew();
  BYTEMAPAlloc(map, 256, 256);
  for (auto _ : state) {
    for (int r = 1; r < 200; r += 3) {
      IMGDrawCircle(img, 128, 128, r, 0xFFFFFFu);
      BYTEMAPDrawCircle(map, 128, 128, r, 255);
    }
    benchmark::ClobberMemory();
  }
  BYTEMAPFree(&map);
  IMGFree(&img);
}
BENCHMARK(Circles)->Name("transform/IMG and BYTEMAP circles");

void LinesAndSteps(benchmark::State& state) {
  for (auto _ : state) {
    for (int k = 1; k < 256; k += 5) {
      int* a = IMGLinePoints(0, 0, 1000, k);
      int* b = BYTEMAPLinePoints(0, 0, k, 1000);
      int* c = IMGStepTable(1000, k);
      int* d = BYTEMAPStepTable(k, 1000);
      benchmark::DoNotOptimize(a[1] + b[1] + c[0] + d[0]);
      std::free(a);
      std::free(b);
      std::free(c);
      std::free(d);
    }
  }
}
BENCHMARK(LinesAndSteps)->Name("transform/line points and step tables");

}  // namespace
