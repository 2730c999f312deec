#include <windows.h>

#include <cstdio>
#include <string>

#include "core/system_windows.hpp"
#include "platform/alert.hpp"

namespace {

// A windowed program's standard output leads nowhere unless its starter
// redirected it.
bool LeadsSomewhere(HANDLE stream) {
  return stream != nullptr && stream != INVALID_HANDLE_VALUE && GetFileType(stream) != FILE_TYPE_UNKNOWN;
}

// The console of the command prompt that started the program, if any.
bool WriteToParentConsole(const std::string& text) {
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
  const HANDLE console =
      CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  bool written = false;
  if (console != INVALID_HANDLE_VALUE) {
    std::string lines;
    for (char c : text) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::wstring wide = SYSTEMWide(lines);
    DWORD count = 0;
    written = WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &count, nullptr) != 0;
    CloseHandle(console);
  }
  FreeConsole();
  return written;
}

}  // namespace

void ALERTStartFailure(const char* line) {
  fprintf(stderr, "%s\n", line);
  fflush(stderr);
  MessageBoxW(nullptr, SYSTEMWide(line).c_str(), L"TORVELIN", MB_OK | MB_ICONERROR);
}

void ALERTAnswer(const char* text) {
  if (LeadsSomewhere(GetStdHandle(STD_OUTPUT_HANDLE))) {
    fputs(text, stdout);
    fflush(stdout);
    return;
  }
  if (WriteToParentConsole(text)) return;
  MessageBoxW(nullptr, SYSTEMWide(text).c_str(), L"TORVELIN", MB_OK | MB_ICONINFORMATION);
}
