#include "driver/arguments.hpp"
#include "driver/scene_table.hpp"
#include "driver/torvelin.hpp"
#include "image/img.hpp"
#include "platform/sdldpy.hpp"

int main(int argc, char** argv) {
  if (TORVELINAnswerArguments(argc, argv)) return 0;
  // The program's own choice for the whole process: the scenes' pixel
  // arrays stay in the heap between scenes instead of being mapped and
  // handed back each time (faster scene set-up, flat resident memory).
  IMGKeepPixelMemoryInTheHeap();
  SDLDPYStartSystem();
  TORVELINInit();
  // The scene functions in the table's order, for ever; only the exit keys
  // end the program.
  for (;;)
    for (const TORVELINScene& scene : TORVELINScenes) scene.play();
}
