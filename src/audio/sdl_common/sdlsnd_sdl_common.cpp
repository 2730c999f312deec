// The parts of the sound output's device that SDL 1.2's audio calls serve
// alike on the desktop and on the browser's port of SDL 1.2, so the sdl/
// and web/ backends both build this file.
#include "audio/sdl_common/sdlsnd_sdl_common.hpp"

#include <cstdio>

#include "audio/sdlsnd.hpp"
#include "audio/sdlsnd_device.hpp"

bool SDLSNDStartAudio(SDLSND* snd, void (*pull)(void* user, Uint8* stream, int length)) {
  SDL_AudioSpec desired{};
  desired.freq = SDLSNDRate;
  desired.format = AUDIO_S16LSB;
  desired.channels = 1;
  desired.samples = SDLSNDBufferValues;
  desired.callback = pull;
  desired.userdata = snd;
  // Without an obtained spec SDL converts to the hardware's format itself.
  if (SDL_OpenAudio(&desired, nullptr) < 0) return SDLSNDNoDevice();
  SDL_PauseAudio(0);
  return true;
}

bool SDLSNDNoDevice() {
  fprintf(stderr, "TORVELIN: no sound: the sound device cannot be opened: %s\n", SDL_GetError());
  return false;
}

void SDLSNDCloseDevice() {
  SDL_PauseAudio(1);
  SDL_LockAudio();
  SDL_CloseAudio();
  SDL_UnlockAudio();
}

void SDLSNDLockDevice() { SDL_LockAudio(); }
void SDLSNDUnlockDevice() { SDL_UnlockAudio(); }
