// TORVELIN: the main module. Start-up, the scenes, the frame step every
// scene runs, the key commands and the exit fade. Everything the start-up
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

// The scroller's speed, changed by o and p within -32..32; the scroller
// scene moves the scroller by it.
extern int32_t TORVELINScrollerSpeedValue;
constexpr int32_t TORVELINScrollerSpeedLimit = 32;
constexpr int32_t TORVELINScrollerStartSpeed = 7;

constexpr int TORVELINFrameRate = 50;
constexpr uint32_t TORVELINSeed = 786410978u;  // 0x2EDFADE2
constexpr int TORVELINFadeSteps = 64;
constexpr uint32_t TORVELINFadeColour = 0x040404u;

// Start-up: seed, display, keyboard, frame image, set-ups, frame rate.
// Exits with status 1 and a line on standard error when the window cannot
// be opened.
void TORVELINInit();
void TORVELINSetUpSound();
void TORVELINMusicInit();

// a folded into 0..n-1 (0 for a range of n <= 0).
int TORVELINWrap(int a, int n);
void TORVELINError();

// Applies one key; does not return for q, Q and Escape.
void TORVELINKeyCommand(int8_t key);
// Adds delta to the scroller's speed, held within -32..32.
void TORVELINScrollerSpeed(int delta);
// Fades the frame image to black and ends the process with status 0.
void TORVELINQuit();
void TORVELINFadeOut();

// The frame step after a scene has drawn its frame: pace, overlay the rate,
// present, pump the music, apply the key. True when the scene must end.
bool TORVELINFrameStep();
void TORVELINShowRate();
void TORVELINMusicPump();

// The five scenes, in the order the main loop plays them.
void TORVELINSceneLasers();
void TORVELINSceneScroller();
void TORVELINSceneLogos();
void TORVELINSceneTiles();
void TORVELINSceneNoise();
