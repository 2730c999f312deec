#include "core/cpu.hpp"

#include <cstdlib>

namespace cpu_detail {

std::atomic<int> widest{-1};

int Detect() {
  int found = 0;
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2") && std::getenv("TORVELIN_NO_AVX2") == nullptr) {
    found = 1;
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        std::getenv("TORVELIN_NO_AVX512") == nullptr)
      found = 2;
  }
#endif
  widest.store(found, std::memory_order_relaxed);
  return found;
}

}  // namespace cpu_detail
