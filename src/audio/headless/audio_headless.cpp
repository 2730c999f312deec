// The headless backend's audio device: no hardware, only the callback the
// sound output opened it with, which the headless display pulls a frame's
// worth of bytes through on each presented frame.
#include "audio/headless.hpp"

namespace {

struct Device {
  HEADLESSAudioCallback callback = nullptr;
  void* user = nullptr;
  bool missing = false;
};

Device device;

}  // namespace

bool HEADLESSOpenAudio(HEADLESSAudioCallback callback, void* user) {
  if (device.missing || callback == nullptr || device.callback != nullptr) return false;
  device.callback = callback;
  device.user = user;
  return true;
}

void HEADLESSCloseAudio() {
  device.callback = nullptr;
  device.user = nullptr;
}

void HEADLESSSetAudioMissing(bool missing) { device.missing = missing; }

bool HEADLESSPullAudio(uint8_t* stream, int length) {
  if (device.callback == nullptr) return false;
  device.callback(device.user, stream, length);
  return true;
}

void HEADLESSResetAudio() { device = Device{}; }
