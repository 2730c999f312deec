// The frame step every scene runs after drawing its frame.
#include "driver/torvelin.hpp"
#include "platform/fps.hpp"
#include "platform/sdldpy.hpp"
#include "platform/sdlkbd.hpp"
#include "platform/stop.hpp"

bool TORVELINFrameStep() {
  FPSMeasure();
  FPSDelay();
  TORVELINShowRate();
  SDLDPYShow(TORVELINDisplay, TORVELINFrame);
  TORVELINMusicPump();
  if (TORVELINKeyboard != nullptr) {
    SDLKBDGetKey(TORVELINKeyboard);
    TORVELINKeyCommand(static_cast<int8_t>(TORVELINKeyboard->keys[0]));
    TORVELINKeyboard->keys[0] = 0;
  }
  if (const int signal = STOPSignal()) TORVELINStopBySignal(signal);
  if (TORVELINNextPart == 0) return false;
  TORVELINNextPart = 0;
  return true;
}
