// The key commands and the exit fade.
#include <cstdlib>

#include "driver/torvelin.hpp"
#include "image/img.hpp"
#include "platform/fps.hpp"
#include "platform/sdldpy.hpp"
#include "platform/stop.hpp"
#include "text/scroll.hpp"

bool TORVELINHostEndsRun = false;

void TORVELINKeyCommand(int8_t key) {
  switch (key) {
    case 'q':
    case 'Q':
    case 27:
      TORVELINExit = 1;
      // A host that owns the loop fades and stops it on its own.
      if (TORVELINHostEndsRun) break;
      TORVELINQuit();
      exit(0);
    case ' ': TORVELINNextPart = 1; break;
    case '1': TORVELINToggles[0] ^= 1; break;
    case '2': TORVELINToggles[1] ^= 1; break;
    case '3': TORVELINToggles[2] ^= 1; break;
    case '4': TORVELINToggles[3] ^= 1; break;
    case '5': TORVELINToggles[3] ^= 2; break;
    case '6': TORVELINToggles[2] ^= 2; break;
    case '7': TORVELINToggles[2] ^= 4; break;
    case 'f': TORVELINRateDisplay ^= 1; break;
    case 'o': TORVELINScrollerSpeed(-1); break;
    case 'p': TORVELINScrollerSpeed(+1); break;
    default: break;
  }
}

// The speed lives in the scroller itself: the scene moves it by that field.
void TORVELINScrollerSpeed(int delta) {
  if (TORVELINScroller == nullptr) {
    TORVELINError();
    return;
  }
  int32_t speed = TORVELINScroller->speed + delta;
  if (speed < -TORVELINScrollerSpeedLimit) speed = -TORVELINScrollerSpeedLimit;
  if (speed > TORVELINScrollerSpeedLimit) speed = TORVELINScrollerSpeedLimit;
  TORVELINScroller->speed = speed;
}

void TORVELINQuit() { TORVELINFadeOut(); }

void TORVELINStopBySignal(int signal) {
  TORVELINExit = 1;
  exit(128 + signal);
}

// Each step is paced like a frame so the fade can be seen (about 1.3 s); no
// music is pumped and no key is read while the fade runs, but a signal to
// stop cuts it short.
void TORVELINFadeStep() {
  if (const int signal = STOPSignal()) TORVELINStopBySignal(signal);
  IMGSubtract(TORVELINFrame, TORVELINFadeColour);
  FPSMeasure();
  FPSDelay();
  SDLDPYShow(TORVELINDisplay, TORVELINFrame);
}

void TORVELINFadeOut() {
  for (int step = 0; step < TORVELINFadeSteps; ++step) TORVELINFadeStep();
}
