# What the target processor and its C library need for the programs to
# behave alike everywhere, carried by tv_build_options into every target.
#
# Large files and 64-bit time: a 32-bit Linux program with 32-bit off_t,
# ino_t and time_t gets EOVERFLOW from stat() on a file whose inode number
# or size does not fit, and would then take an existing file for a missing
# one. Where any of them would be 32-bit, the 64-bit forms are asked for.
# (Windows' files are checked through its own calls, and the web build's C
# library has only the 64-bit forms.)
#
# Single-precision steps: the sine table and the generators round every
# float step as it happens (core/sintable.cpp checks FLT_EVAL_METHOD). On
# 32-bit x86 the compiler may keep x87 excess precision; there the build
# does its float arithmetic with SSE2, and refuses a target without it.
include(CheckTypeSize)
include(CheckCXXSourceCompiles)

if(NOT WIN32 AND NOT EMSCRIPTEN)
  check_type_size(off_t TORVELIN_SIZEOF_OFF_T)
  check_type_size(time_t TORVELIN_SIZEOF_TIME_T)
  if(TORVELIN_SIZEOF_OFF_T EQUAL 4 OR TORVELIN_SIZEOF_TIME_T EQUAL 4)
    target_compile_definitions(tv_build_options INTERFACE _FILE_OFFSET_BITS=64 _TIME_BITS=64)
  endif()
endif()

set(torvelin_rounded_floats "#include <cfloat>
static_assert(FLT_EVAL_METHOD == 0);
int main() { return 0; }")
check_cxx_source_compiles("${torvelin_rounded_floats}" TORVELIN_FLOATS_ROUNDED)
if(NOT TORVELIN_FLOATS_ROUNDED)
  set(CMAKE_REQUIRED_FLAGS "-msse2 -mfpmath=sse")
  check_cxx_source_compiles("${torvelin_rounded_floats}" TORVELIN_FLOATS_ROUNDED_WITH_SSE2)
  unset(CMAKE_REQUIRED_FLAGS)
  if(NOT TORVELIN_FLOATS_ROUNDED_WITH_SSE2)
    message(FATAL_ERROR "This target keeps excess precision in float arithmetic and has no SSE2 to avoid it; "
                        "the sine table and the generators need every float step rounded to single precision.")
  endif()
  message(STATUS "Float arithmetic: this target's x87 keeps excess precision, so the build uses SSE2 (-msse2 -mfpmath=sse)")
  target_compile_options(tv_build_options INTERFACE -msse2 -mfpmath=sse)
endif()
