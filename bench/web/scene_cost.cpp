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
#include "driver/scenes.hpp"
#include "driver/torvelin.hpp"
#include "platform/headless.hpp"
#include "platform/sdldpy.hpp"

namespace {

struct Scene {
  const char* name;
  int frames;
  double first = 0;
  std::vector<double> others;  // the frames after the first
};

}  // namespace

int main() {
  Scene scenes[] = {{"lasers", TORVELINLaserFrames, 0, {}},
                    {"scroller", TORVELINScrollerSceneFrames, 0, {}},
                    {"logos", TORVELINLogoFrames, 0, {}},
                    {"tiles", TORVELINTileSceneFrames, 0, {}},
                    {"noise", TORVELINNoiseFrames, 0, {}}};
  HEADLESSReset();
  SDLDPYStartSystem();
  TORVELINInit();
  TORVELINPlayerRestart();
  using Clock = std::chrono::steady_clock;
  for (Scene& scene : scenes) {
    for (int i = 0; i < scene.frames; ++i) {
      const Clock::time_point start = Clock::now();
      TORVELINPlayerFrame();
      const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      if (i == 0) {
        scene.first = ms;
        continue;
      }
      scene.others.push_back(ms);
    }
  }
  printf("scene      frames  first ms  mean ms/frame  99%% ms  slowest ms\n");
  for (Scene& scene : scenes) {
    std::vector<double>& ms = scene.others;
    std::sort(ms.begin(), ms.end());
    double total = 0;
    for (double m : ms) total += m;
    printf("%-9s  %6d  %8.3f  %13.3f  %6.3f  %10.3f\n", scene.name, scene.frames, scene.first,
           total / static_cast<double>(ms.size()), ms[ms.size() * 99 / 100], ms.back());
  }
  return 0;
}
