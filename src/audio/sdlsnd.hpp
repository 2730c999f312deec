// SDLSND: the sound output. A pull design: the device calls SDLSNDCallback
// whenever it needs values, and the callback streams them from a first-in,
// first-out queue of borrowed SAMPLE buffers, one after the other without a
// gap. No mixing happens here.
#pragma once
#include <cstdint>

struct ARRAY;
struct SAMPLE;

struct SDLSND {
  int32_t rate;
  int32_t sampleWidth;
  int32_t position;
  ARRAY* queue;
  char sign;
  char byteOrder;
  char muted;
};

inline constexpr int SDLSNDRate = 44100;
inline constexpr int SDLSNDBufferValues = 4096;

// Opens the audio device and starts it; null when the device is refused.
SDLSND* SDLSNDNew();
// Closes the device and releases the queue; queued samples stay untouched.
void SDLSNDFree(SDLSND** ref);
// Appends a borrowed sample to the queue, under the device lock. The sample
// must stay alive and must not shrink until it has been played.
void SDLSNDPlaySAMPLE(SDLSND* snd, SAMPLE* s);
// Entries in the queue, read under the device lock; 0 for a null record.
int SDLSNDQueueLength(SDLSND* snd);
// The device's pull callback; `len` in bytes. Runs with the device lock held.
void SDLSNDCallback(void* userdata, uint8_t* stream, int len);

// Object family members that have nothing to do for a device.
const char* SDLSNDToASCII(const SDLSND* snd);
SDLSND* SDLSNDFromASCII(const char* text);
bool SDLSNDEqual(const SDLSND* a, const SDLSND* b);
SDLSND* SDLSNDCopy(const SDLSND* snd);
void SDLSNDPlay(SDLSND* snd);
