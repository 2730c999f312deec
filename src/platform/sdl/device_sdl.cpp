// The SDL side of the platform: window, screen presentation, events, clock.
#include <SDL/SDL.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include "image/img.hpp"
#include "platform/device.hpp"

namespace {

constexpr Uint32 kWindowedFlags = SDL_HWSURFACE | SDL_ANYFORMAT;
constexpr Uint32 kFullScreenFlags = kWindowedFlags | SDL_FULLSCREEN;
constexpr const char* kCaption = "TORVELIN";

// Video drivers that give a picture on a screen, in order of preference.
// SDL would otherwise fall back to drawing text art on the terminal.
constexpr const char* kScreenDrivers[] = {"x11", "fbcon"};

SDL_Surface* screen = nullptr;
std::string failure;
bool doubleBuffered = false;

void UpdateScreen() {
  if (doubleBuffered)
    SDL_Flip(screen);
  else
    SDL_UpdateRect(screen, 0, 0, 0, 0);
}

// True when the screen holds 0x00RRGGBB words, so image rows copy as they are.
bool ScreenMatchesImages() {
  const SDL_PixelFormat* f = screen->format;
  return f->BitsPerPixel == 32 && f->Rmask == 0x00ff0000u && f->Gmask == 0x0000ff00u &&
         f->Bmask == 0x000000ffu;
}

// Starting video makes SDL turn Ctrl+C and a terminate signal into a window
// close request, which this program drains and ignores, so nothing could
// stop it but the exit keys. These put back what the signals did before.
struct InterruptKeeper {
  struct sigaction interrupt {}, terminate{};
  InterruptKeeper() {
    sigaction(SIGINT, nullptr, &interrupt);
    sigaction(SIGTERM, nullptr, &terminate);
  }
  ~InterruptKeeper() {
    sigaction(SIGINT, &interrupt, nullptr);
    sigaction(SIGTERM, &terminate, nullptr);
  }
};

// A busy X server now and then refuses a connection: a few tries over a
// third of a second ride that out.
constexpr int kDisplayTries = 4;
constexpr Uint32 kDisplayRetryMs = 100;

bool StartDriver(const char* driver) {
  const bool mayRetry = driver != nullptr && strcmp(driver, "x11") == 0 && getenv("DISPLAY") != nullptr;
  for (int attempt = 1;; ++attempt) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
    if (!mayRetry || attempt == kDisplayTries) return false;
    SDL_Delay(kDisplayRetryMs);
  }
}

// Starts video on a screen driver unless the user chose one. False, with
// the reason in `failure`, when there is no screen to open a window on.
bool StartVideo() {
  const InterruptKeeper keeper;
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
  if (const char* chosen = getenv("SDL_VIDEODRIVER")) {
    if (StartDriver(chosen)) return true;
    failure = SDL_GetError();
    return false;
  }
  failure.clear();
  for (const char* driver : kScreenDrivers) {
    setenv("SDL_VIDEODRIVER", driver, 1);
    const bool started = StartDriver(driver);
    if (!started && failure.empty()) failure = SDL_GetError();
    unsetenv("SDL_VIDEODRIVER");
    if (started) return true;
  }
  if (getenv("DISPLAY") == nullptr) failure += " (DISPLAY is not set)";
  return false;
}

}  // namespace

void SDLDPYDeviceStartSystem() {
  SDL_Init(0);
  atexit(SDL_Quit);
}

bool SDLDPYDeviceOpen(int width, int height, bool fullScreen, int* depth, const char** reason) {
  if (!StartVideo()) {
    *reason = failure.c_str();
    return false;
  }
  const Uint32 videoFlags = fullScreen ? kFullScreenFlags : kWindowedFlags;
  screen = SDL_SetVideoMode(width, height, 0, videoFlags);
  if (screen == nullptr) {
    failure = SDL_GetError();
    *reason = failure.c_str();
    return false;
  }
  SDL_WM_SetCaption(kCaption, kCaption);
  *depth = screen->format->BitsPerPixel;
  doubleBuffered = (screen->flags & SDL_DOUBLEBUF) != 0;
  return true;
}

// SDL owns the screen surface; setting a new mode replaces it.
void SDLDPYDeviceClose() { screen = nullptr; }

// Copies the top-left width x height pixels of the image into the screen
// surface row by row; the screen must hold 0x00RRGGBB words.
static void copyIntoScreen(const IMG* image, int width, int height) {
  if (SDL_LockSurface(screen) != 0) return;
  auto* row = static_cast<Uint8*>(screen->pixels);
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  for (int y = 0; y < height; ++y, row += screen->pitch)
    memcpy(row, image->pixels + static_cast<size_t>(y) * image->width, rowBytes);
  SDL_UnlockSurface(screen);
}

void SDLDPYDevicePresent(const IMG* image, int width, int height) {
  if (screen == nullptr) return;
  // A screen that already holds our pixel words needs no conversion: a
  // converted copy and a blit would only move every word twice more each
  // frame, which is most of the program's time at 50 frames per second.
  if (ScreenMatchesImages() && width <= screen->w && height <= screen->h) {
    copyIntoScreen(image, width, height);
    UpdateScreen();
    return;
  }
  // The temporary surface borrows the image's words; its pitch is the
  // image's row length, so an image wider than the window keeps its rows.
  // No alpha mask: the top byte of a pixel word leaves no trace.
  SDL_Surface* borrowed = SDL_CreateRGBSurfaceFrom(
      image->pixels, width, height, 32, image->width * 4, 0x00ff0000u, 0x0000ff00u, 0x000000ffu, 0);
  if (borrowed == nullptr) return;
  SDL_Surface* converted = SDL_DisplayFormat(borrowed);
  if (converted != nullptr) {
    SDL_UpperBlit(converted, nullptr, screen, nullptr);
    SDL_FreeSurface(converted);
  }
  SDL_FreeSurface(borrowed);
  UpdateScreen();
}

void SDLDPYDevicePresentDirect(const IMG* image) {
  if (screen == nullptr) return;
  if (!ScreenMatchesImages()) {
    SDLDPYDevicePresent(image, image->width, image->height);
    return;
  }
  copyIntoScreen(image, image->width, image->height);
  UpdateScreen();
}

bool SDLKBDDevicePoll(SDLKBDEvent* event) {
  SDL_Event e;
  if (SDL_PollEvent(&e) == 0) return false;
  event->kind = SDLKBDEventKind::other;
  event->symbol = 0;
  event->name = nullptr;
  if (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) {
    event->kind = e.type == SDL_KEYDOWN ? SDLKBDEventKind::keyDown : SDLKBDEventKind::keyUp;
    event->symbol = static_cast<uint32_t>(e.key.keysym.sym);
    event->name = SDL_GetKeyName(e.key.keysym.sym);
  }
  return true;
}

uint32_t FPSDeviceTicks() { return SDL_GetTicks(); }

void FPSDeviceSleep(uint32_t milliseconds) { SDL_Delay(milliseconds); }
