// The headless backend: the platform without a window or an audio device.
// Time is virtual and moves only when the program sleeps or the caller
// advances it; keys come from a script; presented frames go to a sink.
#include "platform/headless.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

#include "audio/headless.hpp"
#include "image/img.hpp"
#include "platform/device.hpp"
#include "platform/fps.hpp"

namespace {

constexpr int kValuesPerFrame = 882;  // 44100 values per second at 50 frames
constexpr int kBytesPerFrame = kValuesPerFrame * 2;

struct State {
  uint32_t ticks = 0;
  int polls = 0;
  int frames = 0;
  std::vector<HEADLESSKeyEvent> script;
  size_t nextEvent = 0;
  HEADLESSFrameSink frameSink = nullptr;
  void* frameUser = nullptr;
  HEADLESSSoundSink soundSink = nullptr;
  void* soundUser = nullptr;
  bool videoRefused = false;
  int width = 0;
  int height = 0;
};

State state;

// One device buffer's worth of sound per presented frame, as a device that
// plays exactly in step with the picture would pull it.
void PullSound() {
  uint8_t bytes[kBytesPerFrame] = {};
  if (!HEADLESSPullAudio(bytes, kBytesPerFrame)) return;
  int16_t values[kValuesPerFrame];
  for (int i = 0; i < kValuesPerFrame; ++i)
    values[i] = static_cast<int16_t>(static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
  if (state.soundSink != nullptr) state.soundSink(values, kValuesPerFrame, state.soundUser);
}

void HandFrame(const IMG* frame) {
  ++state.frames;
  if (state.frameSink != nullptr) state.frameSink(frame, state.frameUser);
  PullSound();
}

}  // namespace

void HEADLESSReset() {
  SDLKBDForget();
  SDLDPYForget();
  FPSReset();
  HEADLESSResetAudio();
  state = State{};
}

uint32_t HEADLESSTicks() { return state.ticks; }
void HEADLESSAdvance(uint32_t milliseconds) { state.ticks += milliseconds; }

void HEADLESSSetKeyScript(const HEADLESSKeyEvent* events, int count) {
  state.script.assign(events, events + (events != nullptr && count > 0 ? count : 0));
  std::stable_sort(state.script.begin(), state.script.end(),
                   [](const HEADLESSKeyEvent& a, const HEADLESSKeyEvent& b) { return a.frame < b.frame; });
  state.nextEvent = 0;
}

int HEADLESSPollCount() { return state.polls; }

void HEADLESSSetFrameSink(HEADLESSFrameSink sink, void* user) {
  state.frameSink = sink;
  state.frameUser = user;
}

int HEADLESSFrameCount() { return state.frames; }

void HEADLESSSetSoundSink(HEADLESSSoundSink sink, void* user) {
  state.soundSink = sink;
  state.soundUser = user;
}

void HEADLESSSetVideoRefused(bool refused) { state.videoRefused = refused; }

// Device side of the platform modules.

void SDLDPYDeviceStartSystem() {}

bool SDLDPYDeviceOpen(int width, int height, bool, int* depth, const char** reason) {
  if (state.videoRefused) {
    *reason = "no video device in this test";
    return false;
  }
  state.width = width;
  state.height = height;
  *depth = 32;
  return true;
}

void SDLDPYDeviceClose() {
  state.width = 0;
  state.height = 0;
}

void SDLDPYDevicePresent(const IMG* image, int width, int height) {
  if (width == image->width && height == image->height) {
    HandFrame(image);
    return;
  }
  // The window shows only the part that fits: hand over that part.
  std::vector<uint32_t> words(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    memcpy(&words[static_cast<size_t>(y) * width], image->pixels + static_cast<size_t>(y) * image->width,
           static_cast<size_t>(width) * 4);
  const IMG part{width, height, words.data()};
  HandFrame(&part);
}

void SDLDPYDevicePresentDirect(const IMG* image) { HandFrame(image); }

bool SDLKBDDevicePoll(SDLKBDEvent* event) {
  if (state.nextEvent < state.script.size() && state.script[state.nextEvent].frame <= state.polls) {
    const HEADLESSKeyEvent& next = state.script[state.nextEvent++];
    event->kind = next.down ? SDLKBDEventKind::keyDown : SDLKBDEventKind::keyUp;
    event->symbol = next.key;
    event->name = "scripted";
    return true;
  }
  // The queue is drained: the next call starts the next poll.
  ++state.polls;
  return false;
}

uint32_t FPSDeviceTicks() { return state.ticks; }

void FPSDeviceSleep(uint32_t milliseconds) { state.ticks += milliseconds; }
