// Guards every picture and sound of the loop against unintended change: a
// whole loop is captured and digests of a sample of its frames and of its
// whole sound are compared with the ones stored in tests/data.
//
// After a deliberate change to a picture or a sound, rewrite the stored
// digests with
//   TORVELIN_REFRESH_DIGESTS=1 ./test_capture --gtest_filter='Regression.*'
// (from the build folder) and commit tests/data/capture_digests.txt.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "../digests.hpp"
#include "capture_run.hpp"
#include "driver/scene_table.hpp"

namespace {

using namespace capture_test;

const char* const kDigestFile = kCaptureDigestFile;
const char* const kRefresh =
    "If the change is deliberate, rewrite the stored digests: run "
    "TORVELIN_REFRESH_DIGESTS=1 ./test_capture --gtest_filter='Regression.*' in the build folder, "
    "then commit tests/data/capture_digests.txt.";

constexpr int kLoopFrames = TORVELINLoopFrames;
constexpr int kSampleStep = 100;

// The sample: every hundredth frame and the loop's last.
std::vector<int> DefaultSample() {
  std::vector<int> sample;
  for (int i = 0; i < kLoopFrames; i += kSampleStep) sample.push_back(i);
  sample.push_back(kLoopFrames - 1);
  return sample;
}

// Captures `frames` frames, keeping the digests of the sampled ones.
CaptureDigests Capture(int frames, const std::vector<int>& sample, std::string* error) {
  ScratchDir dir;
  CaptureDigests digests;
  digests.frames = frames;
  std::string pending;
  int frame = 0;
  const Result r = RunCapture({"-q", "--frames", std::to_string(frames), "--raw", "--wav", dir / "loop.wav"},
                              [&](const char* data, size_t size) {
                                pending.append(data, size);
                                size_t used = 0;
                                for (; pending.size() - used >= kFrameBytes; used += kFrameBytes, ++frame)
                                  if (std::find(sample.begin(), sample.end(), frame) != sample.end())
                                    digests.frame[frame] = Digest(pending.data() + used, kFrameBytes);
                                pending.erase(0, used);
                              });
  if (r.status != 0 || frame != frames || !pending.empty()) {
    *error = "the capture failed: status " + std::to_string(r.status) + ", " + std::to_string(frame) +
             " frames, " + r.err;
    return digests;
  }
  const Wav wav = ReadWav(dir / "loop.wav");
  if (!wav.valid || wav.values.size() != static_cast<size_t>(frames) * kValuesPerFrame) {
    *error = "the capture's sound file is not a whole loop";
    return digests;
  }
  digests.sound = Digest(wav.values.data(), wav.values.size() * sizeof(int16_t));
  return digests;
}

TEST(Regression, WholeLoopMatchesTheStoredDigests) {
  const char* refresh = std::getenv("TORVELIN_REFRESH_DIGESTS");
  if (refresh != nullptr && std::string(refresh) == "1") {
    std::string error;
    const CaptureDigests fresh = Capture(kLoopFrames, DefaultSample(), &error);
    ASSERT_EQ(error, "");
    SaveCaptureDigests(kDigestFile, fresh);
    std::cout << "rewrote " << kDigestFile << "\n";
    return;
  }
  CaptureDigests stored;
  ASSERT_TRUE(LoadCaptureDigests(kDigestFile, &stored)) << kDigestFile << " is missing or unreadable. " << kRefresh;
  std::vector<int> sample;
  for (const auto& entry : stored.frame) sample.push_back(entry.first);
  std::string error;
  const CaptureDigests now = Capture(stored.frames, sample, &error);
  ASSERT_EQ(error, "");
  int changed = 0;
  for (const auto& [number, digest] : stored.frame) {
    const auto found = now.frame.find(number);
    if (found == now.frame.end() || found->second != digest) {
      ++changed;
      if (changed <= 5) ADD_FAILURE() << "frame " << number << " of the loop changed";
    }
  }
  EXPECT_EQ(changed, 0) << changed << " of " << stored.frame.size() << " sampled frames changed. " << kRefresh;
  EXPECT_EQ(DigestHex(now.sound), DigestHex(stored.sound)) << "the loop's sound changed. " << kRefresh;
}

}  // namespace
