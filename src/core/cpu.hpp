// Which register width the pixel and noise loops run at on this processor.
//
// The program is built for the baseline x86-64 processor (SSE2); loops that
// have an AVX2 or an AVX-512 form take it when the processor has it. The
// answer is found once and then costs one load, so it can be asked for
// every row.
#pragma once

#include <atomic>

namespace cpu_detail {
// The widest usable form: -1 until first asked, then 0 (baseline), 1 (AVX2)
// or 2 (AVX-512 with byte and word operations).
extern std::atomic<int> widest;
int Detect();

inline int Widest() {
  const int known = widest.load(std::memory_order_relaxed);
  return known < 0 ? Detect() : known;
}
}  // namespace cpu_detail

// True when the AVX2 forms may run. TORVELIN_NO_AVX2 in the environment keeps
// to the baseline code, and TORVELIN_NO_AVX512 to the AVX2 code at most, so
// that every form can be run and compared on one machine.
inline bool CPUWideRegisters() { return cpu_detail::Widest() >= 1; }

// True when the AVX-512 forms may run.
inline bool CPUWidestRegisters() { return cpu_detail::Widest() >= 2; }
