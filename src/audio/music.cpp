#include "audio/music.hpp"

#include <cstdlib>

#include "audio/sample.hpp"
#include "audio/sdlsnd_device.hpp"
#include "containers/array.hpp"
#include "core/identification.hpp"
#include "core/report.hpp"
#include "core/rnd.hpp"

namespace {

[[gnu::used]] constexpr Identification kIdentification{
    "CODE", "C", "TORVELIN", "20261207", "MUSIC   "};

// The placed instrument of the current rebuild (zeros elsewhere), and the
// next loop computed from it; both are made once and kept for the run.
SAMPLE* scratch = nullptr;
SAMPLE* nextLoop = nullptr;

bool EnsureLength(SAMPLE*& s, int length) {
  if (s != nullptr && s->length != length) SAMPLEFree(&s);
  if (s == nullptr) {
    s = SAMPLENew();
    if (s == nullptr) return false;
    SAMPLESetLength(s, length);
  }
  return s->length == length;
}

// One of the 16 steps of the loop from four coin flips: L/2, L/4, L/8, L/16.
int DrawDelay(int length) {
  int delay = 0;
  for (int shift = 1; shift <= 4; ++shift) delay += (RNDNext() % 2) * (length >> shift);
  return delay;
}

void Rebuild(MUSIC* m) {
  const int length = m->output->length;
  if (!EnsureLength(scratch, length) || !EnsureLength(nextLoop, length)) return;
  SAMPLEClear(scratch);
  const int count = m->bank->count;
  // An empty bank still draws, so the generator's sequence does not depend on it.
  const int draw = RNDNext();
  const int index = count > 0 ? draw % count : -1;
  const int delay = DrawDelay(length);
  auto* instrument = static_cast<SAMPLE*>(index >= 0 ? ARRAYGet(m->bank, index) : nullptr);
  if (instrument == nullptr) return;
  SAMPLEAdd(scratch, instrument);
  SAMPLERotateRight(scratch, delay);
  // next = (3 * output + placed) >> 2, computed off to the side so that the
  // playing buffer is only touched by one short copy under the audio lock.
  SAMPLECopy(m->output, nextLoop);
  SAMPLEAdd(scratch, nextLoop);
  SAMPLEShiftLeft(nextLoop, 1);
  SAMPLEAdd(nextLoop, scratch);
  SAMPLEShiftRight(nextLoop, 2);
  SDLSNDLockDevice();
  SAMPLECopyRange(nextLoop, m->output, length, 0, 0);
  SDLSNDUnlockDevice();
}

}  // namespace

bool MUSICDiagnostics = false;

void MUSICError() {
  REPORTError(MUSICDiagnostics, "MUSIC ERROR\n");
}

MUSIC* MUSICNew() {
  auto* m = static_cast<MUSIC*>(std::calloc(1, sizeof(MUSIC)));
  if (m == nullptr) return nullptr;
  m->output = SAMPLENew();
  m->bank = ARRAYNew();
  if (m->output == nullptr || m->bank == nullptr) {
    MUSICFree(&m);
    return nullptr;
  }
  m->period = MUSICPeriod;
  SAMPLESetLength(m->output, MUSICLoopLength);
  return m;
}

void MUSICFree(MUSIC** ref) {
  if (ref == nullptr || *ref == nullptr) {
    MUSICError();
    return;
  }
  MUSIC* m = *ref;
  if (m->output != nullptr) SAMPLEFree(&m->output);
  if (m->bank != nullptr) {
    while (m->bank->count > 0) ARRAYPop(m->bank);
    ARRAYFree(&m->bank);
  }
  std::free(m);
  *ref = nullptr;
}

void MUSICAddSample(MUSIC* m, SAMPLE* s) {
  if (m == nullptr || s == nullptr || m->bank == nullptr) return;
  ARRAYPush(m->bank, s);
}

void MUSICUpdate(MUSIC* m) {
  if (m == nullptr || m->output == nullptr || m->bank == nullptr) return;
  if (--m->countdown > 0) return;
  m->countdown = m->period;
  Rebuild(m);
}

char* MUSICToASCII(const MUSIC*) { return nullptr; }
MUSIC* MUSICFromASCII(const char*) { return nullptr; }
bool MUSICEqual(const MUSIC*, const MUSIC*) { return false; }
MUSIC* MUSICClone(const MUSIC*) { return nullptr; }
