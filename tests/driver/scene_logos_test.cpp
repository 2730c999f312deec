// The logo scene: the copies and their tint, the swing and the frames.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "core/rnd.hpp"
#include "core/sintable.hpp"
#include "driver/scene_table.hpp"
#include "driver/texts.hpp"
#include "driver/torvelin.hpp"
#include "driver_fixture.hpp"
#include "image/img.hpp"
#include "scene_test_util.hpp"

namespace {

// Draws the frame whose counter n (1000 down to 1) is given.
void DrawN(int counter) { TORVELINLogosDraw(TORVELINLogoFrames - counter); }

struct TORVELINLogoScene : Driver {
  void TearDown() override {
    if (TORVELINLogoCopies[0] != nullptr) TORVELINLogosStop();
    Driver::TearDown();
  }
  static bool allFreed() {
    for (IMG* copy : TORVELINLogoCopies)
      if (copy != nullptr) return false;
    return true;
  }
};

std::set<uint32_t> Values(const IMG* img) {
  std::set<uint32_t> values;
  for (int64_t i = 0; i < int64_t{img->width} * img->height; ++i) values.insert(img->pixels[i]);
  return values;
}

// floor(a / 2^15) and truncating halves, written without relying on the
// code under test's operators.
int ReferenceSwing(int v, int d) {
  const long long product = static_cast<long long>(v) * (d / 2 + 256);
  long long shifted = product / 32768;
  if (product < 0 && product % 32768 != 0) shifted -= 1;
  const int half = d / 2;  // d is positive
  return -half + static_cast<int>(shifted) + 128;
}

TEST_F(TORVELINLogoScene, CopiesAreTheLogoAtEightSizes) {
  const uint32_t seed = SeedWhoseNextDraw(RNDState(), [](int v) { return (v & 1) == 1; });
  RNDSeed(seed);
  TORVELINLogosStart();
  for (int i = 0; i < 8; ++i) {
    ASSERT_NE(TORVELINLogoCopies[i], nullptr);
    EXPECT_EQ(TORVELINLogoCopies[i]->width, 256 * (i + 1));
    EXPECT_EQ(TORVELINLogoCopies[i]->height, 64 * (i + 1));
  }
  // Copy 3 has the logo's own size, copy 7 twice that: their lit pixels are
  // the logo's, once and doubled.
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 1024; ++x) {
      const bool lit = IMGGetPixel(TORVELINLogo, x, y) != 0;
      ASSERT_EQ(IMGGetPixel(TORVELINLogoCopies[3], x, y) != 0, lit);
      ASSERT_EQ(IMGGetPixel(TORVELINLogoCopies[7], 2 * x + 1, 2 * y + 1) != 0, lit);
    }
}

TEST_F(TORVELINLogoScene, APastelTintColoursEveryCopyTheSameFromTwoDraws) {
  const uint32_t seed = SeedWhoseNextDraw(RNDState(), [](int v) { return (v & 1) == 1; });
  RNDSeed(seed);
  TORVELINLogosStart();
  EXPECT_EQ(RNDState(), StateAfter(seed, 2));
  Replay r(seed);
  r.next();
  const uint32_t k = TORVELINPastel[r.next() % 12];
  for (IMG* copy : TORVELINLogoCopies) EXPECT_EQ(Values(copy), (std::set<uint32_t>{0u, k}));
}

// The first state from `start` on whose two draws choose the hue branch and
// a start hue accepted by `wanted`.
uint32_t HueSeed(uint32_t start, bool (*wanted)(int)) {
  Replay r(start);
  for (;;) {
    Replay probe(r.state);
    const int branch = probe.next();
    if ((branch & 1) == 0 && wanted(probe.next() % 24)) return r.state;
    r.next();
  }
}

TEST_F(TORVELINLogoScene, AHueTintGivesTheCopiesEightNeighbouringHuesFromTwoDraws) {
  // A start hue of 20 or more makes the run wrap round the table.
  for (bool (*wanted)(int) : {+[](int s) { return s < 16; }, +[](int s) { return s >= 20; }}) {
    const uint32_t seed = HueSeed(RNDState(), wanted);
    Replay r(seed);
    r.next();
    const int s = r.next() % 24;
    RNDSeed(seed);
    TORVELINLogosStart();
    EXPECT_EQ(RNDState(), StateAfter(seed, 2));
    for (int i = 0; i < 8; ++i)
      EXPECT_EQ(Values(TORVELINLogoCopies[i]), (std::set<uint32_t>{0u, TORVELINHues[(s + i) % 24]})) << s << "+" << i;
    TORVELINLogosStop();
  }
}

TEST_F(TORVELINLogoScene, TheSwingRoundsDownWithAnArithmeticShift) {
  struct Case {
    int v, d, x;
  };
  for (const Case& c : {Case{0, 256, 0}, Case{0, 2048, -896}, Case{32766, 256, 383}, Case{32766, 2048, 383},
                        Case{-32766, 256, -384}, Case{-32766, 2048, -2176}, Case{-1, 256, -1}, Case{1, 256, 0}}) {
    EXPECT_EQ(TORVELINLogoSwingX(c.v, c.d), c.x) << c.v << " " << c.d;
    EXPECT_EQ(TORVELINLogoSwingX(c.v, c.d), ReferenceSwing(c.v, c.d));
  }
  for (int v = -32766; v <= 32766; v += 97)
    for (int i = 0; i < 8; ++i) ASSERT_EQ(TORVELINLogoSwingX(v, 256 * (i + 1)), ReferenceSwing(v, 256 * (i + 1)));
}

// Frame n: black, then the copies blended half over it, smallest first, at
// the swing of SinTable[2n mod 1024] and rows 96, 64, ..., -128.
TEST_F(TORVELINLogoScene, AFrameBlendsTheCopiesSmallestFirstAtTheirSwing) {
  TORVELINLogosStart();
  IMG* expected = IMGNew();
  IMGAlloc(expected, 256, 256);
  for (int n : {1000, 700, 256, 1}) {
    for (int i = 0; i < 256 * 256; ++i) TORVELINFrame->pixels[i] = 0x123456;  // must be cleared
    DrawN(n);
    IMGClear(expected);
    const int v = SinTable[(2 * n) % 1024];
    for (int i = 0; i < 8; ++i) {
      const IMG* copy = TORVELINLogoCopies[i];
      const int left = ReferenceSwing(v, copy->width), top = 96 - 32 * i;
      for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
          const uint32_t s = IMGGetPixel(copy, x - left, y - top);
          if (x - left < 0 || y - top < 0 || s == 0) continue;
          uint32_t& d = expected->pixels[y * 256 + x];
          d = ((s >> 1) & 0x7f7f7fu) + ((d >> 1) & 0x7f7f7fu);
        }
    }
    EXPECT_TRUE(IMGEqual(expected, TORVELINFrame)) << "n = " << n;
  }
  IMGFree(&expected);
}

TEST_F(TORVELINLogoScene, RunsAThousandFramesAndFreesItsCopies) {
  TORVELINSceneLogos();
  EXPECT_EQ(HEADLESSFrameCount(), 1000);
  EXPECT_TRUE(allFreed());
}

TEST_F(TORVELINLogoScene, SpaceOnTheFirstFrameEndsTheSceneWithTheCopiesFreed) {
  script({{0, ' ', true}});
  TORVELINSceneLogos();
  EXPECT_EQ(HEADLESSFrameCount(), 1);
  EXPECT_EQ(TORVELINNextPart, 0);
  EXPECT_TRUE(allFreed());
}

TEST_F(TORVELINLogoScene, TheSceneIsItsStartThenFramesFromAThousandDown) {
  QuietMusic quiet;
  StateRecorder recorder;
  recorder.attach();
  const uint32_t seed = RNDState();
  script({{30, ' ', true}});
  TORVELINSceneLogos();
  ASSERT_EQ(recorder.states.size(), 31u);
  // The tint's two draws, then nothing per frame.
  for (uint32_t state : recorder.states) EXPECT_EQ(state, StateAfter(seed, 2));

  RNDSeed(seed);
  TORVELINLogosStart();
  for (int n = 1000; n >= 970; --n) {
    DrawN(n);
    ASSERT_EQ(Fingerprint(TORVELINFrame), recorder.pictures[1000 - n]) << "n = " << n;
  }
}

}  // namespace
