// The PNG writer of builds without the PNG library (the web build): --png
// is refused while the options are read, and every PNG file in one line.
#include "pngout.hpp"

bool PNGOUTAvailable() { return false; }

std::string PNGOUTWrite(const std::string& name, const uint8_t*, int, int, int) {
  return "cannot write " + name + ": this build writes no PNG files";
}
