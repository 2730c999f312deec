// Which vector instruction set the pixel and noise loops run at on this
// processor.
//
// The program is built for the baseline x86-64 processor (SSE2); loops that
// have an AVX2 or an AVX-512 form take it when the processor has it. Every
// loop also has a scalar form, the reference the others are held to, which
// is all other processors run. The answer is found once and then costs one
// load, so it can be asked for every row.
#pragma once

#include <atomic>

// TORVELIN_CPU_DISPATCH is 1 where the AVX2 and AVX-512 forms are built and
// chosen at run time: on x86-64, with a compiler that takes the target of
// each function apart. Everywhere else (another processor, a web build)
// it is 0 and only the baseline code is built; code between
// `#if TORVELIN_CPU_DISPATCH` and its `#endif` may use the target macros
// and <immintrin.h>.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TORVELIN_CPU_DISPATCH 1
#define TORVELIN_TARGET_AVX2 [[gnu::target("avx2")]]
#define TORVELIN_TARGET_AVX512 [[gnu::target("avx512f,avx512bw")]]
#else
#define TORVELIN_CPU_DISPATCH 0
#endif

// TORVELIN_SSE2 is 1 where the SSE2 forms are built: wherever the compiler
// targets SSE2 (every x86-64 processor has it); code between
// `#if TORVELIN_SSE2` and its `#endif` may use <emmintrin.h>.
#if defined(__SSE2__)
#define TORVELIN_SSE2 1
#else
#define TORVELIN_SSE2 0
#endif

// The instruction sets the loops have forms for, narrowest first: scalar
// is plain C++ word by word. avx512 stands for AVX-512 with its byte and
// word operations.
enum class CPULevel { scalar, sse2, avx2, avx512 };

inline constexpr int CPULevelCount = 4;

namespace cpu_detail {
// The level in force as an int: -1 until first asked.
extern std::atomic<int> level;
CPULevel Detect();
}  // namespace cpu_detail

// The widest level the loops may take. TORVELIN_NO_SSE2 in the environment
// keeps to the scalar code, TORVELIN_NO_AVX2 to the SSE2 code at most and
// TORVELIN_NO_AVX512 to the AVX2 code at most, so that every form can be
// run and compared on one machine.
inline CPULevel CPUVectorLevel() {
  const int known = cpu_detail::level.load(std::memory_order_relaxed);
  return known < 0 ? cpu_detail::Detect() : static_cast<CPULevel>(known);
}

// The widest level this processor and the environment allow.
CPULevel CPUDetectedLevel();

// Makes the loops run at `level` from now on, for tests that compare the
// forms; a level above CPUDetectedLevel() is lowered to it. Returns the
// level in force before.
CPULevel CPUForceLevel(CPULevel level);
