// Helpers shared by the audio tests: buffers from lists, temporary files.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "audio/sample.hpp"

// Owns a SAMPLE for the length of a test.
struct SampleHolder {
  SAMPLE* s;
  explicit SampleHolder(SAMPLE* sample) : s(sample) {}
  SampleHolder(std::initializer_list<int32_t> values) : s(SAMPLENew()) {
    SAMPLESetLength(s, static_cast<int>(values.size()));
    int i = 0;
    for (int32_t v : values) s->values[i++] = v;
  }
  ~SampleHolder() {
    if (s != nullptr) SAMPLEFree(&s);
  }
  SampleHolder(const SampleHolder&) = delete;
  SampleHolder& operator=(const SampleHolder&) = delete;
  std::vector<int32_t> Values() const { return {s->values, s->values + s->length}; }
};

// A unique file name in the temporary directory, removed at the end.
struct TempFile {
  std::string path;
  explicit TempFile(const char* suffix = ".raw") {
    char pattern[] = "/tmp/torvelin_audio_XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd >= 0) close(fd);
    std::remove(pattern);
    path = std::string(pattern) + suffix;
  }
  ~TempFile() { std::remove(path.c_str()); }
  std::vector<uint8_t> Bytes() const {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void Write(const std::vector<uint8_t>& bytes) const {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
};
