// The PNG writer of builds without the PNG library (the web and Windows
// builds): every PNG file is refused in one line.
#include "pngout.hpp"

std::string PNGOUTWrite(const std::string& name, const uint8_t*, int, int, int) {
  return "cannot write " + name + ": this build writes no PNG files";
}
