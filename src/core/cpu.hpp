// Which register width the pixel and noise loops run at on this processor.
//
// The program is built for the baseline x86-64 processor (SSE2); loops that
// have an AVX2 form take it when the processor has AVX2. The answer is found
// once and then costs one load, so it can be asked for every row.
#pragma once

#include <atomic>

namespace cpu_detail {
// -1 until first asked, then 0 or 1.
extern std::atomic<int> wide;
int Detect();
}  // namespace cpu_detail

// True when the AVX2 forms may run. TORVELIN_NO_AVX2 in the environment keeps
// to the baseline code, so that both forms can be run and compared on one
// machine.
inline bool CPUWideRegisters() {
  const int known = cpu_detail::wide.load(std::memory_order_relaxed);
  return (known < 0 ? cpu_detail::Detect() : known) != 0;
}
