#include "platform/fps.hpp"

#include <cstdint>

#include "core/identification.hpp"
#include "platform/device.hpp"

namespace {

[[gnu::used]] constexpr Identification kIdentification{
    "CODE", "C", "TORVELIN", "20261207", "FPS     "};

constexpr int32_t kMicrosecondsPerSecond = 1000000;

int32_t targetRate = 0;
int32_t budget = 0;
uint32_t lastTime = 0;
int32_t frameTime = 0;
int32_t secondAccumulator = 0;
int32_t framesThisSecond = 0;
int32_t framesPerSecond = 0;
int32_t slack = 0;

}  // namespace

uint32_t FPSClock() { return FPSDeviceTicks() * 1000u; }

int FPSMeasure() {
  if (targetRate <= 0) targetRate = 1;
  budget = kMicrosecondsPerSecond / targetRate;
  const uint32_t now = FPSClock();
  // The unsigned difference absorbs the clock's wrap; a gap too long for
  // 32 signed bits (over 35 minutes, e.g. a suspended machine) is capped.
  const uint32_t elapsed = now - lastTime;
  frameTime = elapsed > static_cast<uint32_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(elapsed);
  lastTime = now;
  if (frameTime >= kMicrosecondsPerSecond - secondAccumulator) {
    framesPerSecond = framesThisSecond;
    framesThisSecond = 0;
    secondAccumulator = 0;
  } else {
    secondAccumulator += frameTime;
  }
  framesThisSecond += 1;
  return framesPerSecond;
}

void FPSDelay() {
  if (frameTime > budget) {
    slack -= frameTime - budget;
    if (slack <= 0) slack = 0;
  } else {
    slack += budget - frameTime;
  }
  if (slack > 0) FPSDeviceSleep(static_cast<uint32_t>(slack / 1000));
}

void FPSSetRate(int rate) { targetRate = rate; }
int FPSRate() { return targetRate; }
int FPSFramesPerSecond() { return framesPerSecond; }
int32_t FPSSlack() { return slack; }
int32_t FPSFrameTime() { return frameTime; }

void FPSReset() {
  targetRate = 0;
  budget = 0;
  lastTime = 0;
  frameTime = 0;
  secondAccumulator = 0;
  framesThisSecond = 0;
  framesPerSecond = 0;
  slack = 0;
}
