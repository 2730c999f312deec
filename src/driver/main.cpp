#include "driver/torvelin.hpp"
#include "platform/sdldpy.hpp"

int main(int, char**) {
  SDLDPYStartSystem();
  TORVELINInit();
  for (;;) {
    TORVELINSceneLasers();
    TORVELINSceneScroller();
    TORVELINSceneLogos();
    TORVELINSceneTiles();
    TORVELINSceneNoise();
  }
}
