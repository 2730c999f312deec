#include "driver/torvelin.hpp"

void TORVELINSceneLasers() {
  for (int k = 1000; k >= 0; --k) {
    if (TORVELINFrameStep()) break;
  }
}
