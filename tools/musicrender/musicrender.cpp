// Plays the music into a WAV file exactly as a perfect device would hear it:
// per frame one MUSICUpdate, the pump's queueing, and 882 values pulled
// through the sound output's callback. Then prints, for the ear that cannot
// listen, the level of each of the 16 steps of the loop and each
// instrument's level and strongest frequency.
#include <cmath>
#include <complex>
#include <cstdint>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "audio/bank.hpp"
#include "audio/music.hpp"
#include "audio/sample.hpp"
#include "audio/sdlsnd.hpp"
#include "audio/sdlsnd_device.hpp"
#include "core/rnd.hpp"
#include "wavout.hpp"

// This program is its own device: single-threaded, so the lock is a no-op.
bool SDLSNDOpenDevice(SDLSND*) { return true; }
void SDLSNDCloseDevice() {}
void SDLSNDLockDevice() {}
void SDLSNDUnlockDevice() {}

namespace {

constexpr int kRate = 44100;
constexpr int kFrameValues = kRate / 50;
constexpr uint32_t kSeed = 786410978u;
// The longest sound a WAV file's 32-bit sizes can describe.
constexpr int kMaxSeconds = static_cast<int>(WAVOUTMaxValues / kRate);

// A whole number of seconds from 0 to kMaxSeconds, in plain digits.
bool ParseSeconds(std::string_view text, int* seconds) {
  if (text.empty() || text.size() > 9 || text[0] == '+' || text[0] == '-') return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *seconds);
  return error == std::errc() && end == text.data() + text.size() && *seconds <= kMaxSeconds;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "musicrender: %s\n", message.c_str());
  return 1;
}

void Fft(std::vector<std::complex<double>>& a) {
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const std::complex<double> step = std::polar(1.0, -2 * M_PI / static_cast<double>(len));
    for (size_t i = 0; i < n; i += len) {
      std::complex<double> w = 1;
      for (size_t k = 0; k < len / 2; ++k, w *= step) {
        const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
      }
    }
  }
}

// Strongest frequency and spectral centroid of the first 8192 values (Hann).
void Spectrum(const SAMPLE& s, double& peakHz, double& centroidHz) {
  const size_t n = 8192;
  std::vector<std::complex<double>> a(n);
  for (size_t i = 0; i < n; ++i) {
    const double window = 0.5 - 0.5 * std::cos(2 * M_PI * static_cast<double>(i) / n);
    a[i] = (i < static_cast<size_t>(s.length) ? s.values[i] : 0) * window;
  }
  Fft(a);
  double best = 0, sum = 0, weighted = 0;
  for (size_t k = 1; k < n / 2; ++k) {
    const double magnitude = std::abs(a[k]);
    const double hz = static_cast<double>(k) * kRate / n;
    if (magnitude > best) {
      best = magnitude;
      peakHz = hz;
    }
    sum += magnitude;
    weighted += magnitude * hz;
  }
  centroidHz = weighted / sum;
}

double Rms(const int32_t* values, int count) {
  double sum = 0;
  for (int i = 0; i < count; ++i) sum += static_cast<double>(values[i]) * values[i];
  return std::sqrt(sum / count);
}

double Dbfs(double rms) { return rms > 0 ? 20 * std::log10(rms / 32768.0) : -999; }

void PrintSteps(const MUSIC* m, int second) {
  std::printf("t=%3ds step dBFS:", second);
  for (int step = 0; step < 16; ++step) std::printf(" %5.1f", Dbfs(Rms(m->output->values + step * 2500, 2500)));
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  int seconds = 60;
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: musicrender OUT.wav [SECONDS]\n");
    return 2;
  }
  if (argc == 3 && !ParseSeconds(argv[2], &seconds)) {
    std::fprintf(stderr, "musicrender: SECONDS must be a whole number from 0 to %d, not '%s'\n", kMaxSeconds, argv[2]);
    return 2;
  }
  // Written as it is rendered, so any length takes the same memory.
  WAVOUT wav;
  OUTFILERemovePartsOnSignals();
  const uint32_t values = static_cast<uint32_t>(seconds) * kRate;
  if (std::string error = WAVOUTOpen(&wav, argv[1], kRate, values); !error.empty()) {
    WAVOUTDiscard(&wav);
    return Fail(error);
  }
  RNDSeed(kSeed);
  SDLSND* sound = SDLSNDNew();
  MUSIC* music = MUSICNew();
  for (int i = 0; i < TORVELINBankCount; ++i) MUSICAddSample(music, &TORVELINBank[i]);

  std::vector<int16_t> heard(kFrameValues);
  std::vector<uint8_t> stream(kFrameValues * 2);
  int peak = 0;
  for (int64_t frame = 0; frame < int64_t{seconds} * 50; ++frame) {
    MUSICUpdate(music);
    if (SDLSNDQueueLength(sound) < 4) SDLSNDPlaySAMPLE(sound, music->output);
    SDLSNDCallback(sound, stream.data(), static_cast<int>(stream.size()));
    for (int i = 0; i < kFrameValues; ++i) {
      heard[i] = static_cast<int16_t>(static_cast<uint16_t>(stream[2 * i] | stream[2 * i + 1] << 8));
      peak = std::max(peak, std::abs(static_cast<int>(heard[i])));
    }
    if (std::string error = WAVOUTWrite(&wav, heard.data(), heard.size()); !error.empty()) {
      WAVOUTDiscard(&wav);
      return Fail(error);
    }
    if ((frame + 1) % 500 == 0) PrintSteps(music, static_cast<int>((frame + 1) / 50));
  }
  // The stream's last flush and close are where a full disk shows up.
  if (std::string error = WAVOUTClose(&wav); !error.empty()) return Fail(error);
  std::printf("wrote %s: %d s, %u values, peak %d\n", argv[1], seconds, values, peak);

  const char* names[8] = {"kick", "closed hat", "snare", "bass A2", "pluck E4", "tom E3", "clap", "bell C5"};
  for (int i = 0; i < 16; ++i) {
    const SAMPLE& s = TORVELINBank[i];
    double peakHz = 0, centroidHz = 0;
    Spectrum(s, peakHz, centroidHz);
    std::printf("%2d %-10s %s length %5d peak %5d rms %6.1f dBFS strongest %7.1f Hz centroid %7.1f Hz\n", i,
                names[i % 8], i < 8 ? "      " : "octave", s.length, std::abs(SAMPLEMax(&s)) > std::abs(SAMPLEMin(&s)) ? SAMPLEMax(&s) : -SAMPLEMin(&s),
                Dbfs(Rms(s.values, s.length)), peakHz, centroidHz);
  }
  SDLSNDFree(&sound);
  MUSICFree(&music);
  return 0;
}
