// The narrow interface between the platform modules' shared code and the
// backend that serves it: the SDL backend (a real window, events and clock)
// or the headless backend (virtual clock, scripted keys, frame sink). Only
// src/platform/ includes this header.
#pragma once
#include <cstdint>

struct IMG;

// Video. Open returns false with a reason when the window system refuses.
bool SDLDPYDeviceOpen(int width, int height, bool fullScreen, int* depth, const char** reason);
void SDLDPYDeviceClose();
// Presents the top-left width x height part of the image, converting it to
// the screen's pixel format.
void SDLDPYDevicePresent(const IMG* image, int width, int height);
// Presents an image of the screen's exact size by copying its words into the
// screen when the formats agree (else as SDLDPYDevicePresent).
void SDLDPYDevicePresentDirect(const IMG* image);
void SDLDPYDeviceStartSystem();

// Events. Poll returns false once the queue is empty.
enum class SDLKBDEventKind { other, keyDown, keyUp };
struct SDLKBDEvent {
  SDLKBDEventKind kind;
  uint32_t symbol;
  const char* name;  // printable key name, for the trace
};
bool SDLKBDDevicePoll(SDLKBDEvent* event);

// Clock and sleep, in milliseconds.
uint32_t FPSDeviceTicks();
void FPSDeviceSleep(uint32_t milliseconds);

// Shared-state resets the headless backend uses to start afresh.
void SDLDPYForget();
void SDLKBDForget();
