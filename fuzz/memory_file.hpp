// The fuzz input as a read-only stream over memory, so that the file
// readers take it through their own FILE* path with no file on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

class MemoryFile {
 public:
  MemoryFile(const uint8_t* data, size_t size) {
    static uint8_t none = 0;  // an empty input still needs a buffer
    file_ = fmemopen(size > 0 ? const_cast<uint8_t*>(data) : &none, size, "rb");
    if (file_ == nullptr) {
      std::perror("fmemopen");
      std::abort();
    }
  }
  ~MemoryFile() { std::fclose(file_); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  FILE* get() const { return file_; }

 private:
  FILE* file_;
};
