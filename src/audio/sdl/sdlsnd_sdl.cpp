// The sound output's device on SDL's audio layer.
#include "audio/sdl_common/sdlsnd_sdl_common.hpp"
#include "audio/sdlsnd.hpp"
#include "audio/sdlsnd_device.hpp"
#include "core/system.hpp"

bool SDLSNDOpenDevice(SDLSND* snd) {
  SYSTEMQuietSoundLibrary();
  // Only the audio part: a missing joystick or CD driver must not silence us.
  if (SDL_WasInit(SDL_INIT_AUDIO) == 0 && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return SDLSNDNoDevice();
  return SDLSNDStartAudio(snd, SDLSNDCallback);
}
