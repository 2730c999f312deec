#include "platform/sdldpy.hpp"

#include <algorithm>
#include <cstdlib>

#include "core/identification.hpp"
#include "core/report.hpp"
#include "image/img.hpp"
#include "platform/device.hpp"

namespace {

[[gnu::used]] constexpr Identification kIdentification{
    "CODE", "C SDL", "TORVELIN", "20261207", "SDLDPY  "};

constexpr bool kDiagnostics = false;
constexpr int kDefaultSize = 256;

SDLDPY* single = nullptr;
bool windowOpen = false;
bool fullScreen = false;
const char* failure = "no window was opened";

bool IsSingle(const SDLDPY* display) { return display != nullptr && display == single; }

bool HasPixels(const IMG* image) {
  return image != nullptr && image->pixels != nullptr && image->width > 0 && image->height > 0;
}

// The direct presentations need the image to match the window exactly.
bool FitsExactly(const SDLDPY* display, const IMG* image) {
  return IsSingle(display) && HasPixels(image) && windowOpen &&
         image->width == display->width && image->height == display->height;
}

}  // namespace

void SDLDPYError() {
  REPORTError(kDiagnostics, "SDLDPY error\n");
}

void SDLDPYSetFullScreen(bool chosen) { fullScreen = chosen; }

SDLDPY* SDLDPYNew() {
  if (single != nullptr) {
    SDLDPYError();
    return single;
  }
  single = static_cast<SDLDPY*>(calloc(1, sizeof(SDLDPY)));
  if (single == nullptr) return nullptr;
  SDLDPYSetMode(single, kDefaultSize, kDefaultSize);
  return single;
}

void SDLDPYFree(SDLDPY** ref) {
  if (ref == nullptr || !IsSingle(*ref)) {
    SDLDPYError();
    return;
  }
  SDLDPYForget();
  *ref = nullptr;
}

void SDLDPYForget() {
  if (windowOpen) SDLDPYDeviceClose();
  windowOpen = false;
  failure = "no window was opened";
  free(single);
  single = nullptr;
}

char* SDLDPYToASCII(const SDLDPY* display) {
  if (!IsSingle(display)) {
    SDLDPYError();
    return nullptr;
  }
  return static_cast<char*>(calloc(1, 1));
}

SDLDPY* SDLDPYFromASCII(const char*) { return nullptr; }

bool SDLDPYEqual(const SDLDPY* a, const SDLDPY* b) { return IsSingle(a) && a == b; }

SDLDPY* SDLDPYCopy(const SDLDPY* display) {
  if (!IsSingle(display)) {
    SDLDPYError();
    return nullptr;
  }
  return single;
}

void SDLDPYSetMode(SDLDPY* display, int width, int height) {
  if (!IsSingle(display) || width < 0 || height < 0) {
    SDLDPYError();
    return;
  }
  if (windowOpen) SDLDPYDeviceClose();
  windowOpen = false;
  int depth = 0;
  const char* reason = nullptr;
  if (!SDLDPYDeviceOpen(width, height, fullScreen, &depth, &reason)) {
    failure = reason != nullptr ? reason : "the window system refused the mode";
    SDLDPYError();
    return;
  }
  windowOpen = true;
  failure = nullptr;
  display->depth = depth;
  display->width = width;
  display->height = height;
}

void SDLDPYShow(SDLDPY* display, const IMG* image) {
  if (!IsSingle(display) || !HasPixels(image)) {
    SDLDPYError();
    return;
  }
  if (!windowOpen) return;
  const int width = image->width < display->width ? image->width : display->width;
  const int height = image->height < display->height ? image->height : display->height;
  if (width <= 0 || height <= 0) return;
  SDLDPYDevicePresent(image, width, height);
}

void SDLDPYShowInPlace(SDLDPY* display, const IMG* image) {
  // The window system presents from its own buffer, so lending it the
  // image's words would show a stale picture: present by copying instead.
  SDLDPYShowCopy(display, image);
}

void SDLDPYShowCopy(SDLDPY* display, const IMG* image) {
  if (!FitsExactly(display, image)) {
    SDLDPYError();
    return;
  }
  SDLDPYDevicePresentDirect(image);
}

bool SDLDPYScaleFromText(const char* text, int* scale) {
  if (text == nullptr || scale == nullptr || *text == '\0') return false;
  int value = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return false;
    value = value * 10 + (*c - '0');
    if (value > SDLDPYMaxScale) return false;
  }
  if (value < 1) return false;
  *scale = value;
  return true;
}

int SDLDPYFittingScale(int asked, int width, int height, int screenWidth, int screenHeight) {
  if (screenWidth <= 0 || screenHeight <= 0 || width <= 0 || height <= 0) return asked;
  int fits = std::min((screenWidth - SDLDPYWindowFrameRoom) / width, (screenHeight - SDLDPYWindowFrameRoom) / height);
  return std::clamp(fits, 1, std::max(asked, 1));
}

int SDLDPYScaleForDesktop(int percent) {
  return (std::clamp(percent, 100, 100 * SDLDPYMaxScale) + 50) / 100;
}

SDLDPY* SDLDPYCurrent() { return single; }

const char* SDLDPYFailure() { return failure; }

void SDLDPYStartSystem() { SDLDPYDeviceStartSystem(); }
