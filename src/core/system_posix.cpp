#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

#include "core/system.hpp"

void SYSTEMSetEnv(const char* name, const char* value) { setenv(name, value, 1); }

void SYSTEMUnsetEnv(const char* name) { unsetenv(name); }

int SYSTEMMakeFolder(const char* path) { return mkdir(path, 0777); }

std::string SYSTEMProgramName(const char* invokedAs) {
  const char* slash = strrchr(invokedAs, '/');
  return slash != nullptr ? slash + 1 : invokedAs;
}

namespace {

// ALSA's error printer, which writes nothing.
void SayNothing(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

// Looked up, never linked: a program without ALSA loaded has nothing to
// silence.
void SYSTEMQuietSoundLibrary() {
  using Printer = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetPrinter = int (*)(Printer);
  if (auto set = reinterpret_cast<SetPrinter>(dlsym(RTLD_DEFAULT, "snd_lib_error_set_handler"))) set(SayNothing);
}
