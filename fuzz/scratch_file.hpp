// One fuzz input at a time as a file that lives in memory, so the file readers
// can be fed millions of inputs without creating and removing files on disk.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

class ScratchFile {
 public:
  ScratchFile() : fd_(memfd_create("torvelin-fuzz", 0)) {
    if (fd_ < 0) {
      std::perror("memfd_create");
      std::abort();
    }
    // Each open of this path starts a new read at the beginning of the file.
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  ~ScratchFile() { close(fd_); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // Replaces the file's contents with the input and gives its path.
  const char* Hold(const uint8_t* data, size_t size) {
    size_t done = 0;
    bool whole = ftruncate(fd_, 0) == 0;
    while (whole && done < size) {
      const ssize_t n = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
      whole = n > 0;
      if (whole) done += static_cast<size_t>(n);
    }
    if (!whole) {
      std::perror("scratch file");
      std::abort();
    }
    return path_.c_str();
  }

 private:
  int fd_;
  std::string path_;
};
