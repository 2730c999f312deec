#include <direct.h>

#include <cstdlib>

#include "core/system.hpp"

void SYSTEMSetEnv(const char* name, const char* value) { _putenv_s(name, value); }

// An empty value removes the variable.
void SYSTEMUnsetEnv(const char* name) { _putenv_s(name, ""); }

// Windows folders have no mode bits.
int SYSTEMMakeFolder(const char* path) { return _mkdir(path); }
