// The sound output's device without audio hardware: the headless backend
// pulls a frame's worth of values through the callback on each presented
// frame, under the same lock a real device would hold.
#include <mutex>

#include "audio/headless.hpp"
#include "audio/sdlsnd.hpp"
#include "audio/sdlsnd_device.hpp"

namespace {

std::mutex deviceLock;

void PullLocked(void* user, uint8_t* stream, int length) {
  std::lock_guard<std::mutex> hold(deviceLock);
  SDLSNDCallback(user, stream, length);
}

}  // namespace

bool SDLSNDOpenDevice(SDLSND* snd) { return HEADLESSOpenAudio(PullLocked, snd); }

void SDLSNDCloseDevice() {
  std::lock_guard<std::mutex> hold(deviceLock);
  HEADLESSCloseAudio();
}

void SDLSNDLockDevice() { deviceLock.lock(); }
void SDLSNDUnlockDevice() { deviceLock.unlock(); }
