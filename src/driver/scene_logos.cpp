#include "driver/torvelin.hpp"

void TORVELINSceneLogos() {
  for (int n = 1000; n >= 1; --n) {
    if (TORVELINFrameStep()) break;
  }
}
