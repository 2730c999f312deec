// Output files on Windows. There are no symbolic links to follow; a
// reparse point is left alone like any other file that is not regular.
// Device names (NUL, CON, COM1, ...) in any folder and with any extension
// are the devices themselves and are written straight through.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "outfile_system.hpp"

namespace {

bool IsDeviceName(const std::string& name) {
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
  char text[256] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(), 0, text,
                 sizeof text, nullptr);
  std::string line = text;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ' || line.back() == '.'))
    line.pop_back();
  return line.empty() ? "error " + std::to_string(GetLastError()) : line;
}

bool IsRegular(DWORD attributes) {
  return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) == 0;
}

// A stream over a new descriptor, or the reason there is none; a
// descriptor that gets no stream is closed, and its file removed when it
// was `made` here.
std::string StreamOver(int fd, FILE** stream, const char* made = nullptr) {
  if (fd < 0) return strerror(errno);
  *stream = _fdopen(fd, "wb");
  if (*stream != nullptr) return {};
  const int error = errno;
  _close(fd);
  if (made != nullptr) _unlink(made);
  return strerror(error);
}

}  // namespace

std::string OUTFILELookUp(const std::string& name, OUTFILEKind* kind) {
  *kind = OUTFILEKind::kNothing;
  if (IsDeviceName(name)) {
    *kind = OUTFILEKind::kDevice;
    return {};
  }
  const DWORD attributes = GetFileAttributesA(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? "" : LastError();
  }
  *kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? OUTFILEKind::kFolder
          : IsRegular(attributes)                 ? OUTFILEKind::kRegular
                                                  : OUTFILEKind::kDevice;
  return {};
}

std::string OUTFILEMayReplace(const std::string& name) {
  const DWORD attributes = GetFileAttributesA(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return strerror(EACCES);
  return {};
}

std::string OUTFILEResolve(const std::string& name, std::string* target) {
  *target = name;
  return {};
}

// A reparse point is no device: it is refused rather than written through.
std::string OUTFILEOpenDevice(const std::string& name, FILE** stream) {
  if (!IsDeviceName(name)) return "it is not a regular file; it was left alone";
  return StreamOver(_open(name.c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT), stream);
}

std::string OUTFILECreatePart(const std::string& part, const std::string&, FILE** stream) {
  const DWORD attributes = GetFileAttributesA(part.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && !IsRegular(attributes))
    return part + " is in the way and is not a regular file";
  return StreamOver(_open(part.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT,
                          _S_IREAD | _S_IWRITE),
                    stream, part.c_str());
}

std::string OUTFILEReplace(const std::string& part, const std::string& target) {
  const DWORD attributes = GetFileAttributesA(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && !IsRegular(attributes))
    return target + " is no longer a regular file; it was left alone";
  if (!MoveFileExA(part.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return LastError();
  return {};
}

void OUTFILERemove(const char* path) { _unlink(path); }

// Ctrl+C and Ctrl+Break reach a console program as SIGINT and SIGBREAK.
void OUTFILEHandleStopSignals(void (*handler)(int)) {
  for (int signal : {SIGINT, SIGBREAK, SIGTERM})
    if (std::signal(signal, handler) == SIG_IGN) std::signal(signal, SIG_IGN);
}
