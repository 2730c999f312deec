#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "console.hpp"

// isatty is true for every character device, NUL included; only a console
// takes a console mode.
bool CAPTUREIsTerminal(FILE* stream) {
  DWORD mode = 0;
  return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), &mode) != 0;
}

// Text mode would turn every byte 10 of a frame into 13 10. A broken pipe
// is a failed write already.
void CAPTUREPrepareOutput() { _setmode(_fileno(stdout), _O_BINARY); }

// The C runtime's stat has no inode numbers: the volume and the file index
// tell files apart. A pipe or a console has neither, and is never a name.
bool CAPTURELeadsToStandardOutput(const std::string& path) {
  BY_HANDLE_FILE_INFORMATION out;
  BY_HANDLE_FILE_INFORMATION named;
  if (!GetFileInformationByHandle(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stdout))), &out)) return false;
  HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool same = GetFileInformationByHandle(file, &named) &&
                    named.dwVolumeSerialNumber == out.dwVolumeSerialNumber &&
                    named.nFileIndexHigh == out.nFileIndexHigh && named.nFileIndexLow == out.nFileIndexLow;
  CloseHandle(file);
  return same;
}
