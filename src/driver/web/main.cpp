// The intro in a web page. A page cannot block in a scene loop or sleep,
// so the browser's animation callback drives the player: it advances the
// intro by whole 50 Hz frames from the browser's clock, with a small cap on
// the frames it catches up after a stall, so the intro keeps its speed on
// any screen rate. The page starts it on the viewer's first click or key,
// which lets the browser's audio play; after an exit key the player steps
// the fade, one step a frame, and then the loop stops and tells the page.
#include <emscripten.h>

#include <cstddef>
#include <cstdint>

#include "audio/sdlsnd.hpp"
#include "core/rnd.hpp"
#include "driver/player.hpp"
#include "driver/torvelin.hpp"
#include "image/img.hpp"
#include "platform/sdldpy.hpp"
#include "platform/web/frame_clock.hpp"
#include "text/scroll.hpp"

namespace {

constexpr double kFrameMs = 1000.0 / TORVELINFrameRate;
// After a stall (a hidden tab, a busy machine) at most this many frames
// are made up; the rest of the lost time is dropped.
constexpr int kMaxCatchUp = 4;

enum class Phase { idle, playing, ended };

struct Web {
  Phase phase = Phase::idle;
  double due = 0;   // browser clock at which the next frame falls due, ms
  int frames = 0;   // frames played since the start, fade included
  uint32_t stamp = 0;  // see TakeStamp; 0 until its frame is played
  bool shown = false;  // the page shows again after being hidden
};

// The frame of every run at which TakeStamp looks.
constexpr int kStampFrame = 25;

Web web;

void End() {
  web.phase = Phase::ended;
  emscripten_cancel_main_loop();
  SDLSNDFree(&TORVELINSound);
  EM_ASM({
    if (Module["onIntroEnd"]) Module["onIntroEnd"]();
  });
}

uint32_t Fnv(const void* data, size_t size, uint32_t hash) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 16777619u;
  return hash;
}

// A digest of the picture, the generator and all that the scenes carry
// from run to run, at the same frame of every run: a run that plays again
// must give the first run's (the page's test compares them).
void TakeStamp() {
  uint32_t hash = 2166136261u;
  const size_t pixels = static_cast<size_t>(TORVELINFrame->width) * static_cast<size_t>(TORVELINFrame->height);
  hash = Fnv(TORVELINFrame->pixels, pixels * sizeof(uint32_t), hash);
  hash = Fnv(&TORVELINCarry, sizeof TORVELINCarry, hash);
  const uint32_t generator = RNDState();
  hash = Fnv(&generator, sizeof generator, hash);
  hash = Fnv(&wavePhase, sizeof wavePhase, hash);
  web.stamp = hash == 0 ? 1 : hash;
}

void PlayOneFrame() {
  ++web.frames;
  if (!TORVELINPlayerFrame()) End();
  if (web.frames == kStampFrame) TakeStamp();
}

// Plays every frame that has fallen due. Due times lie on a steady 20 ms
// grid, and each frame is timed at its own due time, not at the callback's,
// so the frame rate reads 50 however the frames bunch into callbacks.
void Tick() {
  const double now = emscripten_get_now();
  if (web.shown) web.due = now;  // none of the hidden time is made up
  web.shown = false;
  const double earliest = now - (kMaxCatchUp - 1) * kFrameMs;
  if (web.due < earliest) web.due = earliest;
  while (web.due <= now && web.phase == Phase::playing) {
    WEBSetFrameClock(static_cast<uint32_t>(web.due));
    web.due += kFrameMs;
    PlayOneFrame();
  }
}

// A second start after the end begins the intro again from its start-up,
// which puts back everything the first run changed.
void ForgetLastRun() { TORVELINShutdown(); }

}  // namespace

extern "C" {

// Called by the page on the viewer's gesture; does nothing while playing.
EMSCRIPTEN_KEEPALIVE void torvelin_start() {
  if (web.phase == Phase::playing) return;
  if (web.phase == Phase::idle)
    SDLDPYStartSystem();
  else
    ForgetLastRun();
  TORVELINHostEndsRun = true;
  TORVELINInit();
  web = Web{};
  web.phase = Phase::playing;
  web.due = emscripten_get_now();  // the first frame at once
  emscripten_set_main_loop(Tick, 0, 0);
}

// Called by the page when it shows again after being hidden, which stops
// the browser's animation callbacks: the frames go on from the next
// callback, with none made up for the hidden time (the page holds the
// sound meanwhile).
EMSCRIPTEN_KEEPALIVE void torvelin_shown() { web.shown = true; }

// Frames played since the last start (for the page's tests).
EMSCRIPTEN_KEEPALIVE int torvelin_frames() { return web.frames; }

// The digest TakeStamp took in this run, 0 before its frame (for the page's
// tests).
EMSCRIPTEN_KEEPALIVE uint32_t torvelin_stamp() { return web.stamp; }

// True while the sound output plays.
EMSCRIPTEN_KEEPALIVE int torvelin_has_sound() { return TORVELINSound != nullptr; }

}  // extern "C"

int main() { return 0; }
