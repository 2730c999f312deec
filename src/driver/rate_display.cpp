// The frames-per-second overlay that the F key switches on and off.
#include "driver/torvelin.hpp"

#include "platform/fps.hpp"
#include "text/font.hpp"

// Draws the frames-per-second figure over the top-left corner when bit 0 of
// the rate-display flag is set: two hexadecimal digits, "32" at 50 fps.
void TORVELINShowRate() {
  if ((TORVELINRateDisplay & 1) == 0) return;
  if (TORVELINSmallFont == nullptr) {
    TORVELINError();
    return;
  }
  TORVELINSmallFont->x = 0;
  TORVELINSmallFont->y = 0;
  TORVELINSmallFont->target = TORVELINFrame;
  FONTPutHex8(TORVELINSmallFont, static_cast<uint32_t>(FPSFramesPerSecond()));
}
