// The most address space the process has held so far, from the kernel's
// own count: a reader that reserved a raster shows up here even if it never
// touched the memory. -1 where the count cannot be read.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

inline int64_t PeakAddressSpace() {
  std::ifstream status("/proc/self/status");
  std::string key;
  int64_t kib = 0;
  while (status >> key) {
    if (key == "VmPeak:" && status >> kib) return kib * 1024;
  }
  return -1;
}
