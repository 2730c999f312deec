#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cctype>

#include "console.hpp"
#include "core/system_windows.hpp"

namespace {

HANDLE StandardOutputHandle() { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stdout))); }

// CON and CONOUT$ in any folder and with any extension: the console,
// which is standard output for anyone who writes there.
bool IsConsoleName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\:");
  std::string base = path.substr(slash == std::string::npos ? 0 : slash + 1);
  base = base.substr(0, base.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return base == "CON" || base == "CONOUT$";
}

}  // namespace

// isatty is true for every character device, NUL included; only a console
// takes a console mode.
bool CAPTUREIsTerminal(FILE* stream) {
  DWORD mode = 0;
  return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), &mode) != 0;
}

// Text mode would turn every byte 10 of a frame into 13 10. A broken pipe
// is a failed write already.
void CAPTUREPrepareOutput() { _setmode(_fileno(stdout), _O_BINARY); }

// "-" and the console's names, or a file that is standard output: the C
// runtime's stat has no inode numbers, the volume and the file index tell
// files apart. A pipe has neither, and is never a name.
bool CAPTURELeadsToStandardOutput(const std::string& path) {
  if (path == CAPTUREStandardOutputName() || IsConsoleName(path)) return true;
  BY_HANDLE_FILE_INFORMATION out;
  BY_HANDLE_FILE_INFORMATION named;
  if (!GetFileInformationByHandle(StandardOutputHandle(), &out)) return false;
  HANDLE file = CreateFileW(SYSTEMWide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool same = GetFileInformationByHandle(file, &named) &&
                    named.dwVolumeSerialNumber == out.dwVolumeSerialNumber &&
                    named.nFileIndexHigh == out.nFileIndexHigh && named.nFileIndexLow == out.nFileIndexLow;
  CloseHandle(file);
  return same;
}

// Standard output to the outputs: written straight through.
const char* CAPTUREStandardOutputName() { return "-"; }

std::string CAPTUREOwnProgram() {
  wchar_t path[MAX_PATH * 2];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  return length > 0 && length < MAX_PATH * 2 ? SYSTEMUtf8(path) : "torvelin-capture.exe";
}
