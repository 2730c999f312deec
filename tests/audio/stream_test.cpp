// The music as the device hears it: per frame one update, the pump's
// queueing and one frame of values through the callback.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "audio/bank.hpp"
#include "audio/music.hpp"
#include "audio/sdlsnd.hpp"
#include "core/rnd.hpp"
#include "platform/headless.hpp"

TEST(SDLSNDStream, LoopPlaysSeamlesslyAndRebuildsTakeEffectInPlace) {
  HEADLESSReset();
  SDLSND* snd = SDLSNDNew();
  ASSERT_NE(snd, nullptr);
  MUSIC* music = MUSICNew();
  for (int i = 0; i < TORVELINBankSize; ++i) MUSICAddSample(music, &TORVELINBank[i]);
  RNDSeed(786410978u);

  constexpr int kFrame = 882;
  std::vector<uint8_t> stream(2 * kFrame);
  long heard = 0;  // values played since the first one
  int mismatches = 0;
  for (int frame = 0; frame < 1500; ++frame) {
    MUSICUpdate(music);
    if (SDLSNDQueueLength(snd) < 4) SDLSNDPlaySAMPLE(snd, music->output);
    ASSERT_LE(SDLSNDQueueLength(snd), 4);
    SDLSNDCallback(snd, stream.data(), static_cast<int>(stream.size()));
    for (int i = 0; i < kFrame; ++i, ++heard) {
      const int16_t v = static_cast<int16_t>(static_cast<uint16_t>(stream[2 * i] | stream[2 * i + 1] << 8));
      // Every value is the loop's value at the running position: no gap, no
      // restart, and a rebuild is heard from the next value on.
      if (v != music->output->values[heard % 40000]) ++mismatches;
    }
    // The pump keeps the queue topped up, so the device never runs dry.
    EXPECT_GE(SDLSNDQueueLength(snd), 1) << frame;
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(heard, 1500L * kFrame);
  SDLSNDFree(&snd);
  MUSICFree(&music);
  HEADLESSReset();
}
