// The driver's side of the sound: the sound output, the music and its pump.
#include "driver/torvelin.hpp"

#include "audio/bank.hpp"
#include "audio/music.hpp"
#include "audio/sdlsnd.hpp"

namespace {

// The pump keeps at most this many copies of the loop queued (about 3.6 s).
constexpr int kQueueDepth = 4;

}  // namespace

// Creates the sound output (opening the audio device) and the music.
void TORVELINSetUpSound() {
  TORVELINSound = SDLSNDNew();
  TORVELINMusicInit();
}

// Creates the music and hands it the instrument bank in bank order.
void TORVELINMusicInit() {
  TORVELINMusic = MUSICNew();
  for (int i = 0; i < TORVELINBankSize; ++i) MUSICAddSample(TORVELINMusic, &TORVELINBank[i]);
}

// Steps the music and queues its output while the sound queue has room.
void TORVELINMusicPump() {
  MUSICUpdate(TORVELINMusic);
  if (TORVELINSound == nullptr || TORVELINMusic == nullptr) return;
  if (SDLSNDQueueLength(TORVELINSound) < kQueueDepth) SDLSNDPlaySAMPLE(TORVELINSound, TORVELINMusic->output);
}
