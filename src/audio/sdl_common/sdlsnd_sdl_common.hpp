// Opening SDL 1.2's audio for the sound output, shared by the desktop and
// browser backends.
#pragma once
#include <SDL/SDL.h>

struct SDLSND;

// Opens the device at the output's rate, 16-bit mono, pulling through
// `pull` with the output as its user data, and starts it. False when SDL
// refuses, after SDLSNDNoDevice.
bool SDLSNDStartAudio(SDLSND* snd, void (*pull)(void* user, Uint8* stream, int length));
// Says on standard error, in one line with SDL's reason, that there is no
// sound device (the music runs on unheard); returns false.
bool SDLSNDNoDevice();
