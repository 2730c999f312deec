// Keys through SDL 1.2's event queue: the same in the desktop programs and
// on the browser's port of SDL 1.2, so the sdl/ and web/ backends both
// build this file.
#include <SDL/SDL.h>

#include "platform/device.hpp"

bool SDLKBDDevicePoll(SDLKBDEvent* event) {
  SDL_Event e;
  if (SDL_PollEvent(&e) == 0) return false;
  event->kind = SDLKBDEventKind::other;
  event->symbol = 0;
  event->name = nullptr;
  if (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) {
    event->kind = e.type == SDL_KEYDOWN ? SDLKBDEventKind::keyDown : SDLKBDEventKind::keyUp;
    event->symbol = static_cast<uint32_t>(e.key.keysym.sym);
    event->name = SDL_GetKeyName(e.key.keysym.sym);
  }
  return true;
}
