// Noise scene: fresh grey noise every frame under a slowly wandering tint,
// with the animation strip played half transparent over it.
#include <cstddef>

#include "core/rnd.hpp"
#include "driver/scene_table.hpp"
#include "driver/torvelin.hpp"
#include "image/img.hpp"
#include "image/img_noise.hpp"

namespace {

// The pace a bouncing channel gets: 4096 to 1052670 units a frame, about
// 1/16 to 16 channel levels.
constexpr uint32_t kPaceRange = 0xfffffu;
constexpr uint32_t kPaceBase = 0x1000u;

// Noise over count pixels from the shared generator, which moves on by one
// draw per pixel.
void FillNoise(uint32_t* pixels, const uint32_t* over, size_t count, uint32_t colour) {
  RNDSeed(IMGFillNoise(pixels, over, count, colour, RNDState()));
}

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

uint32_t TORVELINWanderColour() {
  TORVELINWanderChannel* wander = TORVELINCarry.wander;
  for (int c = 0; c < 3; ++c) WanderChannel(wander[c]);
  const uint32_t red = static_cast<uint32_t>(wander[0].value) & 0xff0000u;
  const uint32_t green = static_cast<uint32_t>(wander[1].value >> 8) & 0xff00u;
  const uint32_t blue = static_cast<uint32_t>(wander[2].value >> 16) & 0xffu;
  TORVELINCarry.wanderedColour = red | green | blue;
  return TORVELINCarry.wanderedColour;
}

void TORVELINNoiseFill(IMG* image, uint32_t colour) {
  if (image == nullptr || image->pixels == nullptr || image->width < 0 || image->height < 0) {
    TORVELINError();
    return;
  }
  FillNoise(image->pixels, nullptr, static_cast<size_t>(image->width) * static_cast<size_t>(image->height), colour);
}

void TORVELINNoiseDraw(int f) {
  const uint32_t colour = TORVELINWanderColour();
  const int top = kStripPictureHeight * ((f / TORVELINStripHold) % TORVELINStripFrames);
  IMG* const frame = TORVELINFrame;
  const IMG* const strip = TORVELINStrip;
  // When the strip picture lies over the whole frame, as it does with our
  // strip, it is blended in as the noise is made: one pass instead of two,
  // and the same pixels as filling first and blending after.
  const bool covers = frame && frame->pixels && strip && strip->pixels && strip->width == frame->width &&
                      int64_t{strip->height} - top >= frame->height;
  if (covers) {
    const uint32_t* over = strip->pixels + static_cast<size_t>(top) * static_cast<size_t>(strip->width);
    FillNoise(frame->pixels, over, static_cast<size_t>(frame->width) * static_cast<size_t>(frame->height), colour);
    return;
  }
  TORVELINNoiseFill(frame, colour);
  IMGBlendHalf(strip, frame, 0, -top);
}
