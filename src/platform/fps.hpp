// FPS: fixed frame rate pacing and the frames-per-second count.
//
// The pacing is an integrating controller: a running slack grows when frames
// come early and shrinks when they come late, and each frame sleeps the
// slack. Call FPSMeasure and then FPSDelay once per frame.
#pragma once
#include <cstdint>

// The clock in microseconds: milliseconds times 1000 in 32-bit arithmetic,
// so it wraps; all differences are taken modulo 2^32.
uint32_t FPSClock();
// Measures the time since the previous call, counts the frame and returns
// the frames counted in the last completed second.
int FPSMeasure();
// Updates the slack from the measured frame time and sleeps it.
void FPSDelay();

// The target rate in frames per second (0 or below counts as 1).
void FPSSetRate(int framesPerSecond);
int FPSRate();
// The figure FPSMeasure returns, without measuring.
int FPSFramesPerSecond();
// The controller's state, in microseconds.
int32_t FPSSlack();
int32_t FPSFrameTime();
// Puts every value back to its start (target rate 0, clock origin 0).
void FPSReset();
