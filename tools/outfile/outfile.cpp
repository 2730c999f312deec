#include "outfile.hpp"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <random>

namespace {

// The temporaries open at this moment, kept where a signal handler can
// reach them without allocating: a tool has at most a few open at once.
struct PartSlot {
  char path[PATH_MAX];
  volatile sig_atomic_t used;
};
PartSlot parts[4];

bool RememberPart(const std::string& path) {
  for (PartSlot& slot : parts) {
    if (slot.used) continue;
    memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.used = 1;
    return true;
  }
  return false;
}

void ForgetPart(const std::string& path) {
  for (PartSlot& slot : parts)
    if (slot.used && path == slot.path) slot.used = 0;
}

bool HasFreeSlot() {
  for (const PartSlot& slot : parts)
    if (!slot.used) return true;
  return false;
}

std::string Failure(const std::string& name, const std::string& reason) { return "cannot write " + name + ": " + reason; }

// Six characters that make a temporary's name this run's own. Uniqueness
// comes from creating the file exclusively; these only make a clash rare.
std::string UniqueTag() {
  static std::mt19937_64 draw(std::random_device{}() ^
                              static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string tag(6, 'x');
  for (char& c : tag) c = kLetters[draw() % 62];
  return tag;
}

// ---- The calls that depend on a POSIX file system ----

// While a temporary is being made, renamed or removed, the stop signals
// wait: the handler then never sees a name that is not (or no longer) ours.
struct StopSignalsHeld {
  sigset_t previous;
  StopSignalsHeld() {
    sigset_t stops;
    sigemptyset(&stops);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops, signal);
    pthread_sigmask(SIG_BLOCK, &stops, &previous);
  }
  ~StopSignalsHeld() { pthread_sigmask(SIG_SETMASK, &previous, nullptr); }
};

// The name that `path` leads to once every symbolic link on it is followed;
// the last one may name nothing yet.
bool FollowLinks(std::string path, std::string* resolved) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      *resolved = path;
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

// Creates TARGET.XXXXXX.part, a new regular file no other run can have
// opened, with the mode of the file it will replace (if any), and
// remembers it for the signal handler. Null, with errno set, on failure.
FILE* CreatePart(const std::string& target, const struct stat* replaced, std::string* part) {
  StopSignalsHeld held;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    *part = target + "." + UniqueTag() + ".part";
    if (part->size() >= PATH_MAX) {
      errno = ENAMETOOLONG;
      return nullptr;
    }
    fd = open(part->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return nullptr;
  }
  if (fd < 0) return nullptr;
  if (replaced != nullptr) fchmod(fd, replaced->st_mode & 07777);
  FILE* stream = fdopen(fd, "wb");
  if (stream != nullptr) {
    RememberPart(*part);
    return stream;
  }
  const int error = errno;
  close(fd);
  unlink(part->c_str());
  errno = error;
  return nullptr;
}

// Puts a complete temporary in the target's place, unless something other
// than a regular file has taken that name meanwhile.
std::string ReplaceTarget(const OUTFILE* file) {
  StopSignalsHeld held;
  struct stat info;
  if (lstat(file->target.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
    return Failure(file->name, file->target + " is no longer a regular file; it was left alone");
  if (rename(file->part.c_str(), file->target.c_str()) != 0) return Failure(file->name, strerror(errno));
  ForgetPart(file->part);
  return {};
}

void RemovePart(const std::string& part) {
  StopSignalsHeld held;
  unlink(part.c_str());
  ForgetPart(part);
}

std::string OpenStraightThrough(OUTFILE* file) {
  const int fd = open(file->name.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return Failure(file->name, strerror(errno));
  file->stream = fdopen(fd, "wb");
  if (file->stream == nullptr) {
    const int error = errno;
    close(fd);
    return Failure(file->name, strerror(error));
  }
  return {};
}

// ---- End of the file-system calls ----

// The temporary beside the target: a regular file of this run's own.
std::string OpenPart(OUTFILE* file, const struct stat* replaced) {
  if (!HasFreeSlot()) return Failure(file->name, "too many files open at once");
  file->stream = CreatePart(file->target, replaced, &file->part);
  if (file->stream != nullptr) return {};
  file->part.clear();
  return Failure(file->name, strerror(errno));
}

void RemovePartsAndReraise(int signal) {
  OUTFILERemoveParts();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

std::string OUTFILEOpen(OUTFILE* file, const std::string& name) {
  *file = OUTFILE{};
  file->name = name;
  struct stat info;
  const bool exists = stat(name.c_str(), &info) == 0;
  if (!exists && errno != ENOENT) return Failure(name, strerror(errno));
  if (exists && S_ISDIR(info.st_mode)) return Failure(name, "it is a folder");
  // A device or a pipe is never replaced: it gets the bytes themselves.
  if (exists && !S_ISREG(info.st_mode)) return OpenStraightThrough(file);
  // A file the user may not write is not replaced behind their back either.
  if (exists && access(name.c_str(), W_OK) != 0) return Failure(name, strerror(errno));
  if (!FollowLinks(name, &file->target)) return Failure(name, strerror(errno));
  return OpenPart(file, exists ? &info : nullptr);
}

std::string OUTFILEWrite(OUTFILE* file, const void* data, size_t size) {
  if (fwrite(data, 1, size, file->stream) != size) return OUTFILEFailure(file, errno);
  return {};
}

std::string OUTFILEFailure(const OUTFILE* file, int error) {
  return Failure(file->name, error != 0 ? strerror(error) : "the write did not complete");
}

std::string OUTFILECommit(OUTFILE* file) {
  if (file->stream == nullptr) return Failure(file->name, "it is not open");
  FILE* stream = file->stream;
  file->stream = nullptr;
  errno = 0;
  const bool flushed = fflush(stream) == 0 && !ferror(stream);
  int error = errno;
  const bool closed = fclose(stream) == 0;
  if (flushed && !closed) error = errno;
  std::string failure = flushed && closed ? "" : OUTFILEFailure(file, error);
  if (!file->part.empty()) {
    if (failure.empty()) failure = ReplaceTarget(file);
    if (!failure.empty()) RemovePart(file->part);
    file->part.clear();
  }
  return failure;
}

void OUTFILEDiscard(OUTFILE* file) {
  if (file->stream != nullptr) fclose(file->stream);
  file->stream = nullptr;
  if (file->part.empty()) return;
  RemovePart(file->part);
  file->part.clear();
}

void OUTFILERemoveParts() {
  for (PartSlot& slot : parts)
    if (slot.used) unlink(slot.path);
}

void OUTFILERemovePartsOnSignals() {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    // A signal the program was started to ignore stays ignored.
    struct sigaction current;
    if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = RemovePartsAndReraise;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
  }
}
