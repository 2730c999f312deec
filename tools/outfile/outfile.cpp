#include "outfile.hpp"

#include <limits.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "outfile_system.hpp"

namespace {

// The temporaries open at this moment, kept where a signal handler can
// reach them without allocating: a tool has at most a few open at once.
struct PartSlot {
  char path[PATH_MAX];
  volatile sig_atomic_t used;
};
PartSlot parts[4];

bool RememberPart(const std::string& path) {
  if (path.size() >= PATH_MAX) return false;
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

std::string Failure(const std::string& name, const std::string& reason) { return "cannot write " + name + ": " + reason; }

// The temporary beside the target: a regular file of ours, with the mode
// of the file it will replace.
std::string OpenPart(OUTFILE* file, bool replacing) {
  file->part = file->target + ".part";
  if (!RememberPart(file->part)) return Failure(file->name, strerror(ENAMETOOLONG));
  std::string why = OUTFILECreatePart(file->part, replacing ? file->target : "", &file->stream);
  if (why.empty()) return {};
  ForgetPart(file->part);
  file->part.clear();
  return Failure(file->name, why);
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
  OUTFILEKind kind;
  if (std::string why = OUTFILELookUp(name, &kind); !why.empty()) return Failure(name, why);
  if (kind == OUTFILEKind::kFolder) return Failure(name, "it is a folder");
  // A device or a pipe is never replaced: it gets the bytes themselves.
  if (kind == OUTFILEKind::kDevice) {
    std::string why = OUTFILEOpenDevice(name, &file->stream);
    return why.empty() ? "" : Failure(name, why);
  }
  // A file the user may not write is not replaced behind their back either.
  if (kind == OUTFILEKind::kRegular)
    if (std::string why = OUTFILEMayReplace(name); !why.empty()) return Failure(name, why);
  if (std::string why = OUTFILEResolve(name, &file->target); !why.empty()) return Failure(name, why);
  return OpenPart(file, kind == OUTFILEKind::kRegular);
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
  if (failure.empty() && !file->part.empty())
    if (std::string why = OUTFILEReplace(file->part, file->target); !why.empty()) failure = Failure(file->name, why);
  if (!file->part.empty()) {
    if (!failure.empty()) OUTFILERemove(file->part.c_str());
    ForgetPart(file->part);
    file->part.clear();
  }
  return failure;
}

void OUTFILEDiscard(OUTFILE* file) {
  if (file->stream != nullptr) fclose(file->stream);
  file->stream = nullptr;
  if (file->part.empty()) return;
  OUTFILERemove(file->part.c_str());
  ForgetPart(file->part);
  file->part.clear();
}

void OUTFILERemoveParts() {
  for (PartSlot& slot : parts)
    if (slot.used) OUTFILERemove(slot.path);
}

void OUTFILERemovePartsOnSignals() { OUTFILEHandleStopSignals(RemovePartsAndReraise); }
