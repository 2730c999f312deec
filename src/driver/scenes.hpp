// The laser, logo and noise scenes split into their parts: a start that
// creates what the scene owns, the drawing of one frame into the frame
// image, and a stop that frees it all again. Each scene function is a loop
// over these with the frame step in between; tests and benchmarks drive the
// parts directly.
#pragma once
#include <cstdint>

struct IMG;
struct LASER;

// Laser scene: six beams fanning out from the centre, random words fading.
inline constexpr int TORVELINLaserCount = 6;
inline constexpr int TORVELINLaserFrames = 1001;  // k runs 1000 down to 0
inline constexpr int TORVELINWordPeriod = 32;     // a word whenever k is a multiple
inline constexpr uint32_t TORVELINLaserFade = 0x020202u;
extern const uint32_t TORVELINLaserColours[TORVELINLaserCount];

extern IMG* TORVELINTextLayer;
extern IMG* TORVELINLaserLayer;
extern LASER* TORVELINLasers[TORVELINLaserCount];

void TORVELINLasersStart();
// Draws the frame with counter value k (1000 for the first frame).
void TORVELINLasersDraw(int k);
// Picks a word and a place at random and writes it into the text layer.
void TORVELINLasersWord();
void TORVELINLasersStop();

// Logo scene: eight tinted copies of the logo swinging on one sine.
inline constexpr int TORVELINLogoCopyCount = 8;
inline constexpr int TORVELINLogoFrames = 1000;  // n runs 1000 down to 1
extern IMG* TORVELINLogoCopies[TORVELINLogoCopyCount];

void TORVELINLogosStart();
// Draws the frame with counter value n (1000 for the first frame).
void TORVELINLogosDraw(int n);
void TORVELINLogosStop();
// Left edge of a copy of width d when the wave stands at v.
int TORVELINLogoSwingX(int32_t v, int32_t d);

// Noise scene: grey noise under a wandering tint, the strip over it.
inline constexpr int TORVELINNoiseFrames = 1000;  // i runs 0 to 999
inline constexpr int TORVELINStripFrames = 9;
inline constexpr int TORVELINStripHold = 20;      // frames each strip picture stays

// One channel of the colour wanderer, in units where 0xff0000 is level 255.
struct TORVELINWanderChannel {
  int32_t value;
  int32_t speed;
};
inline constexpr int32_t TORVELINWanderTop = 0xff0000;
// Red, green, blue. They keep wandering across runs of the scene.
extern TORVELINWanderChannel TORVELINWander[3];
// The colour the last TORVELINWanderColour call returned.
extern uint32_t TORVELINWanderedColour;

// Moves each channel one step, bouncing at the ends with a new random pace.
uint32_t TORVELINWanderColour();
// Every pixel becomes half the colour plus a random grey 0..127, one random
// number per pixel, last pixel first.
void TORVELINNoiseFill(IMG* image, uint32_t colour);
// Draws the frame with counter value i (0 for the first frame).
void TORVELINNoiseDraw(int i);
