#include <direct.h>

#include <cctype>
#include <cstdlib>

#include "core/system.hpp"

void SYSTEMSetEnv(const char* name, const char* value) { _putenv_s(name, value); }

// An empty value removes the variable.
void SYSTEMUnsetEnv(const char* name) { _putenv_s(name, ""); }

// Windows folders have no mode bits.
int SYSTEMMakeFolder(const char* path) { return _mkdir(path); }

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

// The Windows sound layers print nothing of their own.
void SYSTEMQuietSoundLibrary() {}
