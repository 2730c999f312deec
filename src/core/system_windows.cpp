#include <direct.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cwchar>

#include "core/system.hpp"
#include "core/system_windows.hpp"

std::wstring SYSTEMWide(const std::string& utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

std::string SYSTEMUtf8(const wchar_t* wide) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return {};
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), length, nullptr, nullptr);
  utf8.pop_back();
  return utf8;
}

void SYSTEMSetEnv(const char* name, const char* value) { _putenv_s(name, value); }

// An empty value removes the variable.
void SYSTEMUnsetEnv(const char* name) { _putenv_s(name, ""); }

// Windows folders have no mode bits.
int SYSTEMMakeFolder(const char* path) { return _wmkdir(SYSTEMWide(path).c_str()); }

bool SYSTEMIsFolder(const char* path) {
  const DWORD attributes = GetFileAttributesW(SYSTEMWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool SYSTEMFolderNames(const char* path, std::vector<std::string>* names) {
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(SYSTEMWide(std::string(path) + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : ENOENT;
    return false;
  }
  do names->push_back(SYSTEMUtf8(found.cFileName));
  while (FindNextFileW(search, &found));
  FindClose(search);
  return true;
}

int SYSTEMRemoveFolder(const char* path) { return _wrmdir(SYSTEMWide(path).c_str()); }

// The wide command line, split by the system's own rules, as UTF-8; kept
// for the program's whole run.
void SYSTEMUtf8Arguments(int* argc, char*** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return;
  static std::vector<std::string> texts;
  static std::vector<char*> pointers;
  texts.clear();
  for (int i = 0; i < count; ++i) texts.push_back(SYSTEMUtf8(wide[i]));
  LocalFree(wide);
  pointers.clear();
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  *argc = count;
  *argv = pointers.data();
}

// Either slash may part the folders; the extension's case varies.
std::string SYSTEMProgramName(const char* invokedAs) {
  std::string name = invokedAs;
  const size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  if (name.size() > 4) {
    std::string suffix = name.substr(name.size() - 4);
    for (char& c : suffix) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    if (suffix == ".exe") name.resize(name.size() - 4);
  }
  return name;
}

std::string SYSTEMXServer() { return {}; }

// Windows' windows go through no X server.
void SYSTEMEndWithXServer(const std::string&) {}

// The Windows sound layers print nothing of their own.
void SYSTEMQuietSoundLibrary() {}
