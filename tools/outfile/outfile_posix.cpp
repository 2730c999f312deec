// Output files on POSIX file systems.
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "outfile_system.hpp"

namespace {

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

// A stream over a descriptor, which is closed when that fails.
// A stream over a new descriptor, or the reason there is none; a
// descriptor that gets no stream is closed, and its file removed when it
// was `made` here.
std::string StreamOver(int fd, FILE** stream, const char* made = nullptr) {
  if (fd < 0) return strerror(errno);
  *stream = fdopen(fd, "wb");
  if (*stream != nullptr) return {};
  const int error = errno;
  close(fd);
  if (made != nullptr) unlink(made);
  return strerror(error);
}

}  // namespace

std::string OUTFILELookUp(const std::string& name, OUTFILEKind* kind) {
  struct stat info;
  if (stat(name.c_str(), &info) != 0) {
    *kind = OUTFILEKind::kNothing;
    return errno == ENOENT ? "" : strerror(errno);
  }
  *kind = S_ISDIR(info.st_mode)   ? OUTFILEKind::kFolder
          : S_ISREG(info.st_mode) ? OUTFILEKind::kRegular
                                  : OUTFILEKind::kDevice;
  return {};
}

std::string OUTFILEMayReplace(const std::string& name) {
  return access(name.c_str(), W_OK) == 0 ? "" : strerror(errno);
}

std::string OUTFILEResolve(const std::string& name, std::string* target) {
  return FollowLinks(name, target) ? "" : strerror(errno);
}

std::string OUTFILEOpenDevice(const std::string& name, FILE** stream) {
  return StreamOver(open(name.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC), stream);
}

std::string OUTFILECreatePart(const std::string& part, const std::string& replaced, FILE** stream) {
  struct stat info;
  if (lstat(part.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return part + " is in the way and is not a regular file";
  const int fd = open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd >= 0 && !replaced.empty() && stat(replaced.c_str(), &info) == 0) fchmod(fd, info.st_mode & 07777);
  return StreamOver(fd, stream, part.c_str());
}

std::string OUTFILEReplace(const std::string& part, const std::string& target) {
  struct stat info;
  if (lstat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
    return target + " is no longer a regular file; it was left alone";
  if (rename(part.c_str(), target.c_str()) != 0) return strerror(errno);
  return {};
}

void OUTFILERemove(const char* path) { unlink(path); }

void OUTFILEHandleStopSignals(void (*handler)(int)) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction current;
    if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
  }
}
