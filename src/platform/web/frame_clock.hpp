// The web page's frame clock: the host that plays the frames sets, before
// each one, the time in milliseconds at which it fell due on the browser's
// clock. The frame pacing reads it as its clock.
#pragma once
#include <cstdint>

void WEBSetFrameClock(uint32_t milliseconds);
