// The audio device under the sound output, implemented once per backend
// (SDL and headless). The device pulls values through SDLSNDCallback on its
// own thread, always holding the device lock while it does.
#pragma once

struct SDLSND;

// Opens the device (44100 Hz, signed 16-bit little-endian, mono, 4096-value
// buffers) with `snd` as the callback's user data and starts it playing.
bool SDLSNDOpenDevice(SDLSND* snd);
// Pauses, then closes the device under the lock.
void SDLSNDCloseDevice();
// The lock the device holds around each callback. Not recursive.
void SDLSNDLockDevice();
void SDLSNDUnlockDevice();
