// The driver's side of the sound, and the frames-per-second overlay.
#include "driver/torvelin.hpp"

#include "audio/bank.hpp"
#include "audio/music.hpp"
#include "audio/sdlsnd.hpp"
#include "platform/fps.hpp"
#include "text/font.hpp"

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
  for (int i = 0; i < TORVELINBankCount; ++i) MUSICAddSample(TORVELINMusic, &TORVELINBank[i]);
}

// Draws the frames-per-second figure over the top-left corner when bit 0 of
// the rate-display flag is set: two hexadecimal digits, "32" at 50 fps.
void TORVELINShowRate() {
  if ((TORVELINRateDisplay & 1) == 0) return;
  if (TORVELINSmallFont == nullptr) {
    TORVELINError();
    return;
  }
  TORVELINSmallFont->x = 0;
  TORVELINSmallFont->y = 0;
  TORVELINSmallFont->target = TORVELINFrame;
  FONTPutHex8(TORVELINSmallFont, static_cast<uint32_t>(FPSFramesPerSecond()));
}

// Steps the music and queues its output while the sound queue has room.
void TORVELINMusicPump() {
  MUSICUpdate(TORVELINMusic);
  if (TORVELINSound == nullptr || TORVELINMusic == nullptr) return;
  if (SDLSNDQueueLength(TORVELINSound) < kQueueDepth) SDLSNDPlaySAMPLE(TORVELINSound, TORVELINMusic->output);
}
