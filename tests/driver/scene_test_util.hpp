// Helpers shared by the scene tests: the independent copy of the shared
// generator (generator_replay.hpp) for replaying the draws a step should
// make, and a recorder of the generator's state at every presented frame.
#pragma once
#include <cstdint>
#include <vector>

#include "audio/music.hpp"
#include "core/rnd.hpp"
#include "driver/torvelin.hpp"
#include "image/img.hpp"
#include "platform/headless.hpp"
#include "../generator_replay.hpp"

// A fingerprint of an image's pixels (FNV-1a over the words).
inline uint64_t Fingerprint(const IMG* img) {
  uint64_t hash = 1469598103934665603ull;
  for (int64_t i = 0; i < int64_t{img->width} * img->height; ++i) hash = (hash ^ img->pixels[i]) * 1099511628211ull;
  return hash;
}

// Records the generator state and a fingerprint of the picture as each frame
// is presented (after the scene's drawing, before the music pump and keys).
struct StateRecorder {
  std::vector<uint32_t> states;
  std::vector<uint64_t> pictures;
  static void sink(const IMG* frame, void* user) {
    auto* self = static_cast<StateRecorder*>(user);
    self->states.push_back(RNDState());
    self->pictures.push_back(Fingerprint(frame));
  }
  void attach() { HEADLESSSetFrameSink(&StateRecorder::sink, this); }
};

// Keeps the music from drawing while a test replays a whole scene, and puts
// it back afterwards.
struct QuietMusic {
  MUSIC* saved = TORVELINMusic;
  QuietMusic() { TORVELINMusic = nullptr; }
  ~QuietMusic() { TORVELINMusic = saved; }
};

// Channel-wise view of a pixel word.
inline uint32_t Channel(uint32_t pixel, int shift) { return (pixel >> shift) & 0xffu; }
