// The scene loop as a state machine: the scene playing and its frame.
#include "driver/player.hpp"

#include "driver/scenes.hpp"
#include "driver/torvelin.hpp"

namespace {

enum Scene { kLasers, kScroller, kLogos, kTiles, kNoise, kSceneCount };

struct Player {
  Scene scene = kLasers;
  bool running = false;  // the scene has been started
  int frame = 0;         // frames of the scene drawn so far
  TORVELINTileRun tileRun{};
};

Player player;

int FrameCount(Scene scene) {
  switch (scene) {
    case kLasers: return TORVELINLaserFrames;
    case kScroller: return TORVELINScrollerSceneFrames;
    case kLogos: return TORVELINLogoFrames;
    case kTiles: return TORVELINTileSceneFrames;
    default: return TORVELINNoiseFrames;
  }
}

void StartScene() {
  if (player.scene == kLasers) TORVELINLasersStart();
  if (player.scene == kLogos) TORVELINLogosStart();
  if (player.scene == kTiles) player.tileRun = TORVELINTileSceneSetUp();
  player.frame = 0;
  player.running = true;
}

// Each scene's own counter, as its loop in the scene function runs it.
void DrawScene() {
  const int f = player.frame;
  switch (player.scene) {
    case kLasers: TORVELINLasersDraw(TORVELINLaserFrames - 1 - f); break;
    case kScroller: TORVELINScrollerSceneDraw(); break;
    case kLogos: TORVELINLogosDraw(TORVELINLogoFrames - f); break;
    case kTiles: TORVELINTileSceneDraw(player.tileRun, TORVELINTileSceneFrames - f); break;
    default: TORVELINNoiseDraw(f); break;
  }
}

void StopScene() {
  if (!player.running) return;
  if (player.scene == kLasers) TORVELINLasersStop();
  if (player.scene == kLogos) TORVELINLogosStop();
  if (player.scene == kTiles) TORVELINTileSceneTearDown(player.tileRun);
  player.running = false;
}

}  // namespace

void TORVELINPlayerRestart() { player = Player{}; }

void TORVELINPlayerFrame() {
  if (!player.running) StartScene();
  DrawScene();
  const bool skipped = TORVELINFrameStep();
  // An exit key leaves the scene where it stands, as the program's exit does.
  if (TORVELINExit != 0) return;
  if (!skipped && ++player.frame < FrameCount(player.scene)) return;
  StopScene();
  player.scene = static_cast<Scene>((player.scene + 1) % kSceneCount);
}

void TORVELINPlayerStop() { StopScene(); }
