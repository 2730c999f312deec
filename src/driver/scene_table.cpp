// The scene functions: each plays its own row of the table through the
// player, so that every host steps the same frames.
#include "driver/scene_table.hpp"

#include "driver/player.hpp"

namespace {

// The row whose scene function is `play`.
constexpr int RowOf(void (*play)()) {
  for (int i = 0; i < TORVELINSceneCount; ++i)
    if (TORVELINScenes[i].play == play) return i;
  return -1;
}

}  // namespace

void TORVELINSceneLasers() { TORVELINPlayScene(RowOf(TORVELINSceneLasers)); }
void TORVELINSceneScroller() { TORVELINPlayScene(RowOf(TORVELINSceneScroller)); }
void TORVELINSceneLogos() { TORVELINPlayScene(RowOf(TORVELINSceneLogos)); }
void TORVELINSceneTiles() { TORVELINPlayScene(RowOf(TORVELINSceneTiles)); }
void TORVELINSceneNoise() { TORVELINPlayScene(RowOf(TORVELINSceneNoise)); }
