#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "audio/headless.hpp"
#include "audio/sdlsnd.hpp"
#include "audio_test_util.hpp"
#include "containers/array.hpp"
#include "platform/headless.hpp"

namespace {

// A sound output on the headless device, fed and pulled by hand.
class SDLSNDOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    HEADLESSReset();
    snd = SDLSNDNew();
    ASSERT_NE(snd, nullptr);
  }
  void TearDown() override {
    if (snd != nullptr) SDLSNDFree(&snd);
    HEADLESSReset();
  }
  // Pulls `bytes` bytes into a buffer that starts out as garbage (0xAA).
  std::vector<uint8_t> Pull(int bytes) {
    std::vector<uint8_t> stream(static_cast<size_t>(bytes), 0xAA);
    SDLSNDCallback(snd, stream.data(), bytes);
    return stream;
  }
  static std::vector<int16_t> Words(const std::vector<uint8_t>& bytes) {
    std::vector<int16_t> words;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
      words.push_back(static_cast<int16_t>(static_cast<uint16_t>(bytes[i] | bytes[i + 1] << 8)));
    return words;
  }
  SDLSND* snd = nullptr;
};

}  // namespace

TEST_F(SDLSNDOutput, NewRecordHasTheDeviceFormatAndAnEmptyQueue) {
  EXPECT_EQ(snd->rate, 44100);
  EXPECT_EQ(snd->sampleWidth, 16);
  EXPECT_EQ(snd->position, 0);
  EXPECT_EQ(snd->sign, 's');
  EXPECT_EQ(snd->byteOrder, 'l');
  EXPECT_EQ(snd->muted, 0);
  ASSERT_NE(snd->queue, nullptr);
  EXPECT_EQ(SDLSNDQueueLength(snd), 0);
}

TEST_F(SDLSNDOutput, EmptyQueueGivesSilenceNotWhateverWasInTheBuffer) {
  EXPECT_EQ(Pull(64), std::vector<uint8_t>(64, 0));
}

TEST_F(SDLSNDOutput, ShortSampleThenSilenceAndTheQueueEmpties) {
  SampleHolder s{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  SDLSNDPlaySAMPLE(snd, s.s);
  const std::vector<int16_t> words = Words(Pull(40));
  EXPECT_EQ(words, (std::vector<int16_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(SDLSNDQueueLength(snd), 0);
  EXPECT_EQ(snd->position, 0);
}

TEST_F(SDLSNDOutput, QueuedSamplesFollowEachOtherWithoutAGapAcrossCalls) {
  SampleHolder a{1, 2, 3};
  SampleHolder b{7, 8};
  SDLSNDPlaySAMPLE(snd, a.s);
  SDLSNDPlaySAMPLE(snd, a.s);
  SDLSNDPlaySAMPLE(snd, b.s);
  std::vector<int16_t> all;
  for (int call = 0; call < 5; ++call) {
    for (int16_t w : Words(Pull(4))) all.push_back(w);
  }
  EXPECT_EQ(all, (std::vector<int16_t>{1, 2, 3, 1, 2, 3, 7, 8, 0, 0}));
  EXPECT_EQ(snd->queue->count, 0);
}

TEST_F(SDLSNDOutput, OutputKeepsTheLowSixteenBitsLittleEndian) {
  SampleHolder s{70000, -1, 40000, -32768, 32767};
  SDLSNDPlaySAMPLE(snd, s.s);
  const std::vector<uint8_t> bytes = Pull(10);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0x70, 0x11, 0xFF, 0xFF, 0x40, 0x9C, 0x00, 0x80, 0xFF, 0x7F}));
  EXPECT_EQ(Words(bytes)[2], -25536);
}

TEST_F(SDLSNDOutput, MutedOrNullHeadGivesSilenceAndConsumesNothing) {
  SampleHolder s{5, 6, 7};
  SDLSNDPlaySAMPLE(snd, s.s);
  Pull(2);
  snd->muted = 1;
  EXPECT_EQ(Pull(8), std::vector<uint8_t>(8, 0));
  EXPECT_EQ(snd->position, 1);
  EXPECT_EQ(snd->queue->count, 1);
  snd->muted = 0;
  EXPECT_EQ(Words(Pull(4)), (std::vector<int16_t>{6, 7}));

  ARRAYPush(snd->queue, nullptr);
  EXPECT_EQ(Pull(6), std::vector<uint8_t>(6, 0));
  EXPECT_EQ(snd->queue->count, 1);
}

TEST_F(SDLSNDOutput, BadLengthsAndArgumentsChangeNothing) {
  SampleHolder s{5, 6};
  SDLSNDPlaySAMPLE(snd, s.s);
  std::vector<uint8_t> stream(4, 0xAA);
  SDLSNDCallback(snd, stream.data(), 0);
  SDLSNDCallback(snd, stream.data(), -4);
  SDLSNDCallback(nullptr, stream.data(), 4);
  SDLSNDCallback(snd, nullptr, 4);
  EXPECT_EQ(stream, std::vector<uint8_t>(4, 0xAA));
  EXPECT_EQ(snd->position, 0);
  EXPECT_EQ(snd->queue->count, 1);
  SDLSNDPlaySAMPLE(snd, nullptr);
  SDLSNDPlaySAMPLE(nullptr, s.s);
  EXPECT_EQ(snd->queue->count, 1);
}

TEST_F(SDLSNDOutput, AnEmptySampleTakesOneZeroValueBeforeTheNextStarts) {
  SampleHolder empty(SAMPLENew());
  SampleHolder s{11, 22, 33};
  SDLSNDPlaySAMPLE(snd, empty.s);
  SDLSNDPlaySAMPLE(snd, s.s);
  EXPECT_EQ(Words(Pull(12)), (std::vector<int16_t>{0, 11, 22, 33, 0, 0}));
  EXPECT_EQ(snd->queue->count, 0);

  // The same holds between samples and across callback boundaries.
  SampleHolder t{3, 4};
  SDLSNDPlaySAMPLE(snd, t.s);
  SDLSNDPlaySAMPLE(snd, empty.s);
  SDLSNDPlaySAMPLE(snd, t.s);
  EXPECT_EQ(Words(Pull(4)), (std::vector<int16_t>{3, 4}));
  EXPECT_EQ(Words(Pull(8)), (std::vector<int16_t>{0, 3, 4, 0}));
  EXPECT_EQ(snd->queue->count, 0);
}

TEST_F(SDLSNDOutput, QueueIsRecreatedWhenMissingAndFreeLeavesSamplesAlone) {
  ARRAYFree(&snd->queue);
  SampleHolder s{9};
  SDLSNDPlaySAMPLE(snd, s.s);
  ASSERT_NE(snd->queue, nullptr);
  EXPECT_EQ(SDLSNDQueueLength(snd), 1);
  SDLSNDFree(&snd);
  EXPECT_EQ(snd, nullptr);
  EXPECT_EQ(s.Values(), std::vector<int32_t>{9});
  SDLSNDFree(&snd);  // only reports
}

TEST_F(SDLSNDOutput, HeadlessDeviceOpensOnceAndCanBeMissing) {
  SDLSND* second = SDLSNDNew();  // the one device is taken
  EXPECT_EQ(second, nullptr);
  SDLSNDFree(&snd);
  HEADLESSSetAudioMissing(true);
  EXPECT_EQ(SDLSNDNew(), nullptr);
  HEADLESSSetAudioMissing(false);
  snd = SDLSNDNew();
  EXPECT_NE(snd, nullptr);
}

TEST_F(SDLSNDOutput, ObjectFamilyMembersAreNeutral) {
  EXPECT_STREQ(SDLSNDToASCII(snd), "");
  EXPECT_EQ(SDLSNDToASCII(nullptr), nullptr);
  EXPECT_EQ(SDLSNDFromASCII("SDLSND{}"), nullptr);
  EXPECT_TRUE(SDLSNDEqual(snd, snd));
  EXPECT_FALSE(SDLSNDEqual(snd, nullptr));
  EXPECT_EQ(SDLSNDCopy(snd), nullptr);
  SDLSNDPlay(snd);
  EXPECT_EQ(SDLSNDQueueLength(nullptr), 0);
}
