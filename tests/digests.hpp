// The tests' digest, 64-bit FNV-1a, and the stored digests of a whole loop,
// tests/data/capture_digests.txt: the RGB bytes of sampled frames and the
// sound's 16-bit values. The capture's regression test and the player's
// test both hold their runs to that file; this is its one reader and writer.
#pragma once
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

inline constexpr const char* kCaptureDigestFile = TORVELIN_SOURCE_DIR "/tests/data/capture_digests.txt";
inline constexpr uint64_t kDigestStart = 14695981039346656037ull;

// 64-bit FNV-1a, continued from `hash`.
inline uint64_t Digest(const void* data, size_t size, uint64_t hash = kDigestStart) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
  return hash;
}

// The digest of a frame's 0x00RRGGBB words as the RGB bytes a capture writes.
inline uint64_t DigestRgb(const uint32_t* pixels, size_t count) {
  uint64_t hash = kDigestStart;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t rgb[3] = {static_cast<uint8_t>(pixels[i] >> 16), static_cast<uint8_t>(pixels[i] >> 8),
                            static_cast<uint8_t>(pixels[i])};
    hash = Digest(rgb, 3, hash);
  }
  return hash;
}

// The digest of 16-bit sound values as the little-endian bytes a WAV file
// holds, whatever the host's byte order.
inline uint64_t DigestSound(const int16_t* values, size_t count, uint64_t hash = kDigestStart) {
  for (size_t i = 0; i < count; ++i) {
    const auto u = static_cast<uint16_t>(values[i]);
    const uint8_t bytes[2] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8)};
    hash = Digest(bytes, 2, hash);
  }
  return hash;
}

struct CaptureDigests {
  int frames = 0;                  // the run's length
  std::map<int, uint64_t> frame;   // frame number -> digest of its RGB bytes
  uint64_t sound = 0;              // digest of the whole sound
};

inline std::string DigestHex(uint64_t value) {
  char text[20];
  std::snprintf(text, sizeof text, "%016" PRIx64, value);
  return text;
}

// The file's lines of the full-screen program's flavour begin with this
// word; the windowed program's have none.
inline constexpr const char* kFullScreenFlavour = "fullscreen";

// The digests of one flavour ("" for the windowed program, or
// kFullScreenFlavour). False when the file is missing, holds a line it does
// not know or names no frames of that flavour.
inline bool LoadCaptureDigests(const std::string& path, CaptureDigests* digests, const std::string& flavour = "") {
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string kind, hex;
    int number = -1;
    fields >> kind;
    const std::string lineFlavour = kind == kFullScreenFlavour ? kind : "";
    if (!lineFlavour.empty()) fields >> kind;
    if (lineFlavour != flavour) continue;
    if (kind == "frames") {
      fields >> digests->frames;
    } else if (kind == "frame") {
      fields >> number >> hex;
      digests->frame[number] = std::strtoull(hex.c_str(), nullptr, 16);
    } else if (kind == "sound") {
      fields >> hex;
      digests->sound = std::strtoull(hex.c_str(), nullptr, 16);
    } else {
      return false;
    }
    if (fields.fail()) return false;
  }
  return digests->frames > 0 && !digests->frame.empty();
}

// One flavour's lines, each after `prefix`.
inline void WriteDigestLines(std::ofstream& out, const CaptureDigests& digests, const std::string& prefix) {
  out << prefix << "frames " << digests.frames << "\n";
  for (const auto& [number, digest] : digests.frame)
    out << prefix << "frame " << number << " " << DigestHex(digest) << "\n";
  out << prefix << "sound " << DigestHex(digests.sound) << "\n";
}

// Rewrites the digests of one flavour and keeps the other's as they are.
inline void SaveCaptureDigests(const std::string& path, const CaptureDigests& digests,
                               const std::string& flavour = "") {
  CaptureDigests windowed, fullScreen;
  if (flavour.empty()) {
    windowed = digests;
    LoadCaptureDigests(path, &fullScreen, kFullScreenFlavour);
  } else {
    fullScreen = digests;
    LoadCaptureDigests(path, &windowed);
  }
  std::ofstream out(path);
  out << "# Digests (64-bit FNV-1a) of a whole loop captured by intro-capture with no keys:\n"
      << "# the RGB bytes of sampled frames and the 16-bit values of the sound.\n"
      << "# Frames past the loop's length come from later loops (see regression_test.cpp).\n"
      << "# Rewritten by TORVELIN_REFRESH_DIGESTS=1 ./test_capture --gtest_filter='Regression.*'\n";
  WriteDigestLines(out, windowed, "");
  if (fullScreen.frames == 0) return;
  out << "# The same for intro-fullscreen's flavour, captured by intro-capture-fullscreen: every\n"
      << "# hundredth frame of its first loop and the laser scene's words in its first four loops\n"
      << "# (see regression_test.cpp). Rewritten by\n"
      << "# TORVELIN_REFRESH_DIGESTS=1 ./test_capture --gtest_filter='RegressionFullScreen.*'\n";
  WriteDigestLines(out, fullScreen, std::string(kFullScreenFlavour) + " ");
}
