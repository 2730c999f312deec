// The SDL side of the platform: window, screen presentation, events, clock.
#include <SDL/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/system.hpp"
#include "image/img.hpp"
#include "image/img_enlarge.hpp"
#include "platform/desktop.hpp"
#include "platform/device.hpp"
#include "platform/sdldpy.hpp"
#include "platform/stop.hpp"

namespace {

constexpr Uint32 kWindowedFlags = SDL_HWSURFACE | SDL_ANYFORMAT;
constexpr Uint32 kFullScreenFlags = kWindowedFlags | SDL_FULLSCREEN;
constexpr const char* kCaption = "TORVELIN";

// Video drivers that put no picture on a screen: text art drawn on the
// terminal, or pictures drawn where nobody sees them.
constexpr const char* kBlindDrivers[] = {"aalib", "caca", "dummy", "offscreen"};

SDL_Surface* screen = nullptr;
std::string failure;
bool doubleBuffered = false;

// The desktop's size, read before the first mode is set (0 when unknown).
int desktopWidth = 0;
int desktopHeight = 0;

// Where the frame lands on the screen: enlarged `factor` times with its
// top-left corner at (left, top). Factor 1 at (0, 0) is the plain window.
struct Placement {
  int factor = 1;
  int left = 0;
  int top = 0;
  bool plain() const { return factor == 1 && left == 0 && top == 0; }
};
Placement placement;
// Presentations that still blacken the whole screen first (each buffer of
// a double-buffered screen once), so the margins start black.
int blackFramesLeft = 0;
// The enlarged frame, for screens whose pixel format SDL must convert.
IMG* enlarged = nullptr;

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
// close request, which this program drains and ignores. These put back
// what the signals did before; once the window is open the program's own
// handler takes them (STOPWatchSignals).
struct InterruptKeeper {
  InterruptKeeper() { STOPSaveHandlers(); }
  ~InterruptKeeper() { STOPRestoreHandlers(); }
};

// The text-art driver takes over the terminal as soon as it starts, before
// the program can look at it and refuse it: while SDL chooses a driver it
// is told to draw nowhere, unless the user set its output.
struct TextArtMuffler {
  bool muffled = getenv("CACA_DRIVER") == nullptr;
  TextArtMuffler() {
    if (muffled) SYSTEMSetEnv("CACA_DRIVER", "null");
  }
  ~TextArtMuffler() {
    if (muffled) SYSTEMUnsetEnv("CACA_DRIVER");
  }
};

bool IsBlind(const char* driver) {
  for (const char* blind : kBlindDrivers)
    if (strcmp(driver, blind) == 0) return true;
  return false;
}

// A busy X server now and then refuses a connection: a few tries over a
// third of a second ride that out.
constexpr int kDisplayTries = 4;
constexpr Uint32 kDisplayRetryMs = 100;

// Starts video on the driver SDL chooses (or the user's choice). False,
// with the reason in `failure`, when it fails or gives no picture.
bool StartDriverOnce() {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    failure = SDL_GetError();
    return false;
  }
  char driver[64] = "";
  SDL_VideoDriverName(driver, sizeof driver);
  if (!IsBlind(driver)) return true;
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  failure = std::string("no screen to show a picture on (the only video driver that started was \"") +
            driver + "\")";
  return false;
}

// Starts video unless it runs already. False, with the reason in
// `failure`, when there is no screen to open a window on.
bool StartVideo() {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
  const InterruptKeeper keeper;
  const TextArtMuffler muffler;
  const bool mayRetry = getenv("DISPLAY") != nullptr;
  for (int attempt = 1;; ++attempt) {
    if (StartDriverOnce()) break;
    if (!mayRetry || attempt == kDisplayTries) {
      if (getenv("DISPLAY") == nullptr) failure += " (DISPLAY is not set)";
      // With DISPLAY set SDL tries its X driver first: when nothing that
      // shows a picture started, that X server could not be reached.
      if (const std::string server = SYSTEMXServer(); !server.empty() && getenv("SDL_VIDEODRIVER") == nullptr)
        failure = "cannot reach the X server at " + server;
      return false;
    }
    SDL_Delay(kDisplayRetryMs);
  }
  const SDL_VideoInfo* info = SDL_GetVideoInfo();
  if (info != nullptr) {
    desktopWidth = info->current_w;
    desktopHeight = info->current_h;
  }
  return true;
}

// The window's enlargement, read once: TORVELIN_SCALE where it is set and
// not empty, else the whole factor nearest the desktop's scale (1 but on a
// scaled Windows desktop), either way no larger than fits the screen. A
// bad value is reported once and the desktop's factor taken; a factor too
// large for the screen gives way to the largest that fits, said.
int WindowScale(int width, int height) {
  static int scale = 0;
  if (scale != 0) return scale;
  const int desktopScale = SDLDPYScaleForDesktop(DESKTOPScalePercent());
  scale = SDLDPYFittingScale(desktopScale, width, height, desktopWidth, desktopHeight);
  const char* text = getenv("TORVELIN_SCALE");
  if (text == nullptr || *text == '\0') return scale;
  int asked = 0;
  if (!SDLDPYScaleFromText(text, &asked)) {
    fprintf(stderr, "TORVELIN: TORVELIN_SCALE must be a whole number from 1 to %d, not \"%s\"; using %d\n",
            SDLDPYMaxScale, text, scale);
    return scale;
  }
  scale = SDLDPYFittingScale(asked, width, height, desktopWidth, desktopHeight);
  if (scale < asked)
    fprintf(stderr, "TORVELIN: TORVELIN_SCALE=%d does not fit a %d x %d screen; using %d\n", asked, desktopWidth,
            desktopHeight, scale);
  return scale;
}

bool OpenWindow(int width, int height) {
  const int factor = WindowScale(width, height);
  screen = SDL_SetVideoMode(width * factor, height * factor, 0, kWindowedFlags);
  placement = Placement{factor, 0, 0};
  return screen != nullptr;
}

// True when SDL lists a full-screen mode of exactly this size (or takes
// any size).
bool OffersMode(int width, int height) {
  SDL_Rect** modes = SDL_ListModes(nullptr, kFullScreenFlags);
  if (modes == reinterpret_cast<SDL_Rect**>(-1)) return true;
  for (; modes != nullptr && *modes != nullptr; ++modes)
    if ((*modes)->w == width && (*modes)->h == height) return true;
  return false;
}

// A full-screen mode of the frame's own size where the screen has one;
// otherwise the desktop's size, with the frame enlarged by the largest
// whole factor that fits, centred on black, and no mouse cursor.
bool OpenFullScreen(int width, int height) {
  placement = Placement{};
  const bool desktopKnown = desktopWidth >= width && desktopHeight >= height && width > 0 && height > 0;
  if (!desktopKnown || OffersMode(width, height)) {
    screen = SDL_SetVideoMode(width, height, 0, kFullScreenFlags);
    if (!desktopKnown || (screen != nullptr && screen->w == width && screen->h == height))
      return screen != nullptr;
  }
  screen = SDL_SetVideoMode(desktopWidth, desktopHeight, 0, kFullScreenFlags);
  if (screen == nullptr) return false;
  int factor = std::min(screen->w / width, screen->h / height);
  factor = std::clamp(factor, 1, IMGEnlargeMaxFactor);
  placement = Placement{factor, (screen->w - width * factor) / 2, (screen->h - height * factor) / 2};
  placement.left = std::max(placement.left, 0);
  placement.top = std::max(placement.top, 0);
  SDL_ShowCursor(SDL_DISABLE);
  return true;
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
  if (!(fullScreen ? OpenFullScreen(width, height) : OpenWindow(width, height))) {
    failure = SDL_GetError();
    *reason = failure.c_str();
    return false;
  }
  SDL_WM_SetCaption(kCaption, kCaption);
  if (const std::string server = SYSTEMXServer(); !server.empty())
    SYSTEMEndWithXServer(std::string(kCaption) + ": lost the X server at " + server);
  *depth = screen->format->BitsPerPixel;
  doubleBuffered = (screen->flags & SDL_DOUBLEBUF) != 0;
  blackFramesLeft = placement.plain() ? 0 : (doubleBuffered ? 2 : 1);
  STOPWatchSignals();
  return true;
}

// SDL owns the screen surface; setting a new mode replaces it.
void SDLDPYDeviceClose() { screen = nullptr; }

// Copies the top-left width x height pixels of the image into the screen
// surface row by row; the screen must hold 0x00RRGGBB words.
static void CopyIntoScreen(const IMG* image, int width, int height) {
  if (SDL_LockSurface(screen) != 0) return;
  auto* row = static_cast<Uint8*>(screen->pixels);
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  for (int y = 0; y < height; ++y, row += screen->pitch)
    memcpy(row, image->pixels + static_cast<size_t>(y) * image->width, rowBytes);
  SDL_UnlockSurface(screen);
}

// The frame enlarged and placed: straight into a screen of 0x00RRGGBB
// words, else enlarged aside and converted by SDL's blit.
static void PresentPlaced(const IMG* image, int width, int height) {
  const int factor = placement.factor;
  SDL_Rect area{static_cast<Sint16>(placement.left), static_cast<Sint16>(placement.top),
                static_cast<Uint16>(width * factor), static_cast<Uint16>(height * factor)};
  if (blackFramesLeft > 0) SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
  const bool fits = placement.left + width * factor <= screen->w && placement.top + height * factor <= screen->h;
  if (ScreenMatchesImages() && fits) {
    if (SDL_LockSurface(screen) != 0) return;
    auto* corner = static_cast<Uint8*>(screen->pixels) + static_cast<size_t>(placement.top) * screen->pitch +
                   static_cast<size_t>(placement.left) * 4;
    IMGEnlargeWords(image->pixels, width, height, image->width, factor, reinterpret_cast<uint32_t*>(corner),
                    screen->pitch);
    SDL_UnlockSurface(screen);
  } else {
    if (enlarged == nullptr) enlarged = IMGNew();
    if (enlarged == nullptr) return;
    IMGEnlarge(image, enlarged, factor);
    if (enlarged->width < area.w || enlarged->height < area.h) return;
    SDL_Surface* borrowed = SDL_CreateRGBSurfaceFrom(enlarged->pixels, area.w, area.h, 32, enlarged->width * 4,
                                                     0x00ff0000u, 0x0000ff00u, 0x000000ffu, 0);
    if (borrowed == nullptr) return;
    SDL_Rect target = area;
    SDL_UpperBlit(borrowed, nullptr, screen, &target);
    SDL_FreeSurface(borrowed);
  }
  if (doubleBuffered || blackFramesLeft > 0)
    UpdateScreen();
  else
    SDL_UpdateRect(screen, area.x, area.y, area.w, area.h);
  if (blackFramesLeft > 0) --blackFramesLeft;
}

void SDLDPYDevicePresent(const IMG* image, int width, int height) {
  if (screen == nullptr) return;
  if (!placement.plain()) {
    PresentPlaced(image, width, height);
    return;
  }
  // A screen that already holds our pixel words needs no conversion: a
  // converted copy and a blit would only move every word twice more each
  // frame, which is most of the program's time at 50 frames per second.
  if (ScreenMatchesImages() && width <= screen->w && height <= screen->h) {
    CopyIntoScreen(image, width, height);
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
  if (!placement.plain() || !ScreenMatchesImages()) {
    SDLDPYDevicePresent(image, image->width, image->height);
    return;
  }
  CopyIntoScreen(image, image->width, image->height);
  UpdateScreen();
}

uint32_t FPSDeviceTicks() { return SDL_GetTicks(); }

void FPSDeviceSleep(uint32_t milliseconds) { SDL_Delay(milliseconds); }
