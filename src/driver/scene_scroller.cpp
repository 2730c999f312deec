#include "driver/torvelin.hpp"

void TORVELINSceneScroller() {
  for (int k = 2000; k >= 0; --k) {
    if (TORVELINFrameStep()) break;
  }
}
