// Controls of the headless backend, which implements the platform headers
// without a window or an audio device, for tests and the capture tool.
// Only programs linked with the headless backend may call these.
//
// Time is virtual: it advances only when the program sleeps (FPSDelay) or
// when the caller advances it, so frame pacing is exact and repeatable.
#pragma once
#include <cstdint>

struct IMG;

// One scripted key event: at keyboard poll number `frame` (counting from 0,
// one poll per frame) the key goes down (or up). `key` is the window
// system's key symbol, which for function and modifier keys is above 255.
struct HEADLESSKeyEvent {
  int32_t frame;
  uint16_t key;
  bool down;
};

// Frees the display and the keyboard, forgets the audio device, the key
// script and the sinks, puts the frame pacing back to its start and resets
// the virtual clock, the poll counter and the frame counter to 0.
void HEADLESSReset();

// Virtual clock, in milliseconds since start.
uint32_t HEADLESSTicks();
void HEADLESSAdvance(uint32_t milliseconds);

// The key script is copied; events of one poll are delivered in order.
void HEADLESSSetKeyScript(const HEADLESSKeyEvent* events, int count);
int HEADLESSPollCount();

// When true, opening the window fails (a machine without a display).
void HEADLESSSetVideoRefused(bool refused);

// Receives every presented image (the frame as it would reach the window).
using HEADLESSFrameSink = void (*)(const IMG* frame, void* user);
void HEADLESSSetFrameSink(HEADLESSFrameSink sink, void* user);
// Presented frames since the last reset.
int HEADLESSFrameCount();

// Receives the sound the audio device plays (see audio/headless.hpp), one
// frame's worth per presented frame.
using HEADLESSSoundSink = void (*)(const int16_t* values, int count, void* user);
void HEADLESSSetSoundSink(HEADLESSSoundSink sink, void* user);
