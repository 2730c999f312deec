// Output files on Windows. There are no symbolic links to follow; a
// reparse point is left alone like anything else that is not a regular
// file. Device names (NUL, CON, COM1, ...) in any folder and with any
// extension are the devices themselves and are written straight through,
// and so is "-", standard output. Names are UTF-8, given to the system's
// wide-character calls, so that a name in any script works.
// Ctrl+C and Ctrl+Break reach a console program as SIGINT and SIGBREAK, on
// a thread of their own, where they cannot be held back while a temporary
// is made or removed.
#include <fcntl.h>
#include <io.h>
#include <limits.h>
#include <sys/stat.h>
#include <windows.h>

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "core/system_windows.hpp"
#include "outfile_system.hpp"

namespace {

bool IsStandardOutput(const std::string& name) { return name == "-"; }

bool IsDeviceName(const std::string& name) {
  if (IsStandardOutput(name)) return true;
  if (name.rfind("\\\\.\\", 0) == 0) return true;
  const size_t slash = name.find_last_of("/\\:");
  std::string base = name.substr(slash == std::string::npos ? 0 : slash + 1);
  base = base.substr(0, base.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  for (const char* device : {"NUL", "CON", "PRN", "AUX", "CONIN$", "CONOUT$"})
    if (base == device) return true;
  return base.size() == 4 && (base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) && base[3] >= '1' &&
         base[3] <= '9';
}

// The system's words for its last error, on one line.
std::string LastError() {
  const DWORD code = GetLastError();
  wchar_t text[256] = L"";
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, 256, nullptr);
  std::string line = SYSTEMUtf8(text);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ' || line.back() == '.'))
    line.pop_back();
  return line.empty() ? "error " + std::to_string(code) : line;
}

bool IsRegular(DWORD attributes) {
  return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) == 0;
}

FILE* StreamOver(int fd) {
  if (fd < 0) return nullptr;
  FILE* stream = _fdopen(fd, "wb");
  if (stream == nullptr) {
    const int error = errno;
    _close(fd);
    errno = error;
  }
  return stream;
}

}  // namespace

bool OUTFILELookUp(const std::string& name, OUTFILEKind* kind) {
  *kind = OUTFILEKind::kNothing;
  if (IsDeviceName(name)) {
    *kind = OUTFILEKind::kDevice;
    return true;
  }
  const DWORD attributes = GetFileAttributesW(SYSTEMWide(name).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
    errno = error == ERROR_ACCESS_DENIED ? EACCES : EINVAL;
    return false;
  }
  *kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? OUTFILEKind::kFolder
          : IsRegular(attributes)                 ? OUTFILEKind::kRegular
                                                  : OUTFILEKind::kDevice;
  return true;
}

bool OUTFILEMayWrite(const std::string& name) {
  const DWORD attributes = GetFileAttributesW(SYSTEMWide(name).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return true;
  errno = EACCES;
  return false;
}

bool OUTFILEFollowLinks(const std::string& name, std::string* target) {
  *target = name;
  return true;
}

// A reparse point is no device: it is refused rather than written through.
FILE* OUTFILEOpenStraightThrough(const std::string& name) {
  if (!IsDeviceName(name)) {
    errno = EPERM;
    return nullptr;
  }
  if (IsStandardOutput(name)) {
    fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
    return StreamOver(_dup(_fileno(stdout)));
  }
  return StreamOver(_wopen(SYSTEMWide(name).c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT));
}

FILE* OUTFILECreatePart(const std::string& target, bool, std::string* part) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    *part = target + "." + OUTFILEUniqueTag() + ".part";
    if (SYSTEMWide(*part).size() >= PATH_MAX) {
      errno = ENAMETOOLONG;
      return nullptr;
    }
    const int fd = _wopen(SYSTEMWide(*part).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                         _S_IREAD | _S_IWRITE);
    if (fd >= 0) {
      FILE* stream = StreamOver(fd);
      if (stream == nullptr) {
        const int error = errno;
        _wunlink(SYSTEMWide(*part).c_str());
        errno = error;
      } else {
        OUTFILERememberPart(*part);
      }
      return stream;
    }
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

std::string OUTFILEReplaceTarget(const std::string& part, const std::string& target) {
  const DWORD attributes = GetFileAttributesW(SYSTEMWide(target).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && !IsRegular(attributes))
    return target + " is no longer a regular file; it was left alone";
  if (!MoveFileExW(SYSTEMWide(part).c_str(), SYSTEMWide(target).c_str(), MOVEFILE_REPLACE_EXISTING)) return LastError();
  OUTFILEForgetPart(part);
  return {};
}

void OUTFILERemovePart(const std::string& part) {
  _wunlink(SYSTEMWide(part).c_str());
  OUTFILEForgetPart(part);
}

void OUTFILERemoveFile(const char* path) { _wunlink(SYSTEMWide(path).c_str()); }

void OUTFILEHandleStopSignals(void (*handler)(int)) {
  for (int signal : {SIGINT, SIGBREAK, SIGTERM})
    if (std::signal(signal, handler) == SIG_IGN) std::signal(signal, SIG_IGN);
}
