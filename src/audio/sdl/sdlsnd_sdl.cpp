// The sound output's device on SDL's audio layer.
#include <SDL/SDL.h>

#include "audio/sdlsnd.hpp"
#include "audio/sdlsnd_device.hpp"

bool SDLSNDOpenDevice(SDLSND* snd) {
  // Only the audio part: a missing joystick or CD driver must not silence us.
  if (SDL_WasInit(SDL_INIT_AUDIO) == 0 && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  SDL_AudioSpec desired{};
  desired.freq = SDLSNDRate;
  desired.format = AUDIO_S16LSB;
  desired.channels = 1;
  desired.samples = SDLSNDBufferValues;
  desired.callback = SDLSNDCallback;
  desired.userdata = snd;
  // Without an obtained spec SDL converts to the hardware's format itself.
  if (SDL_OpenAudio(&desired, nullptr) < 0) return false;
  SDL_PauseAudio(0);
  return true;
}

void SDLSNDCloseDevice() {
  SDL_PauseAudio(1);
  SDL_LockAudio();
  SDL_CloseAudio();
  SDL_UnlockAudio();
}

void SDLSNDLockDevice() { SDL_LockAudio(); }
void SDLSNDUnlockDevice() { SDL_UnlockAudio(); }
