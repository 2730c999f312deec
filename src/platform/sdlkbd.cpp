#include "platform/sdlkbd.hpp"

#include <cstdio>
#include <cstdlib>

#include "core/identification.hpp"
#include "platform/device.hpp"
#include "platform/sdldpy.hpp"

namespace {

[[maybe_unused]] constexpr Identification identification{
    "CODE", "C", "TORVELIN", "20261207", "SDLKBD  "};

constexpr bool SDLKBDTraceOn = false;
constexpr int SDLKBDKeyBytes = 8;

SDLKBD* single = nullptr;

// Prints "Name_" on entry and "_Name" on every exit when tracing is on.
struct Trace {
  const char* name;
  explicit Trace(const char* operation) : name(operation) {
    if (SDLKBDTraceOn) printf("%s_\n", name);
  }
  ~Trace() {
    if (SDLKBDTraceOn) printf("_%s\n", name);
  }
  Trace(const Trace&) = delete;
  Trace& operator=(const Trace&) = delete;
};

void traceError(const char* what) {
  if (SDLKBDTraceOn) printf("ERR %s\n", what);
}

// The cell holds a key symbol's low byte. Symbols above 255 (function keys,
// Ctrl, Alt, Meta, ...) would alias the program's keys that way (F2 would
// arrive as Escape, Ctrl as a digit), so they leave the cell as a release does.
uint8_t CellValue(uint32_t symbol) { return symbol <= 0xFFu ? static_cast<uint8_t>(symbol) : 0; }

}  // namespace

SDLKBD* SDLKBDNew() {
  Trace trace("SDLKBDNew");
  if (SDLDPYCurrent() == nullptr) {
    traceError("SDL not init'ed");
    return nullptr;
  }
  if (single == nullptr) {
    single = static_cast<SDLKBD*>(calloc(1, sizeof(SDLKBD)));
    if (single != nullptr) single->keys = static_cast<uint8_t*>(calloc(SDLKBDKeyBytes, 1));
  }
  return single;
}

void SDLKBDFree(SDLKBD** ref) {
  Trace trace("SDLKBDFree");
  if (ref == nullptr || *ref == nullptr) {
    traceError("void parameter");
    return;
  }
  if (*ref == single) single = nullptr;
  free((*ref)->keys);
  free(*ref);
  *ref = nullptr;
}

void SDLKBDForget() {
  SDLKBD* keyboard = single;
  if (keyboard != nullptr) SDLKBDFree(&keyboard);
}

char* SDLKBDToASCII(const SDLKBD* keyboard) {
  Trace trace("SDLKBDToASCII");
  if (keyboard == nullptr) {
    traceError("void parameter");
    return nullptr;
  }
  return static_cast<char*>(calloc(1, 1));
}

SDLKBD* SDLKBDFromASCII(const char* text) {
  Trace trace("SDLKBDFromASCII");
  if (text == nullptr) traceError("void parameter");
  return nullptr;
}

int SDLKBDEqual(const SDLKBD* a, const SDLKBD* b) {
  Trace trace("SDLKBDEqual");
  if (a == nullptr || b == nullptr) {
    traceError("void parameter");
    return 0;
  }
  return a == b ? 1 : 0;
}

SDLKBD* SDLKBDCopy(const SDLKBD* keyboard) {
  Trace trace("SDLKBDCopy");
  if (keyboard == nullptr) traceError("void parameter");
  return nullptr;
}

void SDLKBDGetKey(SDLKBD* keyboard) {
  Trace trace("SDLKBDGetKey");
  if (SDLDPYCurrent() == nullptr) {
    traceError("no display");
    return;
  }
  if (keyboard == nullptr || keyboard->keys == nullptr) {
    traceError("void parameter");
    return;
  }
  SDLKBDEvent event{};
  while (SDLKBDDevicePoll(&event)) {
    if (event.kind == SDLKBDEventKind::keyDown) {
      if (SDLKBDTraceOn) {
        printf("keyName=%s\n", event.name != nullptr ? event.name : "");
        printf("keySym=%c\n", static_cast<char>(event.symbol & 0xFFu));
      }
      keyboard->keys[0] = CellValue(event.symbol);
    } else if (event.kind == SDLKBDEventKind::keyUp) {
      keyboard->keys[0] = 0;
    }
  }
}
