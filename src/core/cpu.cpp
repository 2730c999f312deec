#include "core/cpu.hpp"

#include <algorithm>
#include <cstdlib>

namespace {

bool Allowed(const char* switchName) { return std::getenv(switchName) == nullptr; }

CPULevel Probe() {
  if (!TORVELIN_SSE2 || !Allowed("TORVELIN_NO_SSE2")) return CPULevel::scalar;
  CPULevel found = CPULevel::sse2;
#if TORVELIN_CPU_DISPATCH
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2") && Allowed("TORVELIN_NO_AVX2")) {
    found = CPULevel::avx2;
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        Allowed("TORVELIN_NO_AVX512"))
      found = CPULevel::avx512;
  }
#endif
  return found;
}

}  // namespace

namespace cpu_detail {

std::atomic<int> level{-1};

CPULevel Detect() {
  const CPULevel found = CPUDetectedLevel();
  level.store(static_cast<int>(found), std::memory_order_relaxed);
  return found;
}

}  // namespace cpu_detail

CPULevel CPUDetectedLevel() {
  static const CPULevel detected = Probe();
  return detected;
}

CPULevel CPUForceLevel(CPULevel level) {
  const CPULevel before = CPUVectorLevel();
  const CPULevel allowed = std::min(level, CPUDetectedLevel());
  cpu_detail::level.store(static_cast<int>(allowed), std::memory_order_relaxed);
  return before;
}
