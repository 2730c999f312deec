// The laser scene: its set-up, the draws of each frame, the words and the
// composition of the frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "core/rnd.hpp"
#include "driver/scene_table.hpp"
#include "driver/texts.hpp"
#include "driver/torvelin.hpp"
#include "driver_fixture.hpp"
#include "effects/laser.hpp"
#include "image/img.hpp"
#include "scene_test_util.hpp"
#include "text/font.hpp"

namespace {

// Draws the frame whose counter k (1000 down to 0) is given.
void DrawK(int counter) { TORVELINLasersDraw(TORVELINLaserFrames - 1 - counter); }

struct TORVELINLaserScene : Driver {
  void TearDown() override {
    if (TORVELINLaserLayer != nullptr) TORVELINLasersStop();
    Driver::TearDown();
  }
  static std::array<LASER, TORVELINLaserCount> lasers() {
    std::array<LASER, TORVELINLaserCount> copy;
    for (int i = 0; i < TORVELINLaserCount; ++i) copy[i] = *TORVELINLasers[i];
    return copy;
  }
  // Puts every tip in the middle, moving slowly, so that no edge is hit and
  // the lasers draw nothing this frame.
  static void calmLasers() {
    for (LASER* laser : TORVELINLasers) {
      laser->x1 = 100;
      laser->y1 = 100;
      laser->vx = 1;
      laser->vy = 1;
    }
  }
  static bool allFreed() {
    bool freed = TORVELINTextLayer == nullptr && TORVELINLaserLayer == nullptr;
    for (LASER* laser : TORVELINLasers) freed = freed && laser == nullptr;
    return freed && TORVELINWordFont->target == nullptr;
  }
};

// What a word frame draws: the word index, the place (x is drawn only for
// words narrower than the screen) and the generator state afterwards.
struct WordDraw {
  const char* word;
  int x, y;
  uint32_t state;
};

WordDraw ReplayWord(uint32_t seed) {
  Replay r(seed);
  WordDraw w{};
  w.word = TORVELINWords()[r.next() % TORVELINWordCount()];
  const int width = 32 * static_cast<int>(strlen(w.word));
  w.x = width != 256 ? r.next() % (256 - width) : 0;
  w.y = r.next() % 192;
  w.state = r.state;
  return w;
}

int WordIndexOfLength(size_t length) {
  for (int i = 0; i < TORVELINWordCount(); ++i)
    if (strlen(TORVELINWords()[i]) == length) return i;
  return -1;
}

IMG* WordAlone(const WordDraw& w) {
  IMG* img = IMGNew();
  IMGAlloc(img, 256, 256);
  FONT font = *TORVELINWordFont;
  font.target = img;
  font.x = w.x;
  font.y = w.y;
  FONTPutString(&font, w.word);
  return img;
}

TEST_F(TORVELINLaserScene, StartMakesBlackLayersAndSixCentredLasersFromFortyTwoDraws) {
  const uint32_t seed = RNDState();
  TORVELINLasersStart();
  EXPECT_EQ(RNDState(), StateAfter(seed, 6 * 7));
  for (IMG* layer : {TORVELINTextLayer, TORVELINLaserLayer}) {
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->width, 256);
    EXPECT_EQ(layer->height, 256);
    EXPECT_TRUE(std::all_of(layer->pixels, layer->pixels + 256 * 256, [](uint32_t p) { return p == 0; }));
  }
  EXPECT_EQ(TORVELINWordFont->target, TORVELINTextLayer);
  const uint32_t colours[] = {0x00ff00, 0xff0000, 0x0088ff, 0xff00ff, 0xffff00, 0x00ffff};
  for (int i = 0; i < 6; ++i) {
    const LASER* laser = TORVELINLasers[i];
    ASSERT_NE(laser, nullptr);
    EXPECT_EQ(laser->target, TORVELINLaserLayer);
    EXPECT_EQ(laser->colour, colours[i]);
    EXPECT_EQ(laser->x0, 128);
    EXPECT_EQ(laser->y0, 128);
    EXPECT_EQ(laser->y1, 0);
  }
  // The lasers drew their start in table order: the first tip's column is
  // the third draw, the second's the tenth.
  Replay r(seed);
  r.skip(2);
  EXPECT_EQ(TORVELINLasers[0]->x1, r.next() % 256);
  r.skip(6);
  EXPECT_EQ(TORVELINLasers[1]->x1, r.next() % 256);
}

TEST_F(TORVELINLaserScene, AFrameWithoutAWordDrawsOnlyWhatTheLasersDraw) {
  TORVELINLasersStart();
  for (int k : {1000, 999, 33, 31}) {
    const uint32_t seed = RNDState();
    auto before = lasers();
    DrawK(k);
    const uint32_t after = RNDState();
    RNDSeed(seed);
    for (LASER& laser : before) LASERMove(&laser);
    EXPECT_EQ(RNDState(), after) << "k = " << k;
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(TORVELINLasers[i]->x1, before[i].x1);
      EXPECT_EQ(TORVELINLasers[i]->y1, before[i].y1);
    }
    RNDSeed(after);
  }
  // No word yet: the text layer is still black.
  EXPECT_TRUE(std::all_of(TORVELINTextLayer->pixels, TORVELINTextLayer->pixels + 256 * 256,
                          [](uint32_t p) { return p == 0; }));
}

TEST_F(TORVELINLaserScene, AWordFrameDrawsTheLaserMovesThenTheWordAndWritesIt) {
  TORVELINLasersStart();
  const uint32_t seed = RNDState();
  auto before = lasers();
  DrawK(992);
  const uint32_t after = RNDState();
  RNDSeed(seed);
  for (LASER& laser : before) LASERMove(&laser);
  const WordDraw w = ReplayWord(RNDState());
  EXPECT_EQ(after, w.state);
  RNDSeed(after);
  EXPECT_EQ(TORVELINWordFont->y, w.y);
  EXPECT_EQ(TORVELINWordFont->x, w.x + 32 * static_cast<int>(strlen(w.word)));
  // The first word lands on a black text layer, faded once beforehand.
  IMG* alone = WordAlone(w);
  EXPECT_TRUE(IMGEqual(alone, TORVELINTextLayer)) << w.word;
  IMGFree(&alone);
}

TEST_F(TORVELINLaserScene, AnEightLetterWordSitsAtTheLeftEdgeAndDrawsNoColumn) {
  const int eight = WordIndexOfLength(8);
  const int five = WordIndexOfLength(5);
  ASSERT_GE(eight, 0);
  ASSERT_GE(five, 0);
  const int count = TORVELINWordCount();
  TORVELINLasersStart();
  struct Case {
    int index, draws;
  };
  for (const Case& c : {Case{eight, 2}, Case{five, 3}}) {
    calmLasers();
    const uint32_t seed = SeedWhoseNextDraw(12345u, [&](int v) { return v % count == c.index; });
    RNDSeed(seed);
    DrawK(0);
    EXPECT_EQ(RNDState(), StateAfter(seed, c.draws)) << TORVELINWords()[c.index];
    Replay r(seed);
    r.next();
    const int x = c.draws == 3 ? r.next() % (256 - 32 * 5) : 0;
    const int y = r.next() % 192;
    EXPECT_EQ(TORVELINWordFont->y, y);
    EXPECT_EQ(TORVELINWordFont->x, x + 32 * static_cast<int>(strlen(TORVELINWords()[c.index])));
  }
}

TEST_F(TORVELINLaserScene, TheFrameIsTheBeamsWithTheWordsAddedSaturating) {
  TORVELINLasersStart();
  for (int k = 1000; k >= 960; --k) DrawK(k);  // two words so far
  for (int i = 0; i < 256 * 256; ++i) {
    const uint32_t l = TORVELINLaserLayer->pixels[i], t = TORVELINTextLayer->pixels[i];
    uint32_t want = 0;
    for (int shift : {16, 8, 0}) want |= std::min(255u, Channel(l, shift) + Channel(t, shift)) << shift;
    ASSERT_EQ(TORVELINFrame->pixels[i], want) << i;
  }
  // Trails fade by 2 per channel and frame: a pixel set to 0x808080 in the
  // laser layer and not hit again shows 0x7e7e7e one frame later.
  calmLasers();
  TORVELINLaserLayer->pixels[255 * 256 + 0] = 0x808080;
  TORVELINTextLayer->pixels[255 * 256 + 0] = 0x050505;
  // Beam 0xf00010 and word 0x303030, both after their fade, give 0xff3040:
  // red saturates.
  TORVELINLaserLayer->pixels[255 * 256 + 1] = 0xf20012;
  TORVELINTextLayer->pixels[255 * 256 + 1] = 0x323232;
  DrawK(959);
  EXPECT_EQ(TORVELINFrame->pixels[255 * 256 + 1], 0xff3040u);
  EXPECT_EQ(TORVELINLaserLayer->pixels[255 * 256], 0x7e7e7eu);
  EXPECT_EQ(TORVELINTextLayer->pixels[255 * 256], 0x030303u);
  EXPECT_EQ(TORVELINFrame->pixels[255 * 256], 0x818181u);
}

TEST_F(TORVELINLaserScene, TheSceneIsItsStartThenFramesFromAThousandDownToZero) {
  QuietMusic quiet;
  StateRecorder recorder;
  recorder.attach();
  const uint32_t seed = RNDState();
  TORVELINSceneLasers();
  ASSERT_EQ(recorder.states.size(), 1001u);
  EXPECT_TRUE(allFreed());

  RNDSeed(seed);
  TORVELINLasersStart();
  int words = 0;
  for (int k = 1000; k >= 0; --k) {
    const uint32_t before = RNDState();
    auto moved = lasers();
    for (LASER& laser : moved) LASERMove(&laser);
    const uint32_t afterMoves = RNDState();
    RNDSeed(before);
    DrawK(k);
    if (RNDState() != afterMoves) ++words;
    ASSERT_EQ(RNDState(), recorder.states[1000 - k]) << "k = " << k;
    ASSERT_EQ(Fingerprint(TORVELINFrame), recorder.pictures[1000 - k]) << "k = " << k;
  }
  EXPECT_EQ(words, 32);
}

TEST_F(TORVELINLaserScene, SpaceOnTheFirstFrameEndsTheSceneWithEverythingFreed) {
  script({{0, ' ', true}});
  TORVELINSceneLasers();
  EXPECT_EQ(HEADLESSFrameCount(), 1);
  EXPECT_EQ(TORVELINNextPart, 0);
  EXPECT_TRUE(allFreed());
  // The next run starts afresh.
  script({{1, ' ', false}, {2, ' ', true}});
  TORVELINSceneLasers();
  EXPECT_EQ(HEADLESSFrameCount(), 3);
  EXPECT_TRUE(allFreed());
}

}  // namespace
