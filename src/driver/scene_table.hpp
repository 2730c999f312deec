// The loop of five scenes, written once. Every scene has the same three
// parts: a start that creates what the scene owns (and makes its random
// choices), the drawing of one frame into the frame image, and a stop that
// frees it again. The table below gives their order, their lengths and
// their parts; the player (player.hpp) steps through it a frame at a time,
// and the scene functions, the programs, the tools, the tests and the
// benchmarks all take the order and the lengths from it.
#pragma once
#include <cstdint>
#include <iterator>

struct IMG;
struct LASER;

// One row of the loop. draw(f) draws frame f of a run, f counting from 0;
// each scene turns f into its own counter. start and stop may be null: the
// scene then creates nothing of its own.
struct TORVELINScene {
  const char* name;
  int frames;
  void (*play)();  // the scene function: one whole run through the player
  void (*start)();
  void (*draw)(int f);
  void (*stop)();
};

// The scene functions the programs' loop calls; each returns when its frames
// are used up or SPACE was pressed.
void TORVELINSceneLasers();
void TORVELINSceneScroller();
void TORVELINSceneLogos();
void TORVELINSceneTiles();
void TORVELINSceneNoise();

// Laser scene: six beams fanning out from the centre, random words fading.
inline constexpr int TORVELINLaserCount = 6;
inline constexpr int TORVELINLaserFrames = 1001;  // its counter k runs 1000 down to 0
inline constexpr int TORVELINWordPeriod = 32;     // a word whenever k is a multiple
inline constexpr uint32_t TORVELINLaserFade = 0x020202u;
extern const uint32_t TORVELINLaserColours[TORVELINLaserCount];

extern IMG* TORVELINTextLayer;
extern IMG* TORVELINLaserLayer;
extern LASER* TORVELINLasers[TORVELINLaserCount];

void TORVELINLasersStart();
void TORVELINLasersDraw(int f);
// Picks a word and a place at random and writes it into the text layer.
void TORVELINLasersWord();
void TORVELINLasersStop();

// Scroller scene: the sine scroller over the raster floor and sixteen
// sparkles (their state carries over, see TORVELINCarry). Creates nothing.
inline constexpr int TORVELINScrollerSceneFrames = 2001;
void TORVELINScrollerSceneDraw(int f);

// Logo scene: eight tinted copies of the logo swinging on one sine.
inline constexpr int TORVELINLogoCopyCount = 8;
inline constexpr int TORVELINLogoFrames = 1000;  // its counter n runs 1000 down to 1
extern IMG* TORVELINLogoCopies[TORVELINLogoCopyCount];

void TORVELINLogosStart();
void TORVELINLogosDraw(int f);
void TORVELINLogosStop();
// Left edge of a copy of width d when the wave stands at v.
int TORVELINLogoSwingX(int32_t v, int32_t d);

// Tile scene: the tile wall, the wide logo, the large scroller and the
// sprite chain (its waves carry over, see TORVELINCarry).
inline constexpr int TORVELINTileSceneFrames = 2000;  // its counter n runs 2000 down to 1
// The choices of one run of the tile scene, made by its start.
struct TORVELINTileRun {
  int32_t tileA;     // the wall
  int32_t tileB;     // the large scroller's dots, never equal to tileA
  int32_t upright;   // 0 (one run in 32): the large letters come out as negatives
};
extern TORVELINTileRun TORVELINTileChoices;
struct TORVELINPoint {
  int32_t x;
  int32_t y;
};
// Makes the run's choices (inverting the small font for a negative run).
void TORVELINTileSceneStart();
void TORVELINTileSceneDraw(int f);
// Restores the small font after a negative run.
void TORVELINTileSceneStop();
// Top-left corner of a chain sprite for the working phases p1..p4.
TORVELINPoint TORVELINSpritePosition(int32_t p1, int32_t p2, int32_t p3, int32_t p4);

// Noise scene: grey noise under a wandering tint (see TORVELINCarry), the
// strip over it. Creates nothing.
inline constexpr int TORVELINNoiseFrames = 1000;  // its counter i runs 0 to 999
inline constexpr int TORVELINStripFrames = 9;
inline constexpr int TORVELINStripHold = 20;      // frames each strip picture stays
inline constexpr int32_t TORVELINWanderTop = 0xff0000;  // a wander channel at level 255

// Moves each channel one step, bouncing at the ends with a new random pace.
uint32_t TORVELINWanderColour();
// Every pixel becomes half the colour plus a random grey 0..127, one random
// number per pixel, last pixel first.
void TORVELINNoiseFill(IMG* image, uint32_t colour);
void TORVELINNoiseDraw(int f);

// The loop, in playing order.
inline constexpr TORVELINScene TORVELINScenes[] = {
    {"lasers", TORVELINLaserFrames, TORVELINSceneLasers, TORVELINLasersStart, TORVELINLasersDraw, TORVELINLasersStop},
    {"scroller", TORVELINScrollerSceneFrames, TORVELINSceneScroller, nullptr, TORVELINScrollerSceneDraw, nullptr},
    {"logos", TORVELINLogoFrames, TORVELINSceneLogos, TORVELINLogosStart, TORVELINLogosDraw, TORVELINLogosStop},
    {"tiles", TORVELINTileSceneFrames, TORVELINSceneTiles, TORVELINTileSceneStart, TORVELINTileSceneDraw,
     TORVELINTileSceneStop},
    {"noise", TORVELINNoiseFrames, TORVELINSceneNoise, nullptr, TORVELINNoiseDraw, nullptr},
};
inline constexpr int TORVELINSceneCount = static_cast<int>(std::size(TORVELINScenes));

// The frames of one whole loop when no key cuts a scene short.
inline constexpr int TORVELINLoopFrames = [] {
  int sum = 0;
  for (const TORVELINScene& scene : TORVELINScenes) sum += scene.frames;
  return sum;
}();
