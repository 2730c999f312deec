#include <windows.h>

#include "platform/desktop.hpp"

// The screen's pixels per inch, 96 at 100 %. The programs are marked
// aware of the scale in their manifest, so this is the real figure, not
// the 96 that Windows tells programs whose windows it stretches itself.
int DESKTOPScalePercent() {
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return 100;
  const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dotsPerInch > 0 ? MulDiv(dotsPerInch, 100, 96) : 100;
}
