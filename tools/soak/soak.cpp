// intro-soak [--default-allocator] [LOOPS]: plays LOOPS whole loops of the
// five scenes (20 when not given) on the headless backend, as fast as the
// machine goes, and prints the resident memory and the heap in use after
// each loop. Flat figures after the first loop mean the scenes give back
// all they take. At the end it times the logo scene's set-up. It makes the
// intro's allocator choice at start, as the intro does, unless
// --default-allocator asks to compare without it.
#include <malloc.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "driver/player.hpp"
#include "driver/scene_table.hpp"
#include "driver/torvelin.hpp"
#include "image/img.hpp"
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

// Bytes the allocator has handed out and not had back: a leak shows here
// even when resident memory hides it in pages already touched.
long HeapInUseKiB() { return static_cast<long>(mallinfo2().uordblks / 1024); }

// The allocator's per-thread cache keeps up to seven freed blocks of each
// small size and still counts them as in use, so the heap figure would
// creep up as blocks of new sizes are freed. The program runs itself again
// with that cache off (it is set only at start) so the figure is exact.
constexpr char kNoCache[] = "glibc.malloc.tcache_count=0";
void RunWithoutAllocatorCache(char** argv) {
  const char* tunables = getenv("GLIBC_TUNABLES");
  if (tunables != nullptr && strstr(tunables, kNoCache) != nullptr) return;
  std::string value = tunables != nullptr && *tunables != 0 ? std::string(tunables) + ":" + kNoCache : kNoCache;
  setenv("GLIBC_TUNABLES", value.c_str(), 1);
  execv("/proc/self/exe", argv);
  // Without /proc the figures are still right, only less exact.
}

// No key is pressed, so a loop is the table's frames.
void PlayLoop() {
  for (int frame = 0; frame < TORVELINLoopFrames; ++frame) TORVELINPlayerFrame();
}

// What the allocator choice buys most: the logo scene's start makes eight
// resized, tinted copies (about 13 MiB) and its end frees them.
// Processor time, page faults included, is steadier than the clock on a
// busy machine.
double LogoSetUpMs(int rounds) {
  const std::clock_t start = std::clock();
  for (int round = 0; round < rounds; ++round) {
    TORVELINLogosStart();
    TORVELINLogosStop();
  }
  return 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC / rounds;
}

// LOOPS from the command line, or the status to end with: 0 after the
// usage line for --help, 2 for anything that is not 1 to kMaxLoops.
int ParseLoops(int argc, char** argv, int first, int* loops) {
  if (argc > first + 1 ||
      (argc == first + 1 && (std::strcmp(argv[first], "--help") == 0 || std::strcmp(argv[first], "-h") == 0))) {
    fprintf(stderr, "usage: intro-soak [--default-allocator] [LOOPS]  (1 to %d whole loops, default %d)\n", kMaxLoops,
            kDefaultLoops);
    return argc > first + 1 ? 2 : 0;
  }
  if (argc == first + 1) {
    const std::string_view text = argv[first];
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *loops);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || *loops < 1 || *loops > kMaxLoops) {
      fprintf(stderr, "intro-soak: LOOPS must be a whole number from 1 to %d, not '%s'\n", kMaxLoops, argv[first]);
      return 2;
    }
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  int loops = kDefaultLoops;
  const bool defaultAllocator = argc > 1 && std::strcmp(argv[1], "--default-allocator") == 0;
  if (const int status = ParseLoops(argc, argv, defaultAllocator ? 2 : 1, &loops); status >= 0) return status;
  RunWithoutAllocatorCache(argv);
  // The intro's own allocator choice (see IMGKeepPixelMemoryInTheHeap).
  if (!defaultAllocator) IMGKeepPixelMemoryInTheHeap();
  HEADLESSReset();
  SDLDPYStartSystem();
  TORVELINInit();
  printf("after start-up: resident %ld KiB, heap in use %ld KiB\n", ResidentKiB(), HeapInUseKiB());
  printf("first logo scene set-up and release: %.2f ms of processor time\n", LogoSetUpMs(1));
  fflush(stdout);
  for (int loop = 1; loop <= loops; ++loop) {
    const auto start = std::chrono::steady_clock::now();
    PlayLoop();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("loop %d: resident %ld KiB, heap in use %ld KiB, %d frames in all, %.1f s\n", loop, ResidentKiB(),
           HeapInUseKiB(), HEADLESSFrameCount(), seconds);
    fflush(stdout);
  }
  constexpr int kRounds = 50;
  printf("logo scene set-up and release: %.2f ms of processor time each (mean of %d), resident %ld KiB after\n", LogoSetUpMs(kRounds),
         kRounds, ResidentKiB());
  return 0;
}
