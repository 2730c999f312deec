// The video's child processes on POSIX systems: posix_spawn, with the
// descriptors a child gets handed by number.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "video.hpp"
#include "video_process.hpp"

extern char** environ;

namespace {

// Where a child finds the scratch file it reads and the file it writes.
constexpr int kInputFd = 3;
constexpr int kOutputFd = 4;

// A descriptor the child gets as `target`.
struct Handed {
  int target;
  int source;
};

std::vector<Handed> HandedDescriptors(const VIDEOStreams& streams) {
  std::vector<Handed> handed;
  if (streams.in >= 0) handed.push_back({0, streams.in});
  if (streams.out >= 0) handed.push_back({1, streams.out});
  if (streams.err >= 0) handed.push_back({2, streams.err});
  if (streams.input != nullptr) handed.push_back({kInputFd, streams.input->fd});
  if (streams.output != nullptr) handed.push_back({kOutputFd, fileno(streams.output->stream)});
  return handed;
}

}  // namespace

// A file with no name: it cannot be left behind, whatever ends the capture.
bool VIDEOOpenScratch(VIDEOScratch* scratch) {
  const char* folder = getenv("TMPDIR");
  std::string pattern = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/intro-capture-XXXXXX";
  scratch->fd = mkostemp(pattern.data(), O_CLOEXEC);
  if (scratch->fd < 0) return false;
  unlink(pattern.c_str());
  scratch->name = "/dev/fd/" + std::to_string(kInputFd);
  return true;
}

void VIDEOCloseScratch(VIDEOScratch* scratch) {
  if (scratch->fd >= 0) close(scratch->fd);
  scratch->fd = -1;
}

bool VIDEOPipe(int ends[2]) { return pipe2(ends, O_CLOEXEC) == 0; }

// Opened through its descriptor, the temporary file can never be made anew
// under its name once a stop signal has removed it.
std::string VIDEOOutputName(const OUTFILE&) { return "/dev/fd/" + std::to_string(kOutputFd); }

// The child's standard input is empty unless handed.
VIDEOChild VIDEOStart(const std::string& program, const std::vector<std::string>& args, const VIDEOStreams& streams) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  // Each descriptor is handed from a copy above the targets, so that one
  // handed as 3 cannot overwrite another that happens to be 3 here.
  const std::vector<Handed> handed = HandedDescriptors(streams);
  std::vector<int> copies;
  for (const Handed& h : handed) copies.push_back(fcntl(h.source, F_DUPFD_CLOEXEC, 10));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  for (size_t i = 0; i < handed.size(); ++i) posix_spawn_file_actions_adddup2(&actions, copies[i], handed[i].target);
  pid_t pid = -1;
  int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  for (int copy : copies) {
    if (copy < 0) error = EMFILE;
    if (copy >= 0) close(copy);
  }
  if (error != 0) {
    errno = error;
    return VIDEONoChild;
  }
  return pid;
}

int VIDEOWait(VIDEOChild child) {
  int status = 0;
  while (waitpid(static_cast<pid_t>(child), &status, 0) < 0)
    if (errno != EINTR) return -SIGKILL;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

void VIDEOKill(VIDEOChild child) {
  kill(static_cast<pid_t>(child), SIGKILL);
  VIDEOWait(child);
}

bool CAPTUREMakesVideos() { return true; }

std::string CAPTUREFindFfmpeg(std::string* path) {
  const char* searchPath = getenv("PATH");
  std::string folders = searchPath != nullptr ? searchPath : "";
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = end > start ? folders.substr(start, end - start) : ".";
    const std::string candidate = folder + "/ffmpeg";
    struct stat info;
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0) {
      *path = candidate;
      return {};
    }
    start = end + 1;
  }
  return "--video needs ffmpeg, which is not on PATH: install the Debian package ffmpeg (apt install ffmpeg)";
}
