// SDLDPY: the program's one window. It opens the window with a size and the
// caption "TORVELIN" and presents an IMG on it, pixel for pixel.
// There is at most one display; every operation compares its argument with it.
#pragma once
#include <cstdint>

struct IMG;

struct SDLDPY {
  int32_t width;
  int32_t height;
  int32_t depth;  // bits per pixel of the screen surface that was granted
};

// Chooses whether windows opened from now on cover the screen. The
// full-screen program chooses it once at start, before the first window.
void SDLDPYSetFullScreen(bool fullScreen);
// Returns the single display, opening a 256 x 256 window on the first call.
SDLDPY* SDLDPYNew();
void SDLDPYFree(SDLDPY** ref);
// "" for the single display, null otherwise; the caller frees the text.
char* SDLDPYToASCII(const SDLDPY* display);
// A display is never made from text: always null.
SDLDPY* SDLDPYFromASCII(const char* text);
bool SDLDPYEqual(const SDLDPY* a, const SDLDPY* b);
// The single display itself (never a copy); null otherwise.
SDLDPY* SDLDPYCopy(const SDLDPY* display);
// Opens or re-opens the window. When the window system refuses, the record
// keeps its previous size and SDLDPYFailure() tells why.
void SDLDPYSetMode(SDLDPY* display, int width, int height);
// Presents the top-left part of the image that fits the window.
void SDLDPYShow(SDLDPY* display, const IMG* image);
// Presents an image of exactly the display's size. The window system shows
// the screen's own buffer, so lending it the image's words would show a
// stale picture: this copies them into the screen, as SDLDPYShowCopy does.
void SDLDPYShowInPlace(SDLDPY* display, const IMG* image);
void SDLDPYShowCopy(SDLDPY* display, const IMG* image);
void SDLDPYError();

// The single display, or null when none exists.
SDLDPY* SDLDPYCurrent();
// Null while a window is open; otherwise the window system's reason why the
// last SDLDPYSetMode failed (or a note that none was attempted).
const char* SDLDPYFailure();
// Reads the window's enlargement from its text form (the value of
// TORVELIN_SCALE): a whole number from 1 to SDLDPYMaxScale in decimal
// digits. False, leaving *scale alone, for anything else.
constexpr int SDLDPYMaxScale = 8;
bool SDLDPYScaleFromText(const char* text, int* scale);
// The largest enlargement, up to `asked`, at which a width x height window
// fits a screen of the given size with room left for its title bar and
// frame (SDLDPYWindowFrameRoom pixels each way); never below 1. A screen
// of unknown size (0) takes `asked`.
constexpr int SDLDPYWindowFrameRoom = 48;
int SDLDPYFittingScale(int asked, int width, int height, int screenWidth, int screenHeight);
// The whole enlargement nearest a desktop scale in percent, halves rounded
// up (125 -> 1, 150 -> 2, 250 -> 3), from 1 to SDLDPYMaxScale.
int SDLDPYScaleForDesktop(int percent);
// Starts the window system without subsystems and arranges its shutdown at
// exit. Called once by the program's entry function.
void SDLDPYStartSystem();
