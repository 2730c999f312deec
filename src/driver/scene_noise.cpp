// Noise scene: fresh grey noise every frame under a slowly wandering tint,
// with the animation strip played half transparent over it.
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "core/cpu.hpp"
#include "core/rnd.hpp"
#include "driver/scenes.hpp"
#include "driver/torvelin.hpp"
#include "image/img.hpp"

namespace {

// The pace a bouncing channel gets: 4096 to 1052670 units a frame, about
// 1/16 to 16 channel levels.
constexpr uint32_t kPaceRange = 0xfffffu;
constexpr uint32_t kPaceBase = 0x1000u;

// The wanderer's speeds at program start, in 1/65536 level a frame: red climbs
// half a level, green falls a hair over three quarters (0xffff3fff), blue
// climbs a quarter.
constexpr int32_t kRedStartSpeed = 0x8000;
constexpr int32_t kGreenStartSpeed = -49153;
constexpr int32_t kBlueStartSpeed = 0x4000;

// The fill runs eight copies of the generator side by side, lane j being j
// steps ahead of lane 0, and moves each lane eight steps at a time: the same
// numbers in the same order, without one long chain of dependent multiplies.
constexpr int kLanes = 8;
constexpr RNDStep kLaneLeap = RNDLeap(kLanes);

constexpr uint32_t NoisePixel(uint32_t half, uint32_t state) { return half + ((state >> 16) & 0x7fu) * 0x010101u; }

// IMGBlendHalf's rule for one overlay word s over the noise word d: the
// channels halved and summed where s is not 0, d untouched where it is.
// Halving after the sum is exact because both bottom bits are cleared.
constexpr uint32_t kHalvable = 0xfefefeu;
constexpr uint32_t UnderHalf(uint32_t s, uint32_t d) { return s != 0 ? ((s & kHalvable) + (d & kHalvable)) >> 1 : d; }

#if defined(__SSE2__)
// Eight lanes in four registers, two lanes each in the low halves of the
// 64-bit slots, where one unsigned 32 x 32 multiply steps both. A register
// pair holds the draws of four neighbouring pixels, the first draw in the
// highest word, since the fill runs from the last pixel down.
struct LanePair {
  __m128i high;  // draws 4k+4 and 4k+3 of the block
  __m128i low;   // draws 4k+2 and 4k+1
};

inline __m128i Slots(uint32_t first, uint32_t second) {
  return _mm_set_epi32(0, static_cast<int>(second), 0, static_cast<int>(first));
}

inline __m128i Leap8(__m128i lanes) {
  const __m128i multiplier = _mm_set1_epi32(static_cast<int>(kLaneLeap.multiplier));
  const __m128i increment = Slots(kLaneLeap.increment, kLaneLeap.increment);
  return _mm_add_epi32(_mm_mul_epu32(lanes, multiplier), increment);
}

// With the bottom bits cleared the rounding byte average is exactly half
// the sum, as UnderHalf computes it.
inline __m128i UnderHalf4(const uint32_t* over, __m128i noise) {
  const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(over));
  const __m128i halvable = _mm_set1_epi32(static_cast<int>(kHalvable));
  const __m128i mean = _mm_avg_epu8(_mm_and_si128(s, halvable), _mm_and_si128(noise, halvable));
  const __m128i keep = _mm_cmpeq_epi32(s, _mm_setzero_si128());
  return _mm_or_si128(_mm_and_si128(keep, noise), _mm_andnot_si128(keep, mean));
}

// Four pixels from the states of a pair: half the colour plus bits 16..22
// of each state in all three channels, under the overlay when there is one.
template <bool kOver>
inline void StoreFour(uint32_t* pixels, const uint32_t* over, size_t at, const LanePair& pair, __m128i half) {
  const __m128i states = _mm_castps_si128(
      _mm_shuffle_ps(_mm_castsi128_ps(pair.high), _mm_castsi128_ps(pair.low), _MM_SHUFFLE(2, 0, 2, 0)));
  const __m128i grey = _mm_and_si128(states, _mm_set1_epi32(0x7f0000));
  const __m128i spread = _mm_or_si128(grey, _mm_or_si128(_mm_srli_epi32(grey, 8), _mm_srli_epi32(grey, 16)));
  const __m128i noise = _mm_add_epi32(half, spread);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + at), kOver ? UnderHalf4(over + at, noise) : noise);
}

// Fills whole blocks of eight pixels from the top end down to below p and
// returns the state after the last draw; p is left at the pixels not yet
// filled (fewer than eight). With kOver, over[k] is blended over pixel k as
// it is made. The position is kept locally so that it stays in a register.
template <bool kOver>
uint32_t FillLanes(uint32_t* pixels, const uint32_t* over, size_t& p, uint32_t half, uint32_t state) {
  uint32_t draw[kLanes];
  for (uint32_t& d : draw) d = state = RNDApply(RNDOneStep, state);
  LanePair upper{Slots(draw[3], draw[2]), Slots(draw[1], draw[0])};
  LanePair lower{Slots(draw[7], draw[6]), Slots(draw[5], draw[4])};
  const __m128i halves = _mm_set1_epi32(static_cast<int>(half));
  size_t top = p;
  for (;;) {
    StoreFour<kOver>(pixels, over, top - 4, upper, halves);
    StoreFour<kOver>(pixels, over, top - 8, lower, halves);
    top -= kLanes;
    if (top < kLanes) break;
    upper = {Leap8(upper.high), Leap8(upper.low)};
    lower = {Leap8(lower.high), Leap8(lower.low)};
  }
  p = top;
  return static_cast<uint32_t>(_mm_cvtsi128_si32(lower.high));
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define NOISE_WIDE_LANES 1
// With AVX2 (chosen at run time) 32 lanes run in four registers of eight,
// stepped by full 32-bit multiplies, 32 steps at a time.
constexpr int kWideLanes = 32;
constexpr RNDStep kWideLeap = RNDLeap(kWideLanes);

// Eight pixels from eight states: byte 2 of each state (bits 16..23) copied
// into the three channel bytes by one shuffle, then bit 23 masked off.
[[gnu::target("avx2")]] inline __m256i WidePixels(__m256i states, __m256i half) {
  const __m256i channels = _mm256_setr_epi8(2, 2, 2, -1, 6, 6, 6, -1, 10, 10, 10, -1, 14, 14, 14, -1,  //
                                            2, 2, 2, -1, 6, 6, 6, -1, 10, 10, 10, -1, 14, 14, 14, -1);
  const __m256i grey = _mm256_and_si256(_mm256_shuffle_epi8(states, channels), _mm256_set1_epi32(0x7f7f7f));
  return _mm256_add_epi32(half, grey);
}

[[gnu::target("avx2")]] inline __m256i WideUnderHalf(const uint32_t* over, __m256i noise) {
  const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(over));
  const __m256i halvable = _mm256_set1_epi32(static_cast<int>(kHalvable));
  const __m256i mean = _mm256_avg_epu8(_mm256_and_si256(s, halvable), _mm256_and_si256(noise, halvable));
  return _mm256_blendv_epi8(mean, noise, _mm256_cmpeq_epi32(s, _mm256_setzero_si256()));
}

// Pixels at..at+7 from eight states, under the overlay when there is one.
template <bool kOver>
[[gnu::target("avx2")]] inline void StoreWide(uint32_t* pixels, const uint32_t* over, size_t at, __m256i states,
                                              __m256i half) {
  const __m256i noise = WidePixels(states, half);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels + at), kOver ? WideUnderHalf(over + at, noise) : noise);
}

// Eight draws, the first in the highest word.
[[gnu::target("avx2")]] inline __m256i Reversed(const uint32_t* draw) {
  const __m256i words = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(draw));
  return _mm256_permutevar8x32_epi32(words, _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0));
}

[[gnu::target("avx2")]] inline __m256i WideLeap(__m256i lanes) {
  const __m256i multiplier = _mm256_set1_epi32(static_cast<int>(kWideLeap.multiplier));
  const __m256i increment = _mm256_set1_epi32(static_cast<int>(kWideLeap.increment));
  return _mm256_add_epi32(_mm256_mullo_epi32(lanes, multiplier), increment);
}

// Whole blocks of 32 pixels, as FillLanes does blocks of eight. Register r
// holds draws 8r+1 to 8r+8 of a block, the first draw in the highest word.
// The four registers are named rather than indexed and the position is
// kept locally, so that the compiler keeps both in registers: each lane's
// chain of multiplies is the loop's critical path.
template <bool kOver>
[[gnu::target("avx2")]] uint32_t FillWideLanes(uint32_t* pixels, const uint32_t* over, size_t& p, uint32_t half,
                                               uint32_t state) {
  uint32_t draw[kWideLanes];
  for (uint32_t& d : draw) d = state = RNDApply(RNDOneStep, state);
  __m256i first = Reversed(draw), second = Reversed(draw + 8), third = Reversed(draw + 16),
          fourth = Reversed(draw + 24);
  const __m256i halves = _mm256_set1_epi32(static_cast<int>(half));
  size_t top = p;
  for (;;) {
    StoreWide<kOver>(pixels, over, top - 8, first, halves);
    StoreWide<kOver>(pixels, over, top - 16, second, halves);
    StoreWide<kOver>(pixels, over, top - 24, third, halves);
    StoreWide<kOver>(pixels, over, top - 32, fourth, halves);
    top -= kWideLanes;
    if (top < static_cast<size_t>(kWideLanes)) break;
    first = WideLeap(first);
    second = WideLeap(second);
    third = WideLeap(third);
    fourth = WideLeap(fourth);
  }
  p = top;
  return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm256_castsi256_si128(fourth)));
}
#endif
#else
template <bool kOver>
uint32_t FillLanes(uint32_t* pixels, const uint32_t* over, size_t& p, uint32_t half, uint32_t state) {
  uint32_t lanes[kLanes];
  for (uint32_t& lane : lanes) lane = state = RNDApply(RNDOneStep, state);
  for (;;) {
    for (int j = 0; j < kLanes; ++j) {
      const size_t at = p - 1 - static_cast<size_t>(j);
      const uint32_t noise = NoisePixel(half, lanes[j]);
      pixels[at] = kOver ? UnderHalf(over[at], noise) : noise;
    }
    p -= kLanes;
    state = lanes[kLanes - 1];
    if (p < kLanes) return state;
    for (uint32_t& lane : lanes) lane = RNDApply(kLaneLeap, lane);
  }
}
#endif

// Fills count pixels, the last first, one draw each; with kOver, over[k]
// is blended half over pixel k as it is made.
template <bool kOver>
void FillNoiseWith(uint32_t* pixels, const uint32_t* over, size_t count, uint32_t colour) {
  const uint32_t half = (colour & 0xfcfcfcu) >> 1;
  size_t p = count;
  uint32_t state = RNDState();
#if defined(NOISE_WIDE_LANES)
  if (p >= static_cast<size_t>(kWideLanes) && CPUWideRegisters()) {
    state = FillWideLanes<kOver>(pixels, over, p, half, state);
  }
#endif
  if (p >= kLanes) state = FillLanes<kOver>(pixels, over, p, half, state);
  while (p-- > 0) {
    state = RNDApply(RNDOneStep, state);
    const uint32_t noise = NoisePixel(half, state);
    pixels[p] = kOver ? UnderHalf(over[p], noise) : noise;
  }
  RNDSeed(state);
}

// The same, the blend chosen once for the whole fill by whether there is
// an overlay.
void FillNoise(uint32_t* pixels, const uint32_t* over, size_t count, uint32_t colour) {
  if (over) {
    FillNoiseWith<true>(pixels, over, count, colour);
  } else {
    FillNoiseWith<false>(pixels, over, count, colour);
  }
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

TORVELINWanderChannel TORVELINWander[3] = {
    {0, kRedStartSpeed},
    {0x800000, kGreenStartSpeed},
    {0x400000, kBlueStartSpeed},
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
  FillNoise(image->pixels, nullptr, static_cast<size_t>(image->width) * static_cast<size_t>(image->height), colour);
}

void TORVELINNoiseDraw(int i) {
  const uint32_t colour = TORVELINWanderColour();
  const int top = kStripPictureHeight * ((i / TORVELINStripHold) % TORVELINStripFrames);
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

void TORVELINSceneNoise() {
  for (int i = 0; i < TORVELINNoiseFrames; ++i) {
    TORVELINNoiseDraw(i);
    if (TORVELINFrameStep()) break;
  }
}
