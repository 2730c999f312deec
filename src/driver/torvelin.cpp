#include "driver/torvelin.hpp"

#include <cstdio>
#include <cstdlib>

#include "audio/music.hpp"
#include "audio/sdlsnd.hpp"
#include "core/identification.hpp"
#include "core/report.hpp"
#include "core/rnd.hpp"
#include "driver/flavour.hpp"
#include "driver/player.hpp"
#include "image/img.hpp"
#include "platform/alert.hpp"
#include "platform/fps.hpp"
#include "platform/sdldpy.hpp"
#include "platform/sdlkbd.hpp"

namespace {

[[gnu::used]] constexpr Identification kIdentification{
    "PROGRAM", "C", "TORVELIN", "20261207", "TORVELIN"};

constexpr bool kDiagnostics = false;

// Without a window there is nothing to show: say why and stop.
void RequireWindow() {
  const char* reason = SDLDPYFailure();
  if (reason == nullptr) return;
  char line[512];
  snprintf(line, sizeof line, "TORVELIN: cannot open the %d x %d window: %s", TORVELINWidth, TORVELINHeight,
           reason);
  ALERTStartFailure(line);
  exit(1);
}

}  // namespace

SDLDPY* TORVELINDisplay = nullptr;
SDLKBD* TORVELINKeyboard = nullptr;
IMG* TORVELINFrame = nullptr;

int32_t TORVELINWidth = 256;
int32_t TORVELINHeight = 256;

IMG* TORVELINLogo = nullptr;
IMG* TORVELINWideLogo = nullptr;
FONT* TORVELINWordFont = nullptr;
FONT* TORVELINSmallFont = nullptr;
FONT* TORVELINScrollerFont = nullptr;
FONT* TORVELINTileFont = nullptr;
FONT* TORVELINSparkleFont = nullptr;
FONT* TORVELINBobFont = nullptr;
IMG* TORVELINStrip = nullptr;

uint8_t* TORVELINMessage = nullptr;
SCROLL* TORVELINScroller = nullptr;
IMG* TORVELINScrollerImage = nullptr;
SCROLLXL* TORVELINLargeScroller = nullptr;
STARS* TORVELINStars[3] = {nullptr, nullptr, nullptr};

SDLSND* TORVELINSound = nullptr;
MUSIC* TORVELINMusic = nullptr;

void TORVELINError() {
  REPORTError(kDiagnostics, "TORVELIN Error.\n");
}

int TORVELINWrap(int a, int n) {
  if (n <= 0) {
    TORVELINError();
    return 0;
  }
  if (a >= n) return a % n;
  // A negative multiple of n folds to 0, not to n.
  if (a < 0) return (a % n + n) % n;
  return a;
}

void TORVELINInit() {
  TORVELINResetRunState();
  RNDSeed(TORVELINSeed);
  SDLDPYSetFullScreen(TORVELINFullScreen);
  TORVELINDisplay = SDLDPYNew();
  SDLDPYSetMode(TORVELINDisplay, TORVELINWidth, TORVELINHeight);
  RequireWindow();
  TORVELINKeyboard = SDLKBDNew();
  TORVELINFrame = IMGNew();
  IMGAlloc(TORVELINFrame, TORVELINDisplay->width, TORVELINDisplay->height);
  // Pictures and fonts, then the texts, scrollers and star layers, are set
  // up here, before the sound.
  TORVELINSetUpPictures();
  TORVELINSetUpText();
  TORVELINSetUpSound();
  FPSSetRate(TORVELINFrameRate);
}

void TORVELINShutdown() {
  TORVELINPlayerStop();
  if (TORVELINSound != nullptr) SDLSNDFree(&TORVELINSound);
  if (TORVELINMusic != nullptr) MUSICFree(&TORVELINMusic);
  TORVELINFreeText();
  TORVELINFreePictures();
  if (TORVELINFrame != nullptr) IMGFree(&TORVELINFrame);
  if (TORVELINKeyboard != nullptr) SDLKBDFree(&TORVELINKeyboard);
  if (TORVELINDisplay != nullptr) SDLDPYFree(&TORVELINDisplay);
}
