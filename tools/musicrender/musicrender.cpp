// Plays the music into a WAV file exactly as a perfect device would hear it:
// per frame one MUSICUpdate, the pump's queueing, and 882 values pulled
// through the sound output's callback. Then prints, for the ear that cannot
// listen, the level of each of the 16 steps of the loop and each
// instrument's level and strongest frequency.
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "audio/bank.hpp"
#include "audio/music.hpp"
#include "audio/sample.hpp"
#include "audio/sdlsnd.hpp"
#include "audio/sdlsnd_device.hpp"
#include "core/rnd.hpp"

// This program is its own device: single-threaded, so the lock is a no-op.
bool SDLSNDOpenDevice(SDLSND*) { return true; }
void SDLSNDCloseDevice() {}
void SDLSNDLockDevice() {}
void SDLSNDUnlockDevice() {}

namespace {

constexpr int kRate = 44100;
constexpr int kFrameValues = kRate / 50;
constexpr uint32_t kSeed = 786410978u;

void PutLittle(std::ofstream& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>(value >> (8 * i)));
}

bool WriteWav(const char* path, const std::vector<int16_t>& values) {
  std::ofstream out(path, std::ios::binary);
  const uint32_t dataBytes = static_cast<uint32_t>(values.size() * 2);
  out.write("RIFF", 4);
  PutLittle(out, 36 + dataBytes, 4);
  out.write("WAVEfmt ", 8);
  PutLittle(out, 16, 4);
  PutLittle(out, 1, 2);  // PCM
  PutLittle(out, 1, 2);  // mono
  PutLittle(out, kRate, 4);
  PutLittle(out, kRate * 2, 4);
  PutLittle(out, 2, 2);
  PutLittle(out, 16, 2);
  out.write("data", 4);
  PutLittle(out, dataBytes, 4);
  for (int16_t v : values) PutLittle(out, static_cast<uint16_t>(v), 2);
  return static_cast<bool>(out);
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
  if (argc < 2) {
    std::fprintf(stderr, "usage: musicrender OUT.wav [SECONDS]\n");
    return 2;
  }
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 60;
  RNDSeed(kSeed);
  SDLSND* sound = SDLSNDNew();
  MUSIC* music = MUSICNew();
  for (int i = 0; i < TORVELINBankCount; ++i) MUSICAddSample(music, &TORVELINBank[i]);

  std::vector<int16_t> heard;
  std::vector<uint8_t> stream(kFrameValues * 2);
  int peak = 0;
  for (int frame = 0; frame < seconds * 50; ++frame) {
    MUSICUpdate(music);
    if (SDLSNDQueueLength(sound) < 4) SDLSNDPlaySAMPLE(sound, music->output);
    SDLSNDCallback(sound, stream.data(), static_cast<int>(stream.size()));
    for (int i = 0; i < kFrameValues; ++i) {
      const int16_t v = static_cast<int16_t>(static_cast<uint16_t>(stream[2 * i] | stream[2 * i + 1] << 8));
      heard.push_back(v);
      peak = std::max(peak, std::abs(static_cast<int>(v)));
    }
    if ((frame + 1) % 500 == 0) PrintSteps(music, (frame + 1) / 50);
  }
  if (!WriteWav(argv[1], heard)) {
    std::fprintf(stderr, "musicrender: cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("wrote %s: %d s, %zu values, peak %d\n", argv[1], seconds, heard.size(), peak);

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
