// The row operations work on several words at once, in a form chosen for
// the processor; these tests hold every form this processor can run to the
// per-channel rules word by word, on rows of every length around the
// register widths, with top bytes set, black runs of every length and
// rectangles starting at odd columns; and the noise fill likewise.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "core/cpu.hpp"
#include "image/img_noise.hpp"
#include "img_test_util.hpp"
#include "../generator_replay.hpp"

namespace {

uint32_t Channel(uint32_t word, int shift) { return word >> shift & 255u; }

uint32_t PerChannel(uint32_t s, uint32_t d, uint32_t (*rule)(uint32_t, uint32_t)) {
  uint32_t out = 0;
  for (int shift : {16, 8, 0}) out |= rule(Channel(s, shift), Channel(d, shift)) << shift;
  return out;
}

uint32_t AddSat(uint32_t s, uint32_t d) {
  return PerChannel(s, d, [](uint32_t a, uint32_t b) { return a + b > 255u ? 255u : a + b; });
}
uint32_t Blend(uint32_t s, uint32_t d) {
  return s == 0 ? d : PerChannel(s, d, [](uint32_t a, uint32_t b) { return a / 2 + b / 2; });
}
uint32_t Copy(uint32_t s, uint32_t) { return s; }
uint32_t Keyed(uint32_t s, uint32_t d) { return s == 0 ? d : s; }
uint32_t Add(uint32_t s, uint32_t d) { return s + d; }
uint32_t Subtract(uint32_t p, uint32_t c) {
  return PerChannel(p, c, [](uint32_t a, uint32_t b) { return a > b ? a - b : 0u; });
}

// Words with random channels and top bytes, broken by black runs of random
// length, so runs start and end at every offset.
void FillMixed(IMG* img, std::mt19937& random) {
  const size_t count = static_cast<size_t>(img->width) * img->height;
  for (size_t i = 0; i < count;) {
    if (random() % 3 == 0) {
      for (size_t run = random() % 20; run > 0 && i < count; --run) img->pixels[i++] = 0;
    } else {
      img->pixels[i++] = static_cast<uint32_t>(random());
    }
  }
}

// Runs check once with each form this processor offers, from the scalar
// reference up, and gives the program its own choice back afterwards.
template <class Check>
void ForEveryVectorForm(Check check) {
  const CPULevel widest = CPUDetectedLevel();
  for (int form = 0; form <= static_cast<int>(widest); ++form) {
    const CPULevel before = CPUForceLevel(static_cast<CPULevel>(form));
    SCOPED_TRACE(testing::Message() << "vector form " << form);
    check();
    CPUForceLevel(before);
  }
}

using Blitter = void (*)(const IMG*, IMG*, int, int, int, int, int, int);

struct Case {
  const char* name;
  Blitter blit;
  uint32_t (*rule)(uint32_t, uint32_t);
};

}  // namespace

TEST(IMGPixelRuns, RectangleRulesHoldWordForWordAtEveryWidth) {
  ForEveryVectorForm([] {
    std::mt19937 random(20261207u);
    const Case cases[] = {{"copy", IMGBlit, Copy},
                          {"keyed", IMGBlitKeyed, Keyed},
                          {"add", IMGBlitAdd, Add},
                          {"addsat", IMGBlitAddSat, AddSat}};
    for (const Case& c : cases) {
      for (int width = 1; width <= 37; ++width) {
        ImgPtr src = MakeImage(40, 3);
        ImgPtr dst = MakeImage(41, 3);
        FillMixed(src.get(), random);
        FillMixed(dst.get(), random);
        const std::vector<uint32_t> s = Pixels(src.get()), d = Pixels(dst.get());
        const int sx = width % 3, dx = width % 4;
        c.blit(src.get(), dst.get(), sx, 0, dx, 1, width, 2);
        for (int y = 0; y < 3; ++y) {
          for (int x = 0; x < 41; ++x) {
            const size_t at = static_cast<size_t>(y * 41 + x);
            const bool inside = y >= 1 && x >= dx && x < dx + width;
            const uint32_t expected =
                inside ? c.rule(s[static_cast<size_t>((y - 1) * 40 + sx + x - dx)], d[at]) : d[at];
            ASSERT_EQ(dst->pixels[at], expected) << c.name << " width " << width << " at " << x << "," << y;
          }
        }
      }
    }
  });
}

TEST(IMGPixelRuns, BlendHalfHoldsWordForWordAcrossBlackRuns) {
  ForEveryVectorForm([] {
    std::mt19937 random(7u);
    for (int width = 1; width <= 37; ++width) {
      ImgPtr src = MakeImage(width, 2);
      ImgPtr dst = MakeImage(45, 4);
      FillMixed(src.get(), random);
      FillMixed(dst.get(), random);
      const std::vector<uint32_t> s = Pixels(src.get()), d = Pixels(dst.get());
      const int x = width % 5;
      IMGBlendHalf(src.get(), dst.get(), x, 1);
      for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 45; ++col) {
          const size_t at = static_cast<size_t>(row * 45 + col);
          const bool inside = row >= 1 && row < 3 && col >= x && col < x + width;
          const uint32_t expected =
              inside ? Blend(s[static_cast<size_t>((row - 1) * width + col - x)], d[at]) : d[at];
          ASSERT_EQ(dst->pixels[at], expected) << "width " << width << " at " << col << "," << row;
        }
      }
    }
  });
}

TEST(IMGPixelRuns, SubtractAndInvertHoldForEveryLengthAndTopByte) {
  ForEveryVectorForm([] {
    std::mt19937 random(99u);
    for (int width = 1; width <= 37; ++width) {
      for (uint32_t colour : {0x020202u, 0xff000000u, 0xE8E8E8u, 0x7f80ffu, 0xffffffffu}) {
        ImgPtr img = MakeImage(width, 1);
        FillMixed(img.get(), random);
        const std::vector<uint32_t> before = Pixels(img.get());
        IMGSubtract(img.get(), colour);
        for (int i = 0; i < width; ++i) ASSERT_EQ(img->pixels[i], Subtract(before[i], colour)) << width;
        IMGInvert(img.get());
        for (int i = 0; i < width; ++i) ASSERT_EQ(img->pixels[i], ~Subtract(before[i], colour) & 0xFFFFFFu);
      }
    }
  });
}

// The noise fill against one draw per pixel, last pixel first, with and
// without an overlay, for counts around every block size of the lanes.
TEST(IMGPixelRuns, NoiseFillIsOneDrawPerPixelLastFirstUnderTheBlendRule) {
  ForEveryVectorForm([] {
    std::mt19937 random(5u);
    for (size_t count : {1u, 7u, 8u, 9u, 31u, 32u, 33u, 71u, 1000u}) {
      ImgPtr over = MakeImage(static_cast<int>(count), 1);
      FillMixed(over.get(), random);
      const uint32_t colour = static_cast<uint32_t>(random()), seed = static_cast<uint32_t>(random());
      const uint32_t* const layers[] = {nullptr, over->pixels};
      for (const uint32_t* layer : layers) {
        std::vector<uint32_t> pixels(count);
        const uint32_t after = IMGFillNoise(pixels.data(), layer, count, colour, seed);
        Replay replay(seed);
        for (size_t p = count; p-- > 0;) {
          const uint32_t noise = ((colour & 0xfcfcfcu) >> 1) + (replay.next() & 0x7f) * 0x010101u;
          ASSERT_EQ(pixels[p], layer ? Blend(layer[p], noise) : noise) << count << " at " << p;
        }
        EXPECT_EQ(after, replay.state) << count;
      }
    }
  });
}
