// SDLKBD: turns the window system's event queue into a one-byte key cell
// that the driver reads once per frame. A key press leaves the low byte of
// its key symbol in the cell, a release clears it; other events are dropped.
#pragma once
#include <cstdint>

struct SDLKBD {
  uint8_t* keys;     // 8 bytes; byte 0 is the key cell, 1 to 7 are unused
  int32_t reserved;  // always 0
};

// Null when no display exists; otherwise the single keyboard.
SDLKBD* SDLKBDNew();
void SDLKBDFree(SDLKBD** ref);
// "" for a keyboard, null for null; the caller frees the text.
char* SDLKBDToASCII(const SDLKBD* keyboard);
SDLKBD* SDLKBDFromASCII(const char* text);
int SDLKBDEqual(const SDLKBD* a, const SDLKBD* b);
// A keyboard is never copied: always null.
SDLKBD* SDLKBDCopy(const SDLKBD* keyboard);
// Drains every pending event into the key cell.
void SDLKBDGetKey(SDLKBD* keyboard);
