// The web side of the platform, on the browser port of SDL 1.2: the screen
// is the page's canvas, keys come from the page, the clock is the page's.
//
// The canvas holds its pixels as bytes in the order red, green, blue,
// alpha, whatever masks a surface is given, and the port has no format
// conversion of its own: a presented frame is written into the screen's
// buffer with red and blue swapped and alpha set, then shown on unlock.
#include <SDL/SDL.h>

#include <cstring>

#include "image/img.hpp"
#include "platform/device.hpp"
#include "platform/web/frame_clock.hpp"

namespace {

constexpr const char* kCaption = "TORVELIN";

SDL_Surface* screen = nullptr;

// 0x00RRGGBB to the canvas's bytes R, G, B, A read as a little-endian word.
inline uint32_t CanvasWord(uint32_t p) {
  return 0xff000000u | (p & 0x0000ff00u) | (p >> 16 & 0xffu) | (p & 0xffu) << 16;
}

void CopyIntoScreen(const IMG* image, int width, int height) {
  if (SDL_LockSurface(screen) != 0) return;
  auto* row = static_cast<uint8_t*>(screen->pixels);
  for (int y = 0; y < height; ++y, row += screen->pitch) {
    const uint32_t* from = image->pixels + static_cast<size_t>(y) * image->width;
    auto* to = reinterpret_cast<uint32_t*>(row);
    for (int x = 0; x < width; ++x) to[x] = CanvasWord(from[x]);
  }
  // Unlocking puts the buffer on the canvas.
  SDL_UnlockSurface(screen);
}

}  // namespace

void SDLDPYDeviceStartSystem() { SDL_Init(0); }

// A page has one canvas and no full-screen mode of its own: the page's
// button asks the browser for that.
bool SDLDPYDeviceOpen(int width, int height, bool, int* depth, const char** reason) {
  screen = SDL_SetVideoMode(width, height, 32, SDL_SWSURFACE);
  if (screen == nullptr) {
    *reason = "the page has no canvas";
    return false;
  }
  SDL_WM_SetCaption(kCaption, kCaption);
  *depth = screen->format->BitsPerPixel;
  return true;
}

void SDLDPYDeviceClose() { screen = nullptr; }

void SDLDPYDevicePresent(const IMG* image, int width, int height) {
  if (screen == nullptr) return;
  CopyIntoScreen(image, width < screen->w ? width : screen->w, height < screen->h ? height : screen->h);
}

void SDLDPYDevicePresentDirect(const IMG* image) { SDLDPYDevicePresent(image, image->width, image->height); }

// The page's frames are played in bursts from the browser's callback; each
// is timed at the moment it fell due, so the frame rate counts the intro's
// own frames, a steady 50 a second unless the page falls behind.
namespace {
uint32_t frameClock = 0;
}  // namespace

void WEBSetFrameClock(uint32_t milliseconds) { frameClock = milliseconds; }

uint32_t FPSDeviceTicks() { return frameClock; }

// The page cannot sleep: the browser's animation callback paces the frames
// (whole 50 Hz frames from its clock), so the pacing's wait is dropped.
void FPSDeviceSleep(uint32_t) {}
