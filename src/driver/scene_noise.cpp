// Noise scene: fresh grey noise every frame under a slowly wandering tint,
// with the animation strip played half transparent over it.
#include <cstddef>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "core/rnd.hpp"
#include "driver/scenes.hpp"
#include "driver/torvelin.hpp"
#include "image/img.hpp"

namespace {

// The pace a bouncing channel gets: 4096 to 1052670 units a frame, about
// 1/16 to 16 channel levels.
constexpr uint32_t kPaceRange = 0xfffffu;
constexpr uint32_t kPaceBase = 0x1000u;

// The fill runs eight copies of the generator side by side, lane j being j
// steps ahead of lane 0, and moves each lane eight steps at a time: the same
// numbers in the same order, without one long chain of dependent multiplies.
constexpr int kLanes = 8;
constexpr RNDStep kLaneLeap = RNDLeap(kLanes);

constexpr uint32_t NoisePixel(uint32_t half, uint32_t state) { return half + ((state >> 16) & 0x7fu) * 0x010101u; }

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

// Four pixels from the states of a pair: half the colour plus bits 16..22
// of each state in all three channels.
inline void StoreFour(uint32_t* to, const LanePair& pair, __m128i half) {
  const __m128i states = _mm_castps_si128(
      _mm_shuffle_ps(_mm_castsi128_ps(pair.high), _mm_castsi128_ps(pair.low), _MM_SHUFFLE(2, 0, 2, 0)));
  const __m128i grey = _mm_and_si128(states, _mm_set1_epi32(0x7f0000));
  const __m128i spread = _mm_or_si128(grey, _mm_or_si128(_mm_srli_epi32(grey, 8), _mm_srli_epi32(grey, 16)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_add_epi32(half, spread));
}

// Fills whole blocks of eight pixels from the top end down to below p and
// returns the state after the last draw; p is left at the pixels not yet
// filled (fewer than eight).
uint32_t FillLanes(uint32_t* pixels, size_t& p, uint32_t half, uint32_t state) {
  uint32_t draw[kLanes];
  for (uint32_t& d : draw) d = state = RNDApply(RNDOneStep, state);
  LanePair upper{Slots(draw[3], draw[2]), Slots(draw[1], draw[0])};
  LanePair lower{Slots(draw[7], draw[6]), Slots(draw[5], draw[4])};
  const __m128i halves = _mm_set1_epi32(static_cast<int>(half));
  for (;;) {
    StoreFour(pixels + p - 4, upper, halves);
    StoreFour(pixels + p - 8, lower, halves);
    p -= kLanes;
    state = static_cast<uint32_t>(_mm_cvtsi128_si32(lower.high));
    if (p < kLanes) return state;
    upper = {Leap8(upper.high), Leap8(upper.low)};
    lower = {Leap8(lower.high), Leap8(lower.low)};
  }
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define NOISE_WIDE_LANES 1
// With AVX2 (chosen at run time) 32 lanes run in four registers of eight,
// stepped by full 32-bit multiplies, 32 steps at a time.
constexpr int kWideLanes = 32;
constexpr RNDStep kWideLeap = RNDLeap(kWideLanes);

bool WideRegisters() {
  // TORVELIN_NO_AVX2 in the environment keeps to the baseline code, so
  // that both paths can be run and compared on one machine.
  static const bool wide = __builtin_cpu_supports("avx2") && getenv("TORVELIN_NO_AVX2") == nullptr;
  return wide;
}

[[gnu::target("avx2")]] inline __m256i WidePixels(__m256i states, __m256i half) {
  const __m256i grey = _mm256_and_si256(states, _mm256_set1_epi32(0x7f0000));
  const __m256i spread =
      _mm256_or_si256(grey, _mm256_or_si256(_mm256_srli_epi32(grey, 8), _mm256_srli_epi32(grey, 16)));
  return _mm256_add_epi32(half, spread);
}

// Whole blocks of 32 pixels, as FillLanes does blocks of eight. Register r
// holds draws 8r+1 to 8r+8 of a block, the first draw in the highest word.
[[gnu::target("avx2")]] uint32_t FillWideLanes(uint32_t* pixels, size_t& p, uint32_t half, uint32_t state) {
  uint32_t draw[kWideLanes];
  for (uint32_t& d : draw) d = state = RNDApply(RNDOneStep, state);
  const auto word = [&draw](int i) { return static_cast<int>(draw[i]); };
  __m256i lanes[4];
  for (int r = 0; r < 4; ++r) {
    const int b = 8 * r;
    lanes[r] = _mm256_setr_epi32(word(b + 7), word(b + 6), word(b + 5), word(b + 4), word(b + 3), word(b + 2),
                                 word(b + 1), word(b));
  }
  const __m256i halves = _mm256_set1_epi32(static_cast<int>(half));
  const __m256i multiplier = _mm256_set1_epi32(static_cast<int>(kWideLeap.multiplier));
  const __m256i increment = _mm256_set1_epi32(static_cast<int>(kWideLeap.increment));
  for (;;) {
    for (int r = 0; r < 4; ++r)
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels + p - 8 * (r + 1)), WidePixels(lanes[r], halves));
    p -= kWideLanes;
    state = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm256_castsi256_si128(lanes[3])));
    if (p < static_cast<size_t>(kWideLanes)) return state;
    for (__m256i& lane : lanes) lane = _mm256_add_epi32(_mm256_mullo_epi32(lane, multiplier), increment);
  }
}
#endif
#else
uint32_t FillLanes(uint32_t* pixels, size_t& p, uint32_t half, uint32_t state) {
  uint32_t lanes[kLanes];
  for (uint32_t& lane : lanes) lane = state = RNDApply(RNDOneStep, state);
  for (;;) {
    for (int j = 0; j < kLanes; ++j) pixels[p - 1 - static_cast<size_t>(j)] = NoisePixel(half, lanes[j]);
    p -= kLanes;
    state = lanes[kLanes - 1];
    if (p < kLanes) return state;
    for (uint32_t& lane : lanes) lane = RNDApply(kLaneLeap, lane);
  }
}
#endif

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
#if defined(NOISE_WIDE_LANES)
  if (p >= static_cast<size_t>(kWideLanes) && WideRegisters()) state = FillWideLanes(pixels, p, half, state);
#endif
  if (p >= kLanes) state = FillLanes(pixels, p, half, state);
  while (p-- > 0) {
    state = RNDApply(RNDOneStep, state);
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
