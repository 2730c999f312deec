#include "outfile.hpp"

#include <limits.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <random>

#include "outfile_system.hpp"

namespace {

// The temporaries open at this moment, kept where a signal handler can
// reach them without allocating: a tool has at most a few open at once.
// (A path's limit counts UTF-16 units on Windows: up to three UTF-8 bytes
// each.)
struct PartSlot {
  char path[3 * PATH_MAX];
  volatile sig_atomic_t used;
};
PartSlot parts[4];

bool HasFreeSlot() {
  for (const PartSlot& slot : parts)
    if (!slot.used) return true;
  return false;
}

std::string Failure(const std::string& name, const std::string& reason) { return "cannot write " + name + ": " + reason; }

// The temporary beside the target: a regular file of this run's own.
std::string OpenPart(OUTFILE* file, bool replacing) {
  if (!HasFreeSlot()) return Failure(file->name, "too many files open at once");
  file->stream = OUTFILECreatePart(file->target, replacing, &file->part);
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

bool OUTFILERememberPart(const std::string& path) {
  if (path.size() >= sizeof parts[0].path) return false;
  for (PartSlot& slot : parts) {
    if (slot.used) continue;
    memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.used = 1;
    return true;
  }
  return false;
}

void OUTFILEForgetPart(const std::string& path) {
  for (PartSlot& slot : parts)
    if (slot.used && path == slot.path) slot.used = 0;
}

// Six characters that make a temporary's name this run's own. Uniqueness
// comes from creating the file exclusively; these only make a clash rare.
std::string OUTFILEUniqueTag() {
  static std::mt19937_64 draw(std::random_device{}() ^
                              static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string tag(6, 'x');
  for (char& c : tag) c = kLetters[draw() % 62];
  return tag;
}

namespace {

std::string Open(OUTFILE* file, const std::string& name, const std::string* refusal) {
  *file = OUTFILE{};
  file->name = name;
  OUTFILEKind kind;
  if (!OUTFILELookUp(name, &kind)) return Failure(name, strerror(errno));
  if (kind == OUTFILEKind::kFolder) return Failure(name, "it is a folder");
  if (kind == OUTFILEKind::kDevice && refusal != nullptr) return Failure(name, *refusal);
  // A device or a pipe is never replaced: it gets the bytes themselves.
  if (kind == OUTFILEKind::kDevice) {
    file->stream = OUTFILEOpenStraightThrough(name);
    return file->stream != nullptr ? "" : Failure(name, strerror(errno));
  }
  // A file the user may not write is not replaced behind their back either.
  const bool exists = kind == OUTFILEKind::kRegular;
  if (exists && !OUTFILEMayWrite(name)) return Failure(name, strerror(errno));
  if (!OUTFILEFollowLinks(name, &file->target)) return Failure(name, strerror(errno));
  return OpenPart(file, exists);
}

}  // namespace

std::string OUTFILEOpen(OUTFILE* file, const std::string& name) { return Open(file, name, nullptr); }

std::string OUTFILEOpenFile(OUTFILE* file, const std::string& name, const std::string& refusal) {
  return Open(file, name, &refusal);
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
    if (failure.empty())
      if (std::string why = OUTFILEReplaceTarget(file->part, file->target); !why.empty())
        failure = Failure(file->name, why);
    if (!failure.empty()) OUTFILERemovePart(file->part);
    file->part.clear();
  }
  return failure;
}

void OUTFILEDiscard(OUTFILE* file) {
  if (file->stream != nullptr) fclose(file->stream);
  file->stream = nullptr;
  if (file->part.empty()) return;
  OUTFILERemovePart(file->part);
  file->part.clear();
}

bool OUTFILECanCreateIn(const std::string& folder) {
  std::string part;
  FILE* stream = OUTFILECreatePart(folder + "/.probe", false, &part);
  if (stream == nullptr) return false;
  fclose(stream);
  OUTFILERemovePart(part);
  return true;
}

void OUTFILERemoveParts() {
  for (PartSlot& slot : parts)
    if (slot.used) OUTFILERemoveFile(slot.path);
}

void OUTFILERemovePartsOnSignals() { OUTFILEHandleStopSignals(RemovePartsAndReraise); }
