// The sound output's device on the browser port of SDL 1.2, which feeds
// the page's audio context from the same pull callback. The port calls it
// on the page's own thread between frames, so the lock has nothing to
// guard; and it hands over its buffer as last filled, not as silence, so
// the buffer is cleared before every pull.
#include <cstring>

#include "audio/sdl_common/sdlsnd_sdl_common.hpp"
#include "audio/sdlsnd.hpp"
#include "audio/sdlsnd_device.hpp"

namespace {

void PullIntoCleared(void* user, Uint8* stream, int length) {
  if (stream != nullptr && length > 0) memset(stream, 0, static_cast<size_t>(length));
  SDLSNDCallback(user, stream, length);
}

}  // namespace

// Fails, and the intro plays silent, where the page has no audio context.
bool SDLSNDOpenDevice(SDLSND* snd) { return SDLSNDStartAudio(snd, PullIntoCleared); }
