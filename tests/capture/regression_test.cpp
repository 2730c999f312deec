// Guards every picture and sound of the intro against unintended change: the
// intro is captured and digests of a sample of its frames and of its first
// loop's sound are compared with the ones stored in tests/data.
//
// The sample holds every hundredth frame of the first loop and its last,
// and frames chosen, in the first loop and in later ones, so that every
// picture cell the intro shows and every letter of its texts appears whole
// in at least one sampled frame (see kCoverageFrames).
//
// intro-fullscreen plays other words in its laser scene, so from the first
// word on its frames differ: intro-capture-fullscreen, the capture linked
// with its flavour file, is held to digests of its own (the lines after
// the word "fullscreen"), sampled by FullScreenSample.
//
// After a deliberate change to a picture or a sound, rewrite the stored
// digests of both flavours with
//   TORVELIN_REFRESH_DIGESTS=1 ./test_capture --gtest_filter='Regression*'
// (from the build folder) and commit tests/data/capture_digests.txt.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <iterator>

#include "../digests.hpp"
#include "capture_run.hpp"
#include "driver/scene_table.hpp"

namespace {

using namespace capture_test;

const char* const kDigestFile = kCaptureDigestFile;
const char* const kRefresh =
    "If the change is deliberate, rewrite the stored digests: run "
    "TORVELIN_REFRESH_DIGESTS=1 ./test_capture --gtest_filter='Regression*' in the build folder, "
    "then commit tests/data/capture_digests.txt.";

constexpr int kLoopFrames = TORVELINLoopFrames;
constexpr int kSampleStep = 100;

// Frames where something shows for the first time or only rarely, found by
// recording once, frame by frame, which glyph and picture cells were drawn
// where, and choosing frames until each appeared whole in one of them:
// - each word of the laser scene on the frame it is written;
// - each glyph of the scroll text wholly inside the screen's width (the J
//   of "ENJOY" first comes on in loop 6, frames 36708 to 36746);
// - each letter of the large scroll text with all its tiles on screen,
//   and the negative letters of a run that inverts the small font (loop 8);
// - each of the 12 tiles, drawn at random per run of the tile scene: the
//   last kind first shows in loop 9.
// The bobs, the 32 sparkle steps, the nine strip frames and the logo are
// already in the first loop's every-hundredth frames.
const int kCoverageFrames[] = {
    8,     40,    72,    104,   136,   168,   232,   264,   296,   360,   392,   424,   456,   520,   648,
    680,   712,   904,   968,   1436,  1508,  2122,  2165,  2951,  4141,  4255,  4283,  4482,  4596,  4625,
    4682,  4738,  5165,  5279,  5336,  5364,  5478,  5506,  5563,  5848,  5873,  5930,  7266,  7298,  7746,
    8152,  9080,  11020, 11074, 11476, 11561, 11646, 11988, 12073, 12215, 12585, 12670, 18130, 19436, 19550,
    19720, 23482, 25092, 32085, 33709, 36708, 36713, 36746, 39050, 39277, 40927, 47550, 53096, 60114};

// The sample: every hundredth frame of the first loop, its last, and the
// frames above.
std::vector<int> DefaultSample() {
  std::vector<int> sample;
  for (int i = 0; i < kLoopFrames; i += kSampleStep) sample.push_back(i);
  sample.push_back(kLoopFrames - 1);
  sample.insert(sample.end(), std::begin(kCoverageFrames), std::end(kCoverageFrames));
  std::sort(sample.begin(), sample.end());
  return sample;
}

// The full-screen flavour's sample: every hundredth frame of the first
// loop, its last, and the frame each word of the laser scene is written on
// (its words come from a longer table than the windowed program's), in the
// first loop and the three after it.
std::vector<int> FullScreenSample() {
  std::vector<int> sample;
  for (int i = 0; i < kLoopFrames; i += kSampleStep) sample.push_back(i);
  sample.push_back(kLoopFrames - 1);
  // The scene's counter runs down from TORVELINLaserFrames - 1; a word comes
  // whenever it is a multiple of the period.
  constexpr int kFirstWord = (TORVELINLaserFrames - 1) % TORVELINWordPeriod;
  for (int loop = 0; loop < 4; ++loop)
    for (int frame = kFirstWord; frame < TORVELINLaserFrames; frame += TORVELINWordPeriod)
      sample.push_back(loop * kLoopFrames + frame);
  std::sort(sample.begin(), sample.end());
  sample.erase(std::unique(sample.begin(), sample.end()), sample.end());
  return sample;
}

// One build flavour's capture program and its lines in the digest file.
struct Flavour {
  std::string program;
  std::string name;  // "" for the windowed program
  std::vector<int> (*defaultSample)();
};

// Runs the capture of frames [from, frames) with the sampled ones among
// them written, keeping their digests.
std::string CaptureFrames(const Flavour& flavour, int from, int frames, const std::vector<int>& sample,
                          const std::vector<std::string>& more, CaptureDigests* digests) {
  std::string only;
  std::vector<int> written;
  for (int number : sample)
    if (number >= from && number < frames) {
      only += (only.empty() ? "" : ",") + std::to_string(number);
      written.push_back(number);
    }
  std::vector<std::string> args = {"-q", "--from", std::to_string(from), "--frames", std::to_string(frames), "--raw"};
  if (!written.empty()) args.insert(args.end(), {"--only", only});
  args.insert(args.end(), more.begin(), more.end());
  std::string pending;
  size_t done = 0;
  const auto keep = [&](const char* data, size_t size) {
    pending.append(data, size);
    size_t used = 0;
    for (; pending.size() - used >= kFrameBytes && done < written.size(); used += kFrameBytes, ++done)
      digests->frame[written[done]] = Digest(pending.data() + used, kFrameBytes);
    pending.erase(0, used);
  };
  const Result r = RunCapture(args, keep, flavour.program);
  if (r.status != 0 || done != written.size() || !pending.empty())
    return "the capture of frames " + std::to_string(from) + " to " + std::to_string(frames) + " failed: status " +
           std::to_string(r.status) + ", " + std::to_string(done) + " of " + std::to_string(written.size()) +
           " sampled frames, " + r.err;
  return {};
}

// Captures the loop of `loopFrames` frames with its sound, then the sampled
// frames of later loops, keeping the digests of the sampled frames.
CaptureDigests Capture(const Flavour& flavour, int loopFrames, const std::vector<int>& sample, std::string* error) {
  ScratchDir dir;
  CaptureDigests digests;
  digests.frames = loopFrames;
  *error = CaptureFrames(flavour, 0, loopFrames, sample, {"--wav", dir / "loop.wav"}, &digests);
  if (!error->empty()) return digests;
  const Wav wav = ReadWav(dir / "loop.wav");
  if (!wav.valid || wav.values.size() != static_cast<size_t>(loopFrames) * kValuesPerFrame) {
    *error = "the capture's sound file is not a whole loop";
    return digests;
  }
  digests.sound = DigestSound(wav.values.data(), wav.values.size());
  if (!sample.empty() && sample.back() >= loopFrames)
    *error = CaptureFrames(flavour, loopFrames, sample.back() + 1, sample, {}, &digests);
  return digests;
}

// Captures the flavour's sample and compares it with its stored digests, or
// rewrites them under TORVELIN_REFRESH_DIGESTS=1.
void HoldToStoredDigests(const Flavour& flavour) {
  const char* refresh = std::getenv("TORVELIN_REFRESH_DIGESTS");
  if (refresh != nullptr && std::string(refresh) == "1") {
    std::string error;
    const CaptureDigests fresh = Capture(flavour, kLoopFrames, flavour.defaultSample(), &error);
    ASSERT_EQ(error, "");
    SaveCaptureDigests(kDigestFile, fresh, flavour.name);
    std::cout << "rewrote " << kDigestFile << "\n";
    return;
  }
  CaptureDigests stored;
  ASSERT_TRUE(LoadCaptureDigests(kDigestFile, &stored, flavour.name))
      << kDigestFile << " is missing or unreadable. " << kRefresh;
  std::vector<int> sample;
  for (const auto& entry : stored.frame) sample.push_back(entry.first);
  std::string error;
  const CaptureDigests now = Capture(flavour, stored.frames, sample, &error);
  ASSERT_EQ(error, "");
  int changed = 0;
  for (const auto& [number, digest] : stored.frame) {
    const auto found = now.frame.find(number);
    if (found == now.frame.end() || found->second != digest) {
      ++changed;
      if (changed <= 5) ADD_FAILURE() << "frame " << number << " changed";
    }
  }
  EXPECT_EQ(changed, 0) << changed << " of " << stored.frame.size() << " sampled frames changed. " << kRefresh;
  EXPECT_EQ(DigestHex(now.sound), DigestHex(stored.sound)) << "the loop's sound changed. " << kRefresh;
}

TEST(Regression, WholeLoopMatchesTheStoredDigests) { HoldToStoredDigests({CaptureProgram(), "", DefaultSample}); }

// intro-fullscreen's words and draws, through a capture linked with its
// flavour file.
TEST(RegressionFullScreen, LaserScenesMatchTheStoredDigests) {
  HoldToStoredDigests({TORVELIN_CAPTURE_FULLSCREEN, kFullScreenFlavour, FullScreenSample});
}

}  // namespace
