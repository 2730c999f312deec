#include "driver/torvelin.hpp"

void TORVELINSceneTiles() {
  for (int n = 2000; n >= 1; --n) {
    if (TORVELINFrameStep()) break;
  }
}
