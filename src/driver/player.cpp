// The scene loop as a state machine: the scene playing, its frame, and the
// exit fade's progress.
#include "driver/player.hpp"

#include "driver/scene_table.hpp"
#include "driver/torvelin.hpp"

namespace {

struct Player {
  int scene = 0;
  bool running = false;  // the scene has been started
  int frame = 0;         // frames of the scene drawn so far
  int fadeSteps = 0;     // steps of the exit fade shown so far
};

Player player;

const TORVELINScene& Running() { return TORVELINScenes[player.scene]; }

void StartScene() {
  if (Running().start != nullptr) Running().start();
  player.frame = 0;
  player.running = true;
}

void StopScene() {
  if (!player.running) return;
  if (Running().stop != nullptr) Running().stop();
  player.running = false;
}

// One frame of the running scene, started first when it is not yet. An
// exit key leaves the scene where it stands, as the programs' exit does.
void SceneFrame() {
  if (!player.running) StartScene();
  Running().draw(player.frame);
  const bool skipped = TORVELINFrameStep();
  if (TORVELINExit != 0) return;
  if (!skipped && ++player.frame < Running().frames) return;
  StopScene();
  player.scene = (player.scene + 1) % TORVELINSceneCount;
}

}  // namespace

void TORVELINPlayerRestart() { player = Player{}; }

bool TORVELINPlayerFrame() {
  if (TORVELINExit == 0) {
    SceneFrame();
    return true;
  }
  TORVELINFadeStep();
  return ++player.fadeSteps < TORVELINFadeSteps;
}

void TORVELINPlayerStop() { StopScene(); }

void TORVELINPlayScene(int index) {
  if (player.scene != index) {
    StopScene();
    player.scene = index;
  }
  while (player.scene == index && TORVELINExit == 0) SceneFrame();
}
