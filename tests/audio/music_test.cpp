#include <gtest/gtest.h>

#include <vector>

#include "audio/bank.hpp"
#include "audio/music.hpp"
#include "audio_test_util.hpp"
#include "containers/array.hpp"
#include "core/rnd.hpp"

namespace {

struct MusicHolder {
  MUSIC* m = MUSICNew();
  ~MusicHolder() {
    if (m != nullptr) MUSICFree(&m);
  }
};

std::vector<int32_t> Output(const MUSIC* m) { return {m->output->values, m->output->values + m->output->length}; }

// The next rebuild's choices, read off the generator without disturbing it.
struct Draws {
  int index;
  int delay;
};
Draws PeekDraws(int bankSize) {
  const uint32_t saved = RNDState();
  Draws d{};
  d.index = RNDNext() % bankSize;
  const int terms[] = {20000, 10000, 5000, 2500};
  for (int term : terms) d.delay += (RNDNext() & 1) * term;
  RNDSeed(saved);
  return d;
}

// The loop after one rebuild, from first principles: the instrument placed
// at the delay (wrapping round the end) at a quarter, the old loop at 3/4.
std::vector<int32_t> Expected(const std::vector<int32_t>& old, const SAMPLE* instrument, int delay) {
  std::vector<int64_t> placed(old.size(), 0);
  for (int j = 0; j < instrument->length; ++j) placed[(delay + j) % old.size()] += instrument->values[j];
  std::vector<int32_t> next(old.size());
  for (size_t k = 0; k < old.size(); ++k) {
    const int64_t sum = 3 * static_cast<int64_t>(old[k]) + placed[k];
    next[k] = static_cast<int32_t>(sum >= 0 ? sum / 4 : -((-sum + 3) / 4));
  }
  return next;
}

}  // namespace

TEST(MUSIC, NewMusicIsSilentAndRebuildsOnTheFirstUpdate) {
  MusicHolder h;
  ASSERT_NE(h.m, nullptr);
  EXPECT_EQ(h.m->countdown, 0);
  EXPECT_EQ(h.m->period, 300);
  EXPECT_EQ(h.m->output->length, 40000);
  EXPECT_EQ(h.m->output->capacity, 40000);
  EXPECT_EQ(h.m->bank->count, 0);
  for (int32_t v : Output(h.m)) ASSERT_EQ(v, 0);
}

TEST(MUSIC, RebuildsOnCallsOneThreeHundredOneAndSoOn) {
  MusicHolder h;
  for (int i = 0; i < 16; ++i) MUSICAddSample(h.m, &TORVELINBank[i]);
  RNDSeed(786410978u);
  const int32_t* block = h.m->output->values;
  std::vector<int32_t> before = Output(h.m);
  int rebuilds = 0;
  for (int call = 1; call <= 901; ++call) {
    const uint32_t state = RNDState();
    MUSICUpdate(h.m);
    const bool rebuilt = RNDState() != state;
    EXPECT_EQ(rebuilt, call % 300 == 1) << "call " << call;
    if (rebuilt) {
      ++rebuilds;
      EXPECT_EQ(h.m->countdown, 300);
      EXPECT_NE(Output(h.m), before) << "call " << call;
      before = Output(h.m);
    } else if (call % 50 == 0) {
      EXPECT_EQ(Output(h.m), before) << "call " << call;
    }
  }
  EXPECT_EQ(rebuilds, 4);
  // The playing buffer is never replaced or resized.
  EXPECT_EQ(h.m->output->values, block);
  EXPECT_EQ(h.m->output->length, 40000);
}

TEST(MUSIC, EachRebuildPlacesTheDrawnInstrumentAndFadesTheRest) {
  MusicHolder h;
  std::vector<SampleHolder*> bank;
  for (int i = 0; i < 16; ++i) {
    auto* s = new SampleHolder(SAMPLENew());
    SAMPLESetLength(s->s, 3000 + 1500 * i);
    for (int j = 0; j < s->s->length; ++j) s->s->values[j] = ((j * 37 + i * 1001) % 20001) - 10000;
    MUSICAddSample(h.m, s->s);
    bank.push_back(s);
  }
  RNDSeed(12345u);
  for (int rebuild = 0; rebuild < 12; ++rebuild) {
    const Draws d = PeekDraws(16);
    EXPECT_EQ(d.delay % 2500, 0);
    const std::vector<int32_t> expected = Expected(Output(h.m), bank[d.index]->s, d.delay);
    h.m->countdown = 1;
    MUSICUpdate(h.m);
    ASSERT_EQ(Output(h.m), expected) << "rebuild " << rebuild << " index " << d.index << " delay " << d.delay;
  }
  for (SampleHolder* s : bank) delete s;
}

TEST(MUSIC, FirstRebuildIsAQuarterOfTheInstrumentRoundedDown) {
  MusicHolder h;
  SampleHolder hit{31592, -5, -1, 3};
  MUSICAddSample(h.m, hit.s);
  RNDSeed(1u);
  const Draws d = PeekDraws(1);
  MUSICUpdate(h.m);
  const std::vector<int32_t> out = Output(h.m);
  const int expected[] = {7898, -2, -1, 0};
  for (int k = 0; k < 40000; ++k) {
    const int j = (k - d.delay + 40000) % 40000;
    ASSERT_EQ(out[k], j < 4 ? expected[j] : 0) << k;
  }
}

TEST(MUSIC, LongHitAtTheLastStepWrapsToTheStart) {
  // Find a seed whose draws pick entry 8 (22050 values) at delay 37500.
  uint32_t seed = 0;
  for (;; ++seed) {
    RNDSeed(seed);
    const Draws d = PeekDraws(16);
    if (d.index == 8 && d.delay == 37500) break;
  }
  MusicHolder h;
  for (int i = 0; i < 16; ++i) MUSICAddSample(h.m, &TORVELINBank[i]);
  RNDSeed(seed);
  MUSICUpdate(h.m);
  const SAMPLE& kick = TORVELINBank[8];
  for (int k = 0; k < 40000; ++k) {
    const bool covered = k >= 37500 || k <= 19549;
    const int j = (k - 37500 + 40000) % 40000;
    ASSERT_EQ(h.m->output->values[k], covered ? kick.values[j] >> 2 : 0) << k;
  }
}

TEST(MUSIC, SilentBankEntryFadesByThreeQuartersEachRebuild) {
  MusicHolder h;
  SampleHolder silence{0};
  MUSICAddSample(h.m, silence.s);
  h.m->output->values[123] = 1000;
  h.m->output->values[124] = -1000;
  MUSICUpdate(h.m);
  EXPECT_EQ(h.m->output->values[123], 750);
  EXPECT_EQ(h.m->output->values[124], -750);
  h.m->countdown = 1;
  MUSICUpdate(h.m);
  EXPECT_EQ(h.m->output->values[123], 562);
  EXPECT_EQ(h.m->output->values[124], -563);
}

TEST(MUSIC, EmptyBankStillDrawsAndLeavesTheLoopAlone) {
  MusicHolder h;
  h.m->output->values[0] = 400;
  RNDSeed(99u);
  for (int i = 0; i < 5; ++i) RNDNext();
  const uint32_t afterFive = RNDState();
  RNDSeed(99u);
  MUSICUpdate(h.m);
  EXPECT_EQ(RNDState(), afterFive);
  EXPECT_EQ(h.m->output->values[0], 400);
  EXPECT_EQ(h.m->countdown, 300);
  MUSICUpdate(nullptr);
  MUSICAddSample(nullptr, nullptr);
  MUSICAddSample(h.m, nullptr);
  EXPECT_EQ(h.m->bank->count, 0);
}

TEST(MUSIC, FreeReleasesOnlyWhatTheMusicOwns) {
  MUSIC* m = MUSICNew();
  SampleHolder heap{1, 2, 3};
  MUSICAddSample(m, heap.s);
  for (int i = 0; i < 16; ++i) MUSICAddSample(m, &TORVELINBank[i]);
  MUSICUpdate(m);
  MUSICFree(&m);
  EXPECT_EQ(m, nullptr);
  // Borrowed samples survive (and the sanitizers see no stray free).
  EXPECT_EQ(heap.Values(), (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(TORVELINBank[0].length, 11025);
  MUSICFree(&m);
  MUSICFree(nullptr);
  EXPECT_EQ(MUSICToASCII(nullptr), nullptr);
  EXPECT_EQ(MUSICFromASCII("MUSIC{}"), nullptr);
}
