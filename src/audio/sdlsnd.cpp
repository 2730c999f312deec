#include "audio/sdlsnd.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "audio/sample.hpp"
#include "audio/sdlsnd_device.hpp"
#include "containers/array.hpp"
#include "core/identification.hpp"

namespace {

[[maybe_unused]] constexpr Identification identification{
    "CODE", "C", "TORVELIN", "20261207", "SDLSND  "};

constexpr bool kTrace = false;

void TraceLine(const char* line) {
  if (kTrace) std::printf("%s", line);
}

// Prints "NAME_" on entry and "_NAME" on every way out.
class TraceScope {
 public:
  explicit TraceScope(const char* name) : name_(name) {
    if (kTrace) std::printf("%s_\n", name_);
  }
  ~TraceScope() {
    if (kTrace) std::printf("_%s\n", name_);
  }
  TraceScope(const TraceScope&) = delete;
  TraceScope& operator=(const TraceScope&) = delete;

 private:
  const char* name_;
};

SAMPLE* Head(const SDLSND* snd) { return static_cast<SAMPLE*>(ARRAYGet(snd->queue, 0)); }

// Drops the finished head; the sample itself is borrowed and stays alive.
SAMPLE* NextHead(SDLSND* snd) {
  ARRAYRemove(snd->queue, 0);
  snd->position = 0;
  return snd->queue->count > 0 ? Head(snd) : nullptr;
}

}  // namespace

SDLSND* SDLSNDNew() {
  TraceScope trace("SDLSNDNew");
  auto* snd = static_cast<SDLSND*>(std::calloc(1, sizeof(SDLSND)));
  if (snd == nullptr) {
    TraceLine("ERR calloc SDLSND\n");
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
    TraceLine("ERR open audio\n");
    if (snd->queue != nullptr) ARRAYFree(&snd->queue);
    std::free(snd);
    return nullptr;
  }
  return snd;
}

void SDLSNDFree(SDLSND** ref) {
  TraceScope trace("SDLSNDFree");
  if (ref == nullptr || *ref == nullptr) {
    TraceLine("ERR void parameter\n");
    return;
  }
  SDLSNDCloseDevice();
  if ((*ref)->queue != nullptr) ARRAYFree(&(*ref)->queue);
  std::free(*ref);
  *ref = nullptr;
}

void SDLSNDPlaySAMPLE(SDLSND* snd, SAMPLE* s) {
  TraceScope trace("SDLSNDPlaySAMPLE");
  if (snd == nullptr || s == nullptr) {
    TraceLine("ERR void parameter\n");
    return;
  }
  // Appending may move the queue's slot block, which the callback reads.
  SDLSNDLockDevice();
  if (snd->queue == nullptr) {
    TraceLine("ERR void snd->queue\n");
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
  TraceScope trace("SDLSNDCallback");
  auto* snd = static_cast<SDLSND*>(userdata);
  if (snd == nullptr || stream == nullptr) {
    TraceLine("ERR void parameter\n");
    return;
  }
  if (len <= 0) {
    TraceLine("ERR wrong length\n");
    return;
  }
  // Whatever the queue does not cover is silence; not every audio layer
  // clears the buffer before calling.
  std::memset(stream, 0, static_cast<size_t>(len));
  if (snd->queue == nullptr || snd->queue->count == 0) {
    TraceLine("ERR underflow\n");
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
  TraceScope trace("SDLSNDToASCII");
  if (snd == nullptr) {
    TraceLine("ERR void parameter\n");
    return nullptr;
  }
  return "";
}

SDLSND* SDLSNDFromASCII(const char* text) {
  TraceScope trace("SDLSNDFromASCII");
  if (text == nullptr) TraceLine("ERR void parameter.\n");
  return nullptr;
}

bool SDLSNDEqual(const SDLSND* a, const SDLSND* b) {
  TraceScope trace("SDLSNDEqual");
  if (a == nullptr || b == nullptr) {
    TraceLine("ERR void parameter\n");
    return false;
  }
  return true;
}

SDLSND* SDLSNDCopy(const SDLSND* snd) {
  TraceScope trace("SDLSNDCopy");
  if (snd == nullptr) TraceLine("ERR void parameter\n");
  return nullptr;
}

void SDLSNDPlay(SDLSND* snd) {
  TraceScope trace("SDLSNDPlay");
  if (snd == nullptr) TraceLine("ERR void parameter\n");
}
