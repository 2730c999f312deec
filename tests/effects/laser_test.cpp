#include "effects/laser.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "core/rnd.hpp"
#include "image/img.hpp"
#include "../generator_replay.hpp"

namespace {

struct OwnedImage {
  IMG* img = IMGNew();
  OwnedImage(int w, int h) { IMGAlloc(img, w, h); }
  OwnedImage(const OwnedImage&) = delete;
  OwnedImage& operator=(const OwnedImage&) = delete;
  ~OwnedImage() { IMGFree(&img); }
  int Lit() const {
    int lit = 0;
    for (int i = 0; i < img->width * img->height; ++i) lit += img->pixels[i] != 0 ? 1 : 0;
    return lit;
  }
};

struct OwnedLaser {
  LASER* laser = LASERNew();
  OwnedLaser() = default;
  OwnedLaser(const OwnedLaser&) = delete;
  OwnedLaser& operator=(const OwnedLaser&) = delete;
  ~OwnedLaser() {
    if (laser != nullptr) LASERFree(&laser);
  }
};

// Replays the shared generator's sequence from a state, without touching the
// generator itself, to predict a laser's draws.
struct LaserReplay : Replay {
  using Replay::Replay;
  int Speed(int range = 12, int base = 8) {
    int magnitude = next() % range + base;
    return (next() & 1) != 0 ? -magnitude : magnitude;
  }
};

// Number of draws taken from the shared generator since it was seeded.
int DrawsSince(uint32_t seed, int limit = 64) { return DrawsBetween(seed, RNDState(), limit); }

void Place(LASER* laser, int x1, int y1, int vx, int vy) {
  laser->x1 = x1;
  laser->y1 = y1;
  laser->vx = vx;
  laser->vy = vy;
}

}  // namespace

TEST(LASER, InitDrawsSevenNumbersInOrder) {
  OwnedImage target(256, 200);
  OwnedLaser l;
  ASSERT_NE(l.laser, nullptr);
  const uint32_t seed = 0x2EDFADE2u;
  RNDSeed(seed);
  LASERInit(l.laser, target.img);
  EXPECT_EQ(DrawsSince(seed), 7);

  LaserReplay replay(seed);
  EXPECT_EQ(l.laser->x0, replay.next() % 256);
  EXPECT_EQ(l.laser->y0, replay.next() % 200);
  EXPECT_EQ(l.laser->x1, replay.next() % 256);
  EXPECT_EQ(l.laser->y1, 0);
  EXPECT_EQ(l.laser->vx, replay.Speed());
  EXPECT_EQ(l.laser->vy, replay.Speed());
  EXPECT_EQ(l.laser->speedRange, 12);
  EXPECT_EQ(l.laser->speedBase, 8);
  EXPECT_EQ(l.laser->colour, 0xFFFFFFu);
  EXPECT_EQ(l.laser->target, target.img);
}

TEST(LASER, InitIgnoresMissingOrEmptyTargetsWithoutDrawing) {
  OwnedLaser l;
  OwnedImage empty(0, 0);
  RNDSeed(99);
  LASERInit(l.laser, nullptr);
  LASERInit(nullptr, empty.img);
  LASERInit(l.laser, empty.img);
  EXPECT_EQ(DrawsSince(99), 0);
  EXPECT_EQ(l.laser->target, nullptr);
  // An unbound laser neither moves nor draws.
  LASERMove(l.laser);
  LASERDraw(l.laser);
  EXPECT_EQ(DrawsSince(99), 0);
}

TEST(LASER, RandomSpeedCoversBothSignsAndTwelveMagnitudes) {
  OwnedLaser l;
  l.laser->speedRange = 12;
  l.laser->speedBase = 8;
  RNDSeed(5);
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) seen.insert(LASERRandomSpeed(l.laser));
  EXPECT_EQ(DrawsSince(5, 4000), 4000);
  EXPECT_EQ(seen.size(), 24u);
  EXPECT_EQ(*seen.begin(), -19);
  EXPECT_EQ(*seen.rbegin(), 19);
  EXPECT_EQ(seen.count(7), 0u);
  EXPECT_EQ(seen.count(-8), 1u);
}

TEST(LASER, RandomSpeedRefusesOnlyARangeOfZero) {
  OwnedLaser l;
  l.laser->speedBase = 8;
  l.laser->speedRange = 0;
  RNDSeed(5);
  EXPECT_EQ(LASERRandomSpeed(l.laser), 0);
  EXPECT_EQ(DrawsSince(5), 0);
  // A negative range divides like any other: the remainder keeps the draw's
  // sign, so magnitudes are 8 to 12, and both draws are made.
  l.laser->speedRange = -5;
  std::set<int> seen;
  for (int i = 0; i < 500; ++i) seen.insert(LASERRandomSpeed(l.laser));
  EXPECT_EQ(DrawsSince(5, 1000), 1000);
  EXPECT_EQ(seen, (std::set<int>{-12, -11, -10, -9, -8, 8, 9, 10, 11, 12}));
}

TEST(LASER, FreeMovingTipDrawsNothing) {
  OwnedImage target(256, 256);
  OwnedLaser l;
  RNDSeed(1);
  LASERInit(l.laser, target.img);
  Place(l.laser, 100, 100, -12, 17);
  const uint32_t seed = RNDState();
  LASERMove(l.laser);
  EXPECT_EQ(DrawsSince(seed), 0);
  EXPECT_EQ(l.laser->x1, 88);
  EXPECT_EQ(l.laser->y1, 117);
  EXPECT_EQ(l.laser->vx, -12);
  EXPECT_EQ(l.laser->vy, 17);
}

TEST(LASER, SideEdgeStopsTheTipAndTurnsItVertical) {
  OwnedImage target(256, 256);
  OwnedLaser l;
  RNDSeed(1);
  LASERInit(l.laser, target.img);
  Place(l.laser, 256 - 5, 100, 10, 3);
  const uint32_t seed = RNDState();
  LaserReplay replay(seed);
  const int vy = replay.Speed();
  LASERMove(l.laser);
  EXPECT_EQ(DrawsSince(seed), 2);
  EXPECT_EQ(l.laser->x1, 255);
  EXPECT_EQ(l.laser->vx, 0);
  EXPECT_EQ(l.laser->vy, vy);
  EXPECT_EQ(l.laser->y1, 100 + vy);

  LASERMove(l.laser);
  EXPECT_EQ(DrawsSince(seed), 2);
  EXPECT_EQ(l.laser->x1, 255);
  EXPECT_EQ(l.laser->y1, 100 + 2 * vy);

  // The left edge likewise.
  Place(l.laser, 3, 100, -10, 0);
  const uint32_t left = RNDState();
  LASERMove(l.laser);
  EXPECT_EQ(DrawsSince(left), 2);
  EXPECT_EQ(l.laser->x1, 0);
  EXPECT_EQ(l.laser->vx, 0);
  EXPECT_NE(l.laser->vy, 0);
}

TEST(LASER, TopAndBottomEdgesTurnTheTipHorizontal) {
  OwnedImage target(200, 150);
  OwnedLaser l;
  RNDSeed(7);
  LASERInit(l.laser, target.img);
  Place(l.laser, 100, 147, 0, 9);
  uint32_t seed = RNDState();
  LaserReplay replay(seed);
  const int vx = replay.Speed();
  LASERMove(l.laser);
  EXPECT_EQ(DrawsSince(seed), 2);
  EXPECT_EQ(l.laser->y1, 149);
  EXPECT_EQ(l.laser->vy, 0);
  EXPECT_EQ(l.laser->vx, vx);
  EXPECT_EQ(l.laser->x1, 100);  // the new speed applies from the next step

  Place(l.laser, 100, 4, 0, -9);
  seed = RNDState();
  LASERMove(l.laser);
  EXPECT_EQ(DrawsSince(seed), 2);
  EXPECT_EQ(l.laser->y1, 0);
  EXPECT_EQ(l.laser->vy, 0);
}

TEST(LASER, StoppedTipDrawsBothSpeedsFirst) {
  OwnedImage target(256, 256);
  OwnedLaser l;
  RNDSeed(3);
  LASERInit(l.laser, target.img);
  Place(l.laser, 128, 128, 0, 0);
  const uint32_t seed = RNDState();
  LaserReplay replay(seed);
  const int vx = replay.Speed();
  const int vy = replay.Speed();
  LASERMove(l.laser);
  EXPECT_EQ(DrawsSince(seed), 4);
  EXPECT_EQ(l.laser->x1, 128 + vx);
  EXPECT_EQ(l.laser->y1, 128 + vy);
}

TEST(LASER, CornerTipTurnsUntilItSlidesAlongAnEdge) {
  OwnedImage target(64, 48);
  OwnedLaser l;
  for (uint32_t seed = 1; seed <= 50; ++seed) {
    RNDSeed(seed);
    LASERInit(l.laser, target.img);
    Place(l.laser, 63, 0, 10, -10);
    for (int step = 0; step < 200; ++step) {
      LASERMove(l.laser);
      ASSERT_GE(l.laser->x1, 0);
      ASSERT_LT(l.laser->x1, 64);
      ASSERT_GE(l.laser->y1, 0);
      ASSERT_LT(l.laser->y1, 48);
      // Once turned, the tip always slides along one axis.
      ASSERT_TRUE(l.laser->vx == 0 || l.laser->vy == 0) << seed << " " << step;
      ASSERT_FALSE(l.laser->vx == 0 && l.laser->vy == 0);
    }
  }
}

TEST(LASER, DrawLightsTheBeamFromAnchorToTip) {
  OwnedImage target(32, 16);
  OwnedLaser l;
  RNDSeed(1);
  LASERInit(l.laser, target.img);
  l.laser->colour = 0x00FF00;
  l.laser->x0 = l.laser->x1 = 5;
  l.laser->y0 = l.laser->y1 = 6;
  LASERDraw(l.laser);
  EXPECT_EQ(target.Lit(), 1);
  EXPECT_EQ(IMGGetPixel(target.img, 5, 6), 0x00FF00u);

  IMGClear(target.img);
  l.laser->x0 = 0;
  l.laser->y0 = 0;
  l.laser->x1 = 9;
  l.laser->y1 = 3;
  LASERDraw(l.laser);
  EXPECT_EQ(target.Lit(), 10);
  EXPECT_EQ(IMGGetPixel(target.img, 0, 0), 0x00FF00u);
  EXPECT_EQ(IMGGetPixel(target.img, 9, 3), 0x00FF00u);
}

TEST(LASER, AnchorOutsideTheImageDrawsOnlyTheInsidePart) {
  OwnedImage target(32, 16);
  OwnedLaser l;
  RNDSeed(1);
  LASERInit(l.laser, target.img);
  l.laser->x0 = -20;
  l.laser->y0 = 5;
  l.laser->x1 = 10;
  l.laser->y1 = 5;
  LASERDraw(l.laser);
  EXPECT_EQ(target.Lit(), 11);
  for (int x = 0; x <= 10; ++x) EXPECT_EQ(IMGGetPixel(target.img, x, 5), 0xFFFFFFu) << x;
}

TEST(LASER, NoiseDrawTakesOneNumberPerPointFromTheTip) {
  OwnedImage target(32, 16);
  OwnedLaser l;
  RNDSeed(11);
  LASERInit(l.laser, target.img);
  l.laser->x0 = 2;
  l.laser->y0 = 4;
  l.laser->x1 = 6;
  l.laser->y1 = 4;
  const uint32_t seed = RNDState();
  LaserReplay replay(seed);
  LASERDrawNoise(l.laser);
  EXPECT_EQ(DrawsSince(seed), 5);
  for (int x = 6; x >= 2; --x) {
    EXPECT_EQ(IMGGetPixel(target.img, x, 4), static_cast<uint32_t>(replay.next()) & 0xFFFFFFu);
  }
}

TEST(LASER, FreeReleasesOnlyTheLaser) {
  OwnedImage target(8, 8);
  LASER* laser = LASERNew();
  ASSERT_NE(laser, nullptr);
  LASERInit(laser, target.img);
  LASERFree(&laser);
  EXPECT_EQ(laser, nullptr);
  LASERFree(&laser);
  LASERFree(nullptr);
  // The target survives its laser.
  IMGSetPixel(target.img, 7, 7, 1);
  EXPECT_EQ(IMGGetPixel(target.img, 7, 7), 1u);
}
