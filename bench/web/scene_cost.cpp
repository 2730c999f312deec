// web-bench: the cost of every frame of one whole loop, scene by scene, as
// the page plays it (the player, the frame step, the music), on the
// headless backend so that only the program's own work is timed. Built to
// WebAssembly, it runs under node and in a browser page alike and prints
// one line per scene: the first frame (which includes the scene's start),
// then the mean, the 99th percentile and the slowest of the others, in
// milliseconds. (The music's rebuild every 300 frames is among the slow.)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "driver/player.hpp"
#include "driver/scene_table.hpp"
#include "driver/torvelin.hpp"
#include "platform/headless.hpp"
#include "platform/sdldpy.hpp"

namespace {

struct Cost {
  double first = 0;
  std::vector<double> others;  // the frames after the first
};

}  // namespace

int main() {
  Cost costs[TORVELINSceneCount];
  HEADLESSReset();
  SDLDPYStartSystem();
  TORVELINInit();
  using Clock = std::chrono::steady_clock;
  for (int s = 0; s < TORVELINSceneCount; ++s) {
    for (int i = 0; i < TORVELINScenes[s].frames; ++i) {
      const Clock::time_point start = Clock::now();
      TORVELINPlayerFrame();
      const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      if (i == 0) {
        costs[s].first = ms;
        continue;
      }
      costs[s].others.push_back(ms);
    }
  }
  printf("scene      frames  first ms  mean ms/frame  99%% ms  slowest ms\n");
  for (int s = 0; s < TORVELINSceneCount; ++s) {
    std::vector<double>& ms = costs[s].others;
    std::sort(ms.begin(), ms.end());
    double total = 0;
    for (double m : ms) total += m;
    printf("%-9s  %6d  %8.3f  %13.3f  %6.3f  %10.3f\n", TORVELINScenes[s].name, TORVELINScenes[s].frames,
           costs[s].first, total / static_cast<double>(ms.size()), ms[ms.size() * 99 / 100], ms.back());
  }
  return 0;
}
