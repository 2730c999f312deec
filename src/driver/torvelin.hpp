// TORVELIN: the main module. Start-up, the frame step every scene runs, the
// key commands, the exit fade and the state the scenes carry from run to
// run; the scenes themselves are in scene_table.hpp. Everything the start-up
// creates lives for the whole run in the module-level objects below.
#pragma once
#include <cstdint>

struct IMG;
struct SDLDPY;
struct SDLKBD;
struct FONT;
struct SCROLL;
struct SCROLLXL;
struct STARS;
struct SDLSND;
struct MUSIC;

// The window, the keyboard and the one image every scene draws into.
extern SDLDPY* TORVELINDisplay;
extern SDLKBD* TORVELINKeyboard;
extern IMG* TORVELINFrame;

// Flags: SPACE sets the next-part flag, the running scene clears it; the
// exit keys set the exit flag; F flips bit 0 of the rate-display flag.
extern uint8_t TORVELINNextPart;
extern uint8_t TORVELINExit;
extern uint8_t TORVELINRateDisplay;
// Flipped by the keys 1 to 7 (start values 1, 1, 1, 3).
extern uint8_t TORVELINToggles[4];

// The display size that start-up and the scenes centre and wrap with.
extern int32_t TORVELINWidth;
extern int32_t TORVELINHeight;

// Pictures and fonts.
extern IMG* TORVELINLogo;
extern IMG* TORVELINWideLogo;
extern FONT* TORVELINWordFont;
extern FONT* TORVELINSmallFont;
extern FONT* TORVELINScrollerFont;
extern FONT* TORVELINTileFont;
extern FONT* TORVELINSparkleFont;
extern FONT* TORVELINBobFont;
extern IMG* TORVELINStrip;

// Texts, scrollers and stars.
extern uint8_t* TORVELINMessage;
extern SCROLL* TORVELINScroller;
extern IMG* TORVELINScrollerImage;
extern SCROLLXL* TORVELINLargeScroller;
extern STARS* TORVELINStars[3];

// Sound output (null when the device is refused) and music.
extern SDLSND* TORVELINSound;
extern MUSIC* TORVELINMusic;

// The sine scroller starts at speed 7; o and p change its own speed field
// within -32..32. The large scroller runs at 9.
constexpr int32_t TORVELINScrollerSpeedLimit = 32;
constexpr int32_t TORVELINScrollerStartSpeed = 7;
constexpr int32_t TORVELINLargeScrollerSpeed = 9;
constexpr int TORVELINStarLayers = 3;
constexpr int TORVELINStarsPerLayer = 64;

constexpr int TORVELINFrameRate = 50;
constexpr uint32_t TORVELINSeed = 786410978u;  // 0x2EDFADE2
constexpr int TORVELINFadeSteps = 64;
constexpr uint32_t TORVELINFadeColour = 0x040404u;

// Start-up: the run state put back (TORVELINResetRunState), seed, display,
// keyboard, frame image, set-ups, frame rate.
// Exits with status 1 and a line on standard error when the window cannot
// be opened.
void TORVELINInit();
// The end of a run for the hosts that go on after it (the page's play
// again, the capture and soak tools, the benchmarks, the tests): stops the
// running scene and frees what start-up made, the window and keyboard
// included. The programs never call it: they end through the exit fade.
void TORVELINShutdown();
// The logo, the wide logo, the six fonts and the strip; draws no random
// number. TORVELINFreePictures releases them (a repeated start-up does).
void TORVELINSetUpPictures();
void TORVELINFreePictures();
// The message, the two scrollers and the star layers (the run's first
// random draws). Needs the fonts and the frame image. TORVELINFreeText
// releases them (a repeated start-up does).
void TORVELINSetUpText();
void TORVELINFreeText();
void TORVELINSetUpSound();
void TORVELINMusicInit();

// a folded into 0..n-1 (0 for a range of n <= 0).
int TORVELINWrap(int a, int n);
void TORVELINError();

// Applies one key. The exit keys set the exit flag and, in the programs,
// fade the frame out and end the process with status 0 (see TORVELINQuit).
void TORVELINKeyCommand(int8_t key);
// Set by a host that owns its loop and cannot block in a fade or end the
// process (a web page, the capture tool): the exit keys then only set the
// exit flag, and the host steps the fade (TORVELINFadeStep) and stops. False
// in the programs.
extern bool TORVELINHostEndsRun;
// Adds delta to the scroller's speed, held within -32..32.
void TORVELINScrollerSpeed(int delta);
// Runs the exit fade, TORVELINFadeOut. The caller ends the process after it.
void TORVELINQuit();
// The whole fade at the program's pace: TORVELINFadeSteps steps.
void TORVELINFadeOut();
// One step of the exit fade: the frame image darkens by TORVELINFadeColour,
// and the step is paced and presented like a frame. No music, no keys.
void TORVELINFadeStep();
// Ends the process at once, without the fade, when a signal asked it to
// stop: exit status 128 + the signal's number, after SDL's shutdown (which
// the exit runs) has put the screen back.
[[noreturn]] void TORVELINStopBySignal(int signal);

// The frame step after a scene has drawn its frame: pace, overlay the rate,
// present, pump the music, apply the key. True when the scene must end.
bool TORVELINFrameStep();
void TORVELINShowRate();
void TORVELINMusicPump();

// What the scenes carry from one run to the next, kept together so that one
// call puts it all back as it is at program start.
struct TORVELINSparkle {
  int32_t x;
  int32_t y;
  int32_t c;  // animation step; from 32 on nothing is drawn
};
constexpr int TORVELINSparkleCount = 16;
// The tile scene's chain: four sine waves; the phases carry over, the steps
// per sprite and the count are drawn at every start.
struct TORVELINWave {
  int32_t phase;
  int32_t stepPerFrame;
  int32_t amplitude;
  int32_t stepPerSprite;
};
// One channel of the noise scene's colour wanderer, in units where 0xff0000
// is level 255.
struct TORVELINWanderChannel {
  int32_t value;
  int32_t speed;
};
struct TORVELINCarried {
  TORVELINSparkle sparkles[TORVELINSparkleCount];  // scroller scene
  TORVELINWave waves[4];                           // tile scene: x, x, y, y
  int32_t spriteCount;                             // tile scene
  TORVELINWanderChannel wander[3];                 // noise scene: red, green, blue
  uint32_t wanderedColour;                         // the wanderer's last colour
};
extern TORVELINCarried TORVELINCarry;
// Puts back everything a run of the loop changes and start-up does not
// make anew: the carried scene state, the flags and toggles, the sine
// scroller's wave phase, the frame pacing and the player's place in the
// loop (any scene it was running must have been stopped). TORVELINInit
// calls it, so a second start-up in one process plays the first run again.
void TORVELINResetRunState();
