#include <dirent.h>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "core/system.hpp"

void SYSTEMSetEnv(const char* name, const char* value) { setenv(name, value, 1); }

void SYSTEMUnsetEnv(const char* name) { unsetenv(name); }

std::string SYSTEMXServer() {
  const char* display = getenv("DISPLAY");
  return display != nullptr ? display : "";
}

int SYSTEMMakeFolder(const char* path) { return mkdir(path, 0777); }

bool SYSTEMIsFolder(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool SYSTEMFolderNames(const char* path, std::vector<std::string>* names) {
  DIR* dir = opendir(path);
  if (dir == nullptr) return false;
  while (const dirent* entry = readdir(dir)) names->push_back(entry->d_name);
  closedir(dir);
  return true;
}

int SYSTEMRemoveFolder(const char* path) { return rmdir(path); }

// POSIX arguments are bytes, UTF-8 in any current locale.
void SYSTEMUtf8Arguments(int*, char***) {}

std::string SYSTEMProgramName(const char* invokedAs) {
  const char* slash = strrchr(invokedAs, '/');
  return slash != nullptr ? slash + 1 : invokedAs;
}

namespace {

// ALSA's error printer, which writes nothing.
void SayNothing(const char*, int, const char*, int, const char*, ...) {}

std::string lostXServerLine;

extern "C" int EndWithoutXServer(void*) {
  // Nothing is left to tell when standard error has gone too.
  [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, lostXServerLine.data(), lostXServerLine.size());
  _exit(1);
}

}  // namespace

void SYSTEMEndWithXServer(const std::string& line) {
  using Handler = int (*)(void*);
  using SetHandler = Handler (*)(Handler);
  // The one libX11 of the process, loaded by SDL with the window; kept open.
  void* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
  if (x11 == nullptr) return;
  lostXServerLine = line + "\n";
  if (auto set = reinterpret_cast<SetHandler>(dlsym(x11, "XSetIOErrorHandler"))) set(EndWithoutXServer);
}

void SYSTEMQuietSoundLibrary() {
  using Printer = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetPrinter = int (*)(Printer);
  // The library SDL loads (or will load) for ALSA: the one instance a
  // process has, whether SDL links it or opens it later itself. Kept open,
  // so that the silent printer stays. Without ALSA there is nothing to do.
  void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_NOLOAD);
  if (alsa == nullptr) alsa = dlopen("libasound.so.2", RTLD_LAZY);
  if (alsa == nullptr) return;
  if (auto set = reinterpret_cast<SetPrinter>(dlsym(alsa, "snd_lib_error_set_handler"))) set(SayNothing);
}
