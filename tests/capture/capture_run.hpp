// Runs intro-capture as its own process, the way a user does, and reads
// back what it wrote: exit status, error lines, frames, PNG and WAV files.
#pragma once
#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

#ifndef TORVELIN_CAPTURE
#define TORVELIN_CAPTURE TORVELIN_BINARY_DIR "/tools/capture/intro-capture"
#endif
// The same capture linked with intro-fullscreen's flavour.
#ifndef TORVELIN_CAPTURE_FULLSCREEN
#define TORVELIN_CAPTURE_FULLSCREEN TORVELIN_BINARY_DIR "/tools/capture/intro-capture-fullscreen"
#endif

namespace capture_test {

constexpr int kSide = 256;
constexpr int kFrameBytes = kSide * kSide * 3;
constexpr int kValuesPerFrame = 882;

// A fresh folder for one test, removed with everything in it afterwards.
struct ScratchDir {
  std::filesystem::path path;
  ScratchDir() {
    char name[] = "/tmp/intro-capture-test-XXXXXX";
    path = mkdtemp(name);
  }
  ~ScratchDir() { std::filesystem::remove_all(path); }
  std::string operator/(const std::string& name) const { return (path / name).string(); }
};

struct Result {
  int status = -1;  // exit status, or -1 when the program did not exit
  std::string err;  // standard error
  uint64_t outBytes = 0;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The program under test. TORVELIN_CAPTURE_PROGRAM runs another build of it
// instead (the WebAssembly one under node, a cross build under qemu-user), to
// hold it to the same results.
inline std::string CaptureProgram() {
  const char* program = getenv("TORVELIN_CAPTURE_PROGRAM");
  return program != nullptr && *program != 0 ? program : TORVELIN_CAPTURE;
}

// Runs the program with the arguments; its standard output (a pipe, or a
// socket when asked) goes, chunk by chunk, to `onOutput` (or is dropped),
// its standard error is kept.
inline Result RunCapture(const std::vector<std::string>& args,
                  const std::function<void(const char*, size_t)>& onOutput = nullptr,
                  const std::string& program = CaptureProgram(), bool outputToSocket = false) {
  ScratchDir scratch;
  const std::string errPath = scratch / "stderr";
  int out[2];
  if ((outputToSocket ? socketpair(AF_UNIX, SOCK_STREAM, 0, out) : pipe(out)) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addclose(&actions, out[1]);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<std::string> argv0 = {program};
  argv0.insert(argv0.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argv0) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  Result result;
  if (spawned != 0) {
    close(out[0]);
    result.err = std::string("cannot start ") + argv[0] + ": " + strerror(spawned);
    return result;
  }
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const ssize_t got = read(out[0], buffer.data(), buffer.size());
    if (got <= 0) break;
    result.outBytes += static_cast<uint64_t>(got);
    if (onOutput) onOutput(buffer.data(), static_cast<size_t>(got));
  }
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.err = ReadFile(errPath);
  return result;
}

// Collects standard output whole.
inline Result RunKeepingOutput(const std::vector<std::string>& args, std::string* output) {
  output->clear();
  return RunCapture(args, [output](const char* data, size_t size) { output->append(data, size); });
}

// The parts of a WAV file the capture promises.
struct Wav {
  bool valid = false;
  int format = 0;  // 1: integer PCM
  int channels = 0;
  int rate = 0;
  int bits = 0;
  std::vector<int16_t> values;
};

inline uint32_t Le32(const std::string& b, size_t at) {
  return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}
inline uint16_t Le16(const std::string& b, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}

// Walks the RIFF chunks; a chunk that runs past the end makes it invalid.
inline Wav ReadWav(const std::string& path) {
  Wav wav;
  const std::string b = ReadFile(path);
  if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) return wav;
  if (Le32(b, 4) != b.size() - 8) return wav;
  bool sawFormat = false;
  bool sawData = false;
  for (size_t at = 12; at + 8 <= b.size();) {
    const std::string id = b.substr(at, 4);
    const uint32_t size = Le32(b, at + 4);
    if (size > b.size() - at - 8) return wav;
    if (id == "fmt " && size >= 16) {
      wav.format = Le16(b, at + 8);
      wav.channels = Le16(b, at + 10);
      wav.rate = static_cast<int>(Le32(b, at + 12));
      wav.bits = Le16(b, at + 22);
      sawFormat = true;
    } else if (id == "data") {
      for (size_t i = 0; i + 1 < size; i += 2) wav.values.push_back(static_cast<int16_t>(Le16(b, at + 8 + i)));
      sawData = true;
    }
    at += 8 + size + (size & 1);
  }
  wav.valid = sawFormat && sawData;
  return wav;
}

}  // namespace capture_test
