// Output files on POSIX file systems.
#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "outfile_system.hpp"

namespace {

// The signals that stop a run; each ends it as it would have, core dump
// included for SIGQUIT, once the temporaries are gone.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// While a temporary is being made, renamed or removed, the stop signals
// wait: the handler then never sees a name that is not (or no longer) ours.
struct StopSignalsHeld {
  sigset_t previous;
  StopSignalsHeld() {
    sigset_t stops;
    sigemptyset(&stops);
    for (int signal : kStopSignals) sigaddset(&stops, signal);
    pthread_sigmask(SIG_BLOCK, &stops, &previous);
  }
  ~StopSignalsHeld() { pthread_sigmask(SIG_SETMASK, &previous, nullptr); }
};

}  // namespace

bool OUTFILELookUp(const std::string& name, OUTFILEKind* kind) {
  struct stat info;
  *kind = OUTFILEKind::kNothing;
  if (stat(name.c_str(), &info) != 0) return errno == ENOENT;
  *kind = S_ISDIR(info.st_mode)   ? OUTFILEKind::kFolder
          : S_ISREG(info.st_mode) ? OUTFILEKind::kRegular
                                  : OUTFILEKind::kDevice;
  return true;
}

bool OUTFILEMayWrite(const std::string& name) { return access(name.c_str(), W_OK) == 0; }

// Every symbolic link on the way is followed; the last one may name
// nothing yet.
bool OUTFILEFollowLinks(const std::string& name, std::string* target) {
  std::string path = name;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      *target = path;
      return true;
    }
    char link[PATH_MAX];
    const ssize_t length = readlink(path.c_str(), link, sizeof link - 1);
    if (length < 0) return false;
    link[length] = '\0';
    const size_t slash = path.rfind('/');
    path = link[0] == '/' || slash == std::string::npos ? std::string(link) : path.substr(0, slash + 1) + link;
  }
  errno = ELOOP;
  return false;
}

// Standard output is written through the descriptor the program was given:
// opened again by its name, a socket refuses, and under node the named
// stream is written at offsets, which a pipe refuses.
FILE* OUTFILEOpenStraightThrough(const std::string& name) {
  const int fd = name == "/dev/stdout" ? STDOUT_FILENO : open(name.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  FILE* stream = fdopen(fd, "wb");
  if (stream == nullptr) {
    const int error = errno;
    close(fd);
    errno = error;
  }
  return stream;
}

FILE* OUTFILECreatePart(const std::string& target, bool replacing, std::string* part) {
  StopSignalsHeld held;
  struct stat replaced;
  if (replacing && stat(target.c_str(), &replaced) != 0) replacing = false;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    *part = target + "." + OUTFILEUniqueTag() + ".part";
    if (part->size() >= PATH_MAX) {
      errno = ENAMETOOLONG;
      return nullptr;
    }
    fd = open(part->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return nullptr;
  }
  if (fd < 0) return nullptr;
  if (replacing) fchmod(fd, replaced.st_mode & 07777);
  FILE* stream = fdopen(fd, "wb");
  if (stream != nullptr) {
    OUTFILERememberPart(*part);
    return stream;
  }
  const int error = errno;
  close(fd);
  unlink(part->c_str());
  errno = error;
  return nullptr;
}

std::string OUTFILEReplaceTarget(const std::string& part, const std::string& target) {
  StopSignalsHeld held;
  struct stat info;
  if (lstat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
    return target + " is no longer a regular file; it was left alone";
  if (rename(part.c_str(), target.c_str()) != 0) return strerror(errno);
  OUTFILEForgetPart(part);
  return {};
}

void OUTFILERemovePart(const std::string& part) {
  StopSignalsHeld held;
  unlink(part.c_str());
  OUTFILEForgetPart(part);
}

void OUTFILERemoveFile(const char* path) { unlink(path); }

void OUTFILEHandleStopSignals(void (*handler)(int)) {
  for (int signal : kStopSignals) {
    struct sigaction current;
    if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
  }
}
