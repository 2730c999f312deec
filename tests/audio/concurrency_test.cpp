// The sound output and the music shared between the frame thread and a real
// device thread. Run under ThreadSanitizer in CI.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

#include "audio/bank.hpp"
#include "audio/music.hpp"
#include "audio/sdlsnd.hpp"
#include "audio/sdlsnd_device.hpp"
#include "core/rnd.hpp"
#include "platform/headless.hpp"

TEST(SDLSNDConcurrency, DeviceThreadPlaysWhileTheMusicPumpsAndRebuilds) {
  HEADLESSReset();
  SDLSND* snd = SDLSNDNew();
  ASSERT_NE(snd, nullptr);
  MUSIC* music = MUSICNew();
  for (int i = 0; i < TORVELINBankSize; ++i) MUSICAddSample(music, &TORVELINBank[i]);
  music->period = 10;  // many rebuilds while the device plays
  RNDSeed(786410978u);

  std::atomic<bool> running{true};
  std::atomic<long> played{0};
  std::atomic<int> outOfRange{0};
  std::atomic<int> loudest{0};
  // The device: pulls a buffer at a time with the device lock held, as the
  // audio layer does, as fast as it can.
  std::thread device([&] {
    std::vector<uint8_t> stream(1764);
    while (running.load()) {
      SDLSNDLockDevice();
      SDLSNDCallback(snd, stream.data(), static_cast<int>(stream.size()));
      SDLSNDUnlockDevice();
      std::this_thread::yield();
      for (size_t i = 0; i + 1 < stream.size(); i += 2) {
        const int v = static_cast<int16_t>(static_cast<uint16_t>(stream[i] | stream[i + 1] << 8));
        if (std::abs(v) > 31592) outOfRange.fetch_add(1);
        if (std::abs(v) > loudest.load()) loudest.store(std::abs(v));
      }
      played.fetch_add(static_cast<long>(stream.size() / 2));
    }
  });

  for (int frame = 0; frame < 3000; ++frame) {
    MUSICUpdate(music);
    if (SDLSNDQueueLength(snd) < 4) SDLSNDPlaySAMPLE(snd, music->output);
    ASSERT_LE(SDLSNDQueueLength(snd), 4);
    if (frame % 16 == 0) std::this_thread::yield();
  }
  running.store(false);
  device.join();

  EXPECT_EQ(outOfRange.load(), 0);
  EXPECT_GT(loudest.load(), 1000);  // the music was really heard
  EXPECT_GT(played.load(), 40000);
  EXPECT_EQ(music->output->length, 40000);
  SDLSNDFree(&snd);
  MUSICFree(&music);
  HEADLESSReset();
}
