// Noise scene: fresh grey noise every frame under a slowly wandering tint,
// with the animation strip played half transparent over it.
#include <cstddef>

#include "core/rnd.hpp"
#include "driver/scenes.hpp"
#include "driver/torvelin.hpp"
#include "image/img.hpp"

namespace {

// The pace a bouncing channel gets: 4096 to 1052670 units a frame, about
// 1/16 to 16 channel levels.
constexpr uint32_t kPaceRange = 0xfffffu;
constexpr uint32_t kPaceBase = 0x1000u;

// The generator's step, repeated here so the fill keeps the state in
// registers; it must stay the same as RNDNext's.
constexpr uint32_t kRndMultiplier = 214013u;
constexpr uint32_t kRndIncrement = 2531011u;

// The fill runs eight copies of the generator side by side, lane j being j
// steps ahead of lane 0, and moves each lane eight steps at a time: the same
// numbers in the same order, without one long chain of dependent multiplies.
constexpr int kLanes = 8;

struct Step {
  uint32_t multiplier;
  uint32_t increment;
};

// The step that equals `count` generator steps in a row.
constexpr Step Leap(int count) {
  Step leap{1u, 0u};
  for (int i = 0; i < count; ++i) {
    leap.multiplier *= kRndMultiplier;
    leap.increment = leap.increment * kRndMultiplier + kRndIncrement;
  }
  return leap;
}
constexpr Step kLaneLeap = Leap(kLanes);

constexpr uint32_t NoisePixel(uint32_t half, uint32_t state) { return half + ((state >> 16) & 0x7fu) * 0x010101u; }

// The strip's pictures are stacked 256 rows apart.
constexpr int kStripPictureHeight = 256;

int32_t RandomPace() {
  const uint32_t high = static_cast<uint32_t>(RNDNext()) << 16;
  const uint32_t wide = high | static_cast<uint32_t>(RNDNext());
  return static_cast<int32_t>(wide % kPaceRange + kPaceBase);
}

void WanderChannel(TORVELINWanderChannel& channel) {
  if (channel.value == TORVELINWanderTop || channel.value == 0) {
    const int32_t turned = -channel.speed;
    const int32_t pace = RandomPace();
    channel.speed = turned < 0 ? -pace : pace;
  }
  int32_t value = channel.value + channel.speed;
  if (value < 0) value = 0;
  if (value > TORVELINWanderTop) value = TORVELINWanderTop;
  channel.value = value;
}

}  // namespace

TORVELINWanderChannel TORVELINWander[3] = {
    {0, 0x8000},
    {0x800000, -49153},
    {0x400000, 0x4000},
};
uint32_t TORVELINWanderedColour = 0;

uint32_t TORVELINWanderColour() {
  for (TORVELINWanderChannel& channel : TORVELINWander) WanderChannel(channel);
  const uint32_t red = static_cast<uint32_t>(TORVELINWander[0].value) & 0xff0000u;
  const uint32_t green = static_cast<uint32_t>(TORVELINWander[1].value >> 8) & 0xff00u;
  const uint32_t blue = static_cast<uint32_t>(TORVELINWander[2].value >> 16) & 0xffu;
  TORVELINWanderedColour = red | green | blue;
  return TORVELINWanderedColour;
}

void TORVELINNoiseFill(IMG* image, uint32_t colour) {
  if (image == nullptr || image->pixels == nullptr || image->width < 0 || image->height < 0) {
    TORVELINError();
    return;
  }
  const uint32_t half = (colour & 0xfcfcfcu) >> 1;
  uint32_t* const pixels = image->pixels;
  size_t p = static_cast<size_t>(image->width) * static_cast<size_t>(image->height);
  uint32_t state = RNDState();
  if (p >= kLanes) {
    uint32_t lanes[kLanes];
    for (uint32_t& lane : lanes) lane = state = state * kRndMultiplier + kRndIncrement;
    for (;;) {
      for (int j = 0; j < kLanes; ++j) pixels[p - 1 - static_cast<size_t>(j)] = NoisePixel(half, lanes[j]);
      p -= kLanes;
      state = lanes[kLanes - 1];
      if (p < kLanes) break;
      for (uint32_t& lane : lanes) lane = lane * kLaneLeap.multiplier + kLaneLeap.increment;
    }
  }
  while (p-- > 0) {
    state = state * kRndMultiplier + kRndIncrement;
    pixels[p] = NoisePixel(half, state);
  }
  RNDSeed(state);
}

void TORVELINNoiseDraw(int i) {
  TORVELINNoiseFill(TORVELINFrame, TORVELINWanderColour());
  const int picture = (i / TORVELINStripHold) % TORVELINStripFrames;
  IMGBlendHalf(TORVELINStrip, TORVELINFrame, 0, -kStripPictureHeight * picture);
}

void TORVELINSceneNoise() {
  for (int i = 0; i < TORVELINNoiseFrames; ++i) {
    TORVELINNoiseDraw(i);
    if (TORVELINFrameStep()) break;
  }
}
