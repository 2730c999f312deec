// Everything a run of the loop changes that start-up does not make anew,
// with the values it has at program start.
#include "driver/player.hpp"
#include "driver/torvelin.hpp"
#include "platform/fps.hpp"
#include "text/scroll.hpp"

namespace {

// The green channel starts falling a hair over three quarters of a level a
// frame (0xffff3fff); red and blue climb a half and a quarter.
constexpr TORVELINCarried kAtStart = {
    .sparkles = {},
    .waves = {{0, 15, 60, 31}, {200, 15, 60, 33}, {0, 10, 60, 31}, {200, 10, 60, 31}},
    .spriteCount = 16,  // the steps per sprite and this count are drawn before use
    .wander = {{0, 0x8000}, {0x800000, -49153}, {0x400000, 0x4000}},
    .wanderedColour = 0,
};
constexpr uint8_t kTogglesAtStart[4] = {1, 1, 1, 3};

}  // namespace

TORVELINCarried TORVELINCarry = kAtStart;

uint8_t TORVELINNextPart = 0;
uint8_t TORVELINExit = 0;
uint8_t TORVELINRateDisplay = 0;
uint8_t TORVELINToggles[4] = {kTogglesAtStart[0], kTogglesAtStart[1], kTogglesAtStart[2], kTogglesAtStart[3]};

void TORVELINResetRunState() {
  TORVELINCarry = kAtStart;
  TORVELINNextPart = 0;
  TORVELINExit = 0;
  TORVELINRateDisplay = 0;
  for (int i = 0; i < 4; ++i) TORVELINToggles[i] = kTogglesAtStart[i];
  wavePhase = 0;
  FPSReset();
  TORVELINPlayerRestart();
}
