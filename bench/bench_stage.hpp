// The frame image, the pictures and the texts as the start-up leaves them,
// for benchmarks that drive scenes and set-ups without the whole start-up.
#pragma once
#include "core/rnd.hpp"
#include "driver/torvelin.hpp"
#include "image/img.hpp"

struct BenchStage {
  BenchStage() {
    // The scenes are timed as the intro runs them: with its allocator choice.
    IMGKeepPixelMemoryInTheHeap();
    RNDSeed(TORVELINSeed);
    TORVELINFrame = IMGNew();
    IMGAlloc(TORVELINFrame, TORVELINWidth, TORVELINHeight);
    TORVELINSetUpPictures();
    TORVELINSetUpText();
  }
  ~BenchStage() { TORVELINShutdown(); }
};
