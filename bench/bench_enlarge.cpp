// The presentation's enlargement of the 256 x 256 frame by 2, 3, 4 and 8,
// next to one memcpy of its output size (a "frame copy" of the enlarged
// picture) measured in the same run. Enlarge/N divided by OutputCopy/N is
// the enlargement's cost in frame copies.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "image/img_enlarge.hpp"

namespace {

constexpr int Frame = 256;

std::vector<uint32_t> FrameWords() {
  std::vector<uint32_t> words(Frame * Frame);
  uint32_t seed = 7;
  for (auto& w : words) {
    seed = seed * 1664525u + 1013904223u;
    w = seed >> 8;
  }
  return words;
}

size_t OutputWords(int factor) { return static_cast<size_t>(Frame * factor) * (Frame * factor); }

void BM_Enlarge(benchmark::State& state) {
  const int factor = static_cast<int>(state.range(0));
  const std::vector<uint32_t> frame = FrameWords();
  std::vector<uint32_t> target(OutputWords(factor));
  for (auto _ : state) {
    IMGEnlargeWords(frame.data(), Frame, Frame, Frame, factor, target.data(),
                    static_cast<size_t>(Frame) * factor * 4);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * OutputWords(factor) * 4));
}
BENCHMARK(BM_Enlarge)->Name("Enlarge")->Arg(2)->Arg(3)->Arg(4)->Arg(8);

void BM_OutputCopy(benchmark::State& state) {
  const size_t words = OutputWords(static_cast<int>(state.range(0)));
  std::vector<uint32_t> from(words, 0x123456u), to(words);
  for (auto _ : state) {
    memcpy(to.data(), from.data(), words * 4);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * words * 4));
}
BENCHMARK(BM_OutputCopy)->Name("OutputCopy")->Arg(2)->Arg(3)->Arg(4)->Arg(8);

}  // namespace
