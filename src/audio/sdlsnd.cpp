#include "audio/sdlsnd.hpp"

#include <cstdlib>
#include <cstring>

#include "audio/sample.hpp"
#include "audio/sdlsnd_device.hpp"
#include "containers/array.hpp"
#include "core/identification.hpp"
#include "core/report.hpp"

namespace {

[[gnu::used]] constexpr Identification kIdentification{
    "CODE", "C", "TORVELIN", "20261207", "SDLSND  "};

constexpr bool kTrace = false;

SAMPLE* Head(const SDLSND* snd) { return static_cast<SAMPLE*>(ARRAYGet(snd->queue, 0)); }

// Drops the finished head; the sample itself is borrowed and stays alive.
SAMPLE* NextHead(SDLSND* snd) {
  ARRAYRemove(snd->queue, 0);
  snd->position = 0;
  return snd->queue->count > 0 ? Head(snd) : nullptr;
}

}  // namespace

SDLSND* SDLSNDNew() {
  REPORTTrace trace(kTrace, "SDLSNDNew");
  auto* snd = static_cast<SDLSND*>(std::calloc(1, sizeof(SDLSND)));
  if (snd == nullptr) {
    trace.Error("calloc SDLSND");
    return nullptr;
  }
  snd->rate = SDLSNDRate;
  snd->sampleWidth = 16;
  snd->sign = 's';
  snd->byteOrder = 'l';
  snd->muted = 0;
  snd->queue = ARRAYNew();
  // The queue exists before the device starts pulling from it.
  if (snd->queue == nullptr || !SDLSNDOpenDevice(snd)) {
    trace.Error("open audio");
    if (snd->queue != nullptr) ARRAYFree(&snd->queue);
    std::free(snd);
    return nullptr;
  }
  return snd;
}

void SDLSNDFree(SDLSND** ref) {
  REPORTTrace trace(kTrace, "SDLSNDFree");
  if (ref == nullptr || *ref == nullptr) {
    trace.Error("void parameter");
    return;
  }
  SDLSNDCloseDevice();
  if ((*ref)->queue != nullptr) ARRAYFree(&(*ref)->queue);
  std::free(*ref);
  *ref = nullptr;
}

void SDLSNDPlaySAMPLE(SDLSND* snd, SAMPLE* s) {
  REPORTTrace trace(kTrace, "SDLSNDPlaySAMPLE");
  if (snd == nullptr || s == nullptr) {
    trace.Error("void parameter");
    return;
  }
  // Appending may move the queue's slot block, which the callback reads.
  SDLSNDLockDevice();
  if (snd->queue == nullptr) {
    trace.Error("void snd->queue");
    snd->queue = ARRAYNew();
  }
  ARRAYPush(snd->queue, s);
  SDLSNDUnlockDevice();
}

int SDLSNDQueueLength(SDLSND* snd) {
  if (snd == nullptr) return 0;
  SDLSNDLockDevice();
  const int length = snd->queue != nullptr ? snd->queue->count : 0;
  SDLSNDUnlockDevice();
  return length;
}

void SDLSNDCallback(void* userdata, uint8_t* stream, int len) {
  REPORTTrace trace(kTrace, "SDLSNDCallback");
  auto* snd = static_cast<SDLSND*>(userdata);
  if (snd == nullptr || stream == nullptr) {
    trace.Error("void parameter");
    return;
  }
  if (len <= 0) {
    trace.Error("wrong length");
    return;
  }
  // Whatever the queue does not cover is silence; not every audio layer
  // clears the buffer before calling.
  std::memset(stream, 0, static_cast<size_t>(len));
  if (snd->queue == nullptr || snd->queue->count == 0) {
    trace.Error("underflow");
    return;
  }
  SAMPLE* head = Head(snd);
  if (snd->muted == 1 || head == nullptr) return;
  // Every queued buffer takes at least one output value: an empty one plays
  // a single 0 before the next buffer starts.
  const int values = len / 2;
  for (int i = 0; i < values && head != nullptr; ++i) {
    const int32_t v = SAMPLEGet(head, snd->position);
    stream[2 * i] = static_cast<uint8_t>(v);
    stream[2 * i + 1] = static_cast<uint8_t>(v >> 8);
    if (++snd->position >= head->length) head = NextHead(snd);
  }
}

const char* SDLSNDToASCII(const SDLSND* snd) {
  REPORTTrace trace(kTrace, "SDLSNDToASCII");
  if (snd == nullptr) {
    trace.Error("void parameter");
    return nullptr;
  }
  return "";
}

SDLSND* SDLSNDFromASCII(const char* text) {
  REPORTTrace trace(kTrace, "SDLSNDFromASCII");
  if (text == nullptr) trace.Error("void parameter.");
  return nullptr;
}

bool SDLSNDEqual(const SDLSND* a, const SDLSND* b) {
  REPORTTrace trace(kTrace, "SDLSNDEqual");
  if (a == nullptr || b == nullptr) {
    trace.Error("void parameter");
    return false;
  }
  return true;
}

SDLSND* SDLSNDCopy(const SDLSND* snd) {
  REPORTTrace trace(kTrace, "SDLSNDCopy");
  if (snd == nullptr) trace.Error("void parameter");
  return nullptr;
}

void SDLSNDPlay(SDLSND* snd) {
  REPORTTrace trace(kTrace, "SDLSNDPlay");
  if (snd == nullptr) trace.Error("void parameter");
}
