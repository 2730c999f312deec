#include "platform/sdlkbd.hpp"

#include <cstdlib>

#include "core/identification.hpp"
#include "core/report.hpp"
#include "platform/device.hpp"
#include "platform/sdldpy.hpp"

namespace {

[[gnu::used]] constexpr Identification kIdentification{
    "CODE", "C", "TORVELIN", "20261207", "SDLKBD  "};

constexpr bool kTrace = false;
constexpr int kKeyBytes = 8;

SDLKBD* single = nullptr;

// The cell holds a key symbol's low byte. Symbols above 255 (function keys,
// Ctrl, Alt, Meta, ...) would alias the program's keys that way (F2 would
// arrive as Escape, Ctrl as a digit), so they leave the cell as a release does.
uint8_t CellValue(uint32_t symbol) { return symbol <= 0xFFu ? static_cast<uint8_t>(symbol) : 0; }

}  // namespace

SDLKBD* SDLKBDNew() {
  REPORTTrace trace(kTrace, "SDLKBDNew");
  if (SDLDPYCurrent() == nullptr) {
    trace.Error("SDL not init'ed");
    return nullptr;
  }
  if (single == nullptr) {
    single = static_cast<SDLKBD*>(calloc(1, sizeof(SDLKBD)));
    if (single != nullptr) single->keys = static_cast<uint8_t*>(calloc(kKeyBytes, 1));
  }
  return single;
}

void SDLKBDFree(SDLKBD** ref) {
  REPORTTrace trace(kTrace, "SDLKBDFree");
  if (ref == nullptr || *ref == nullptr) {
    trace.Error("void parameter");
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
  REPORTTrace trace(kTrace, "SDLKBDToASCII");
  if (keyboard == nullptr) {
    trace.Error("void parameter");
    return nullptr;
  }
  return static_cast<char*>(calloc(1, 1));
}

SDLKBD* SDLKBDFromASCII(const char* text) {
  REPORTTrace trace(kTrace, "SDLKBDFromASCII");
  if (text == nullptr) trace.Error("void parameter");
  return nullptr;
}

int SDLKBDEqual(const SDLKBD* a, const SDLKBD* b) {
  REPORTTrace trace(kTrace, "SDLKBDEqual");
  if (a == nullptr || b == nullptr) {
    trace.Error("void parameter");
    return 0;
  }
  return a == b ? 1 : 0;
}

SDLKBD* SDLKBDCopy(const SDLKBD* keyboard) {
  REPORTTrace trace(kTrace, "SDLKBDCopy");
  if (keyboard == nullptr) trace.Error("void parameter");
  return nullptr;
}

void SDLKBDGetKey(SDLKBD* keyboard) {
  REPORTTrace trace(kTrace, "SDLKBDGetKey");
  if (SDLDPYCurrent() == nullptr) {
    trace.Error("no display");
    return;
  }
  if (keyboard == nullptr || keyboard->keys == nullptr) {
    trace.Error("void parameter");
    return;
  }
  SDLKBDEvent event{};
  while (SDLKBDDevicePoll(&event)) {
    if (event.kind == SDLKBDEventKind::keyDown) {
      trace.Line("keyName=%s\n", event.name != nullptr ? event.name : "");
      trace.Line("keySym=%c\n", static_cast<char>(event.symbol & 0xFFu));
      keyboard->keys[0] = CellValue(event.symbol);
    } else if (event.kind == SDLKBDEventKind::keyUp) {
      keyboard->keys[0] = 0;
    }
  }
}
