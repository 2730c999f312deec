// intro-soak [LOOPS]: plays LOOPS whole loops of the five scenes (20 when
// not given) on the headless backend, as fast as the machine goes, and
// prints the resident memory after each loop. A flat figure after the
// first loop means the scenes give back all they take.
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "driver/torvelin.hpp"
#include "platform/headless.hpp"
#include "platform/sdldpy.hpp"

namespace {

constexpr int kDefaultLoops = 20;
constexpr int kMaxLoops = 100000;

// Resident memory in KiB, from the second figure of /proc/self/statm.
long ResidentKiB() {
  FILE* statm = fopen("/proc/self/statm", "r");
  if (statm == nullptr) return -1;
  long size = 0;
  long resident = 0;
  const int read = fscanf(statm, "%ld %ld", &size, &resident);
  fclose(statm);
  if (read != 2) return -1;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void PlayLoop() {
  TORVELINSceneLasers();
  TORVELINSceneScroller();
  TORVELINSceneLogos();
  TORVELINSceneTiles();
  TORVELINSceneNoise();
}

}  // namespace

int main(int argc, char** argv) {
  int loops = kDefaultLoops;
  if (argc > 2 || (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))) {
    fprintf(stderr, "usage: intro-soak [LOOPS]  (1 to %d whole loops, default %d)\n", kMaxLoops, kDefaultLoops);
    return argc > 2 ? 2 : 0;
  }
  if (argc == 2) {
    const std::string_view text = argv[1];
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), loops);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || loops < 1 || loops > kMaxLoops) {
      fprintf(stderr, "intro-soak: LOOPS must be a whole number from 1 to %d, not '%s'\n", kMaxLoops, argv[1]);
      return 2;
    }
  }
  HEADLESSReset();
  SDLDPYStartSystem();
  TORVELINInit();
  printf("after start-up: resident %ld KiB\n", ResidentKiB());
  fflush(stdout);
  for (int loop = 1; loop <= loops; ++loop) {
    const auto start = std::chrono::steady_clock::now();
    PlayLoop();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("loop %d: resident %ld KiB, %d frames in all, %.1f s\n", loop, ResidentKiB(), HEADLESSFrameCount(), seconds);
    fflush(stdout);
  }
  return 0;
}
