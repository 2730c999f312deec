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
