#include "driver/torvelin.hpp"

void TORVELINSceneNoise() {
  for (int i = 0; i < 1000; ++i) {
    if (TORVELINFrameStep()) break;
  }
}
