// Synthesizes the 16 instruments of the bank and writes them as 32-bit
// little-endian values (bank.bin), plus the count and the records that
// follow the values in the program's data, as assembler lines that every
// target's assembler reads (bank_records.s; see cmake/embedded_data.cmake).
//
// All instruments are in A minor so that any pile-up of hits on the loop's
// 16 steps stays consonant: drums, a bass on A, a pluck on E, a tom on E and
// a bell on C. Only +, -, *, / on doubles (no library maths), so the bytes
// are the same on every machine.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "audio/bank.hpp"

namespace {

constexpr int kRate = 44100;
constexpr int kShort = TORVELINBankLength(0);
constexpr int kLong = 2 * kShort;

constexpr bool LayoutIsEightShortThenEightLong() {
  for (int i = 0; i < TORVELINBankSize; ++i)
    if (TORVELINBankLength(i) != (i < 8 ? kShort : kLong)) return false;
  return TORVELINBankSize == 16;
}
static_assert(LayoutIsEightShortThenEightLong(), "bankgen makes 8 instruments and the same 8 an octave lower");
constexpr int kLimit = 31592;
constexpr double kTwoPi = 6.283185307179586;

// The loudest value each of the short instruments reaches.
constexpr int kPeaks[8] = {15796, 5894, 7362, 11114, 8510, 8950, 5627, 7813};
// ... and each long one (twice the length, at least twice the level).
constexpr int kLongPeaks[8] = {31592, 12498, 15008, 22422, 17020, 18801, 11255, 15984};

constexpr bool LongPeaksFit() {
  for (int i = 0; i < 8; ++i)
    if (kLongPeaks[i] < 2 * kPeaks[i] || kLongPeaks[i] > kLimit) return false;
  return true;
}
static_assert(LongPeaksFit(), "a long instrument's doubled values must fit under its peak and the limit");

using Wave = std::vector<double>;

// sin(2 pi x) for a phase x in cycles: reduce to [-1/4, 1/4] cycles, then an
// odd Taylor polynomial (error below 1e-9 there).
double Sine(double cycles) {
  double x = cycles - static_cast<double>(static_cast<int64_t>(cycles));
  if (x < 0) x += 1.0;
  if (x > 0.75) x -= 1.0;
  else if (x > 0.25) x = 0.5 - x;
  const double a = kTwoPi * x;
  const double a2 = a * a;
  double term = a;
  double sum = a;
  for (int n = 1; n <= 7; ++n) {
    term = -term * a2 / static_cast<double>((2 * n) * (2 * n + 1));
    sum += term;
  }
  return sum;
}

// Per-sample factor of an exponential decay with time constant tau seconds:
// 1 - 1/(tau * rate) is close enough to e^(-1/(tau * rate)) at these rates.
double DecayFactor(double tau) { return 1.0 - 1.0 / (tau * kRate); }

struct Noise {
  uint32_t state;
  double Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<double>(state) / 2147483648.0 - 1.0;
  }
};

// Two-pole state-variable filter; returns the band-pass output, keeps the
// high-pass output at hand.
struct Filter {
  double f;  // 2 sin(pi fc / rate), given directly
  double q;  // damping, 1/Q
  double low = 0, band = 0, high = 0;
  double Band(double in) {
    low += f * band;
    high = in - low - q * band;
    band += f * high;
    return band;
  }
};

// Linear attack over `attack` samples and a fade over the last `release`
// samples, so no instrument starts or ends on a click.
void Shape(Wave& w, int attack, int release) {
  const int n = static_cast<int>(w.size());
  for (int i = 0; i < attack && i < n; ++i) w[i] *= static_cast<double>(i) / attack;
  for (int i = 0; i < release && i < n; ++i) w[n - 1 - i] *= static_cast<double>(i) / release;
}

Wave Kick() {
  Wave w(kShort);
  double phase = 0, amp = 1, bend = 1;
  const double ampDecay = DecayFactor(0.11), bendDecay = DecayFactor(0.028);
  Noise click{0x1234567u};
  for (int i = 0; i < kShort; ++i) {
    const double freq = 46.0 + 120.0 * bend;
    phase += freq / kRate;
    w[i] = amp * Sine(phase) + (i < 80 ? 0.25 * click.Next() * (80 - i) / 80.0 : 0.0);
    amp *= ampDecay;
    bend *= bendDecay;
  }
  Shape(w, 20, 400);
  return w;
}

Wave Hat() {
  Wave w(kShort);
  Noise noise{0x9E3779B9u};
  // Noise less its part below about 6 kHz, with the very top (near the
  // Nyquist limit) averaged away: a band around 7 to 14 kHz.
  double low = 0, previous = 0, amp = 1;
  const double decay = DecayFactor(0.022);
  for (int i = 0; i < kShort; ++i) {
    const double x = noise.Next();
    low += 0.58 * (x - low);
    const double high = x - low;
    w[i] = amp * 0.5 * (high + previous);
    previous = high;
    amp *= decay;
  }
  Shape(w, 10, 400);
  return w;
}

Wave Snare() {
  Wave w(kShort);
  Noise noise{0xC0FFEE11u};
  Filter body{0.35, 0.9};
  double tone = 1, rattle = 1, phase1 = 0, phase2 = 0;
  const double toneDecay = DecayFactor(0.045), rattleDecay = DecayFactor(0.065);
  for (int i = 0; i < kShort; ++i) {
    phase1 += 185.0 / kRate;
    phase2 += 330.0 / kRate;
    const double drum = tone * (0.6 * Sine(phase1) + 0.3 * Sine(phase2));
    w[i] = drum + rattle * 0.9 * body.Band(noise.Next());
    tone *= toneDecay;
    rattle *= rattleDecay;
  }
  Shape(w, 15, 400);
  return w;
}

// Harmonics 1..count of `freq`, each weighted 1/n and dying faster the
// higher it is: a plucked string.
Wave Plucked(double freq, int count, double tau, double brightness) {
  Wave w(kShort);
  std::vector<double> amps(count), decays(count);
  for (int n = 1; n <= count; ++n) {
    amps[n - 1] = 1.0 / n;
    decays[n - 1] = DecayFactor(tau / (1.0 + brightness * (n - 1)));
  }
  for (int i = 0; i < kShort; ++i) {
    const double t = static_cast<double>(i) * freq / kRate;
    double sum = 0;
    for (int n = 1; n <= count; ++n) {
      sum += amps[n - 1] * Sine(t * n);
      amps[n - 1] *= decays[n - 1];
    }
    w[i] = sum;
  }
  Shape(w, 30, 600);
  return w;
}

Wave Bass() { return Plucked(110.0, 8, 0.16, 0.6); }       // A2
Wave Pluck() { return Plucked(329.6276, 6, 0.09, 0.9); }    // E4

Wave Tom() {
  Wave w(kShort);
  double phase = 0, amp = 1, bend = 1;
  const double ampDecay = DecayFactor(0.09), bendDecay = DecayFactor(0.05);
  for (int i = 0; i < kShort; ++i) {
    phase += 164.8138 * (1.0 + 0.18 * bend) / kRate;  // settles on E3
    w[i] = amp * (Sine(phase) + 0.2 * Sine(2 * phase));
    amp *= ampDecay;
    bend *= bendDecay;
  }
  Shape(w, 20, 400);
  return w;
}

Wave Clap() {
  Wave w(kShort);
  Noise noise{0x5EED5EEDu};
  Filter band{0.28, 0.5};
  const double decay = DecayFactor(0.012), tailDecay = DecayFactor(0.06);
  double tail = 0.7;
  for (int i = 0; i < kShort; ++i) {
    // Three quick bursts 9 ms apart, then a longer tail from the last one.
    const int burst = i / 400;
    const double env = burst < 3 ? [&] {
      double e = 1;
      for (int k = i % 400; k > 0; --k) e *= decay;
      return e;
    }() : tail;
    if (burst >= 3) tail *= tailDecay;
    w[i] = env * band.Band(noise.Next());
  }
  Shape(w, 10, 400);
  return w;
}

Wave Bell() {
  Wave w(kShort);
  const double freq = 523.2511;  // C5
  double amp = 1, index = 2.5;
  const double ampDecay = DecayFactor(0.14), indexDecay = DecayFactor(0.05);
  for (int i = 0; i < kShort; ++i) {
    const double t = static_cast<double>(i) * freq / kRate;
    w[i] = amp * Sine(t + index * Sine(2 * t) / kTwoPi);
    amp *= ampDecay;
    index *= indexDecay;
  }
  Shape(w, 25, 600);
  return w;
}

int64_t Round(double x) { return static_cast<int64_t>(x < 0 ? x - 0.5 : x + 0.5); }

// Scales so that the loudest value is exactly `peak` in magnitude.
std::vector<int32_t> Normalize(const Wave& w, int peak) {
  double largest = 0;
  for (double v : w) largest = v < 0 ? (-v > largest ? -v : largest) : (v > largest ? v : largest);
  const double scale = peak / largest;
  std::vector<int32_t> out(w.size());
  for (size_t i = 0; i < w.size(); ++i) out[i] = static_cast<int32_t>(Round(w[i] * scale));
  return out;
}

// Half-way interpolation weights: a windowed sinc over kTaps values on each
// side. sinc(m + 1/2) = (-1)^m / (pi (m + 1/2)), so no library maths is
// needed; the window is (1 - u^2)^2 and the weights are scaled to sum to 1.
constexpr int kTaps = 8;
constexpr double kPi = kTwoPi / 2;

std::vector<double> HalfwayWeights() {
  std::vector<double> h(kTaps);
  double sum = 0;
  for (int m = 0; m < kTaps; ++m) {
    const double x = m + 0.5;
    const double u = x / kTaps;
    const double window = (1.0 - u * u) * (1.0 - u * u);
    h[m] = (m % 2 == 0 ? 1.0 : -1.0) / (kPi * x) * window;
    sum += 2 * h[m];
  }
  for (double& w : h) w /= sum;
  return h;
}

// Twice the length and twice the level, peaking at exactly `peak`. Even
// values are exactly double the short instrument's; the odd ones come from a
// band-limited half-way resampling with one gain, solved so that the loudest
// odd value is exactly `peak`. The even values never exceed the peak (it is
// at least twice the short instrument's), so the largest magnitude is exact.
std::vector<int32_t> OctaveDown(const std::vector<int32_t>& v, int peak) {
  const int n = static_cast<int>(v.size());
  auto at = [&](int k) -> double { return k >= 0 && k < n ? 2.0 * v[k] : 0.0; };
  const std::vector<double> h = HalfwayWeights();
  std::vector<double> halfway(n);
  double loudest = 0;
  for (int k = 0; k < n; ++k) {
    double sum = 0;
    for (int m = 0; m < kTaps; ++m) sum += h[m] * (at(k - m) + at(k + 1 + m));
    halfway[k] = sum;
    const double magnitude = sum < 0 ? -sum : sum;
    if (magnitude > loudest) loudest = magnitude;
  }
  const double gain = peak / loudest;
  std::vector<int32_t> out(2 * n);
  for (int k = 0; k < n; ++k) {
    out[2 * k] = 2 * v[k];
    out[2 * k + 1] = static_cast<int32_t>(Round(gain * halfway[k]));
  }
  return out;
}

bool WriteValues(const char* path, const std::vector<int32_t>& values) {
  std::ofstream file(path, std::ios::binary);
  for (int32_t value : values) {
    const uint32_t u = static_cast<uint32_t>(value);
    const char bytes[4] = {static_cast<char>(u), static_cast<char>(u >> 8), static_cast<char>(u >> 16),
                           static_cast<char>(u >> 24)};
    file.write(bytes, 4);
  }
  return static_cast<bool>(file);
}

// The count, then the records pointing into TORVELINBankValues, between
// the symbol macros that cmake/embedded_data.cmake defines for the target.
bool WriteRecords(const char* path) {
  std::ofstream file(path);
  file << "/* Generated by bankgen: the bank's count and records (audio/bank.hpp). */\n"
       << "torvelin_open TORVELINBankStoredSize\n.long " << TORVELINBankSize << "\ntorvelin_close TORVELINBankStoredSize\n"
       << ".balign 8\ntorvelin_open TORVELINBank\n";
  for (int i = 0; i < TORVELINBankSize; ++i)
    file << ".long " << TORVELINBankLength(i) << ", " << TORVELINBankLength(i) << "\n.dc.a TORVELINBankValues + "
         << 4L * TORVELINBankStart(i) << "\n";
  file << "torvelin_close TORVELINBank\n";
  return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bankgen BANK.bin RECORDS.s\n");
    return 2;
  }
  const Wave voices[8] = {Kick(), Hat(), Snare(), Bass(), Pluck(), Tom(), Clap(), Bell()};
  std::vector<std::vector<int32_t>> bank;
  for (int i = 0; i < 8; ++i) bank.push_back(Normalize(voices[i], kPeaks[i]));
  for (int i = 0; i < 8; ++i) bank.push_back(OctaveDown(bank[i], kLongPeaks[i]));

  std::vector<int32_t> all;
  for (const auto& instrument : bank) all.insert(all.end(), instrument.begin(), instrument.end());
  if (!WriteValues(argv[1], all) || !WriteRecords(argv[2])) {
    std::fprintf(stderr, "bankgen: cannot write the bank\n");
    return 1;
  }
  return 0;
}
