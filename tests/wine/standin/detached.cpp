// Starts a program as a double-click in the file manager does: with no
// console and no standard streams. Waits for it and ends with its status.
//   detached.exe PROGRAM.exe [ARGUMENTS...]
// Built as a windowed program itself, it has no console to hand down.
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  std::wstring line;
  for (int i = 1; i < argc; ++i) line += std::wstring(i > 1 ? L" \"" : L"\"") + argv[i] + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(argv[1], line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr, &startup,
                      &info))
    return 3;
  WaitForSingleObject(info.hProcess, INFINITE);
  DWORD status = 1;
  GetExitCodeProcess(info.hProcess, &status);
  return static_cast<int>(status);
}
