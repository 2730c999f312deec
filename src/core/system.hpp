// SYSTEM: the few calls whose form differs between POSIX systems and
// Windows; system_posix.cpp and system_windows.cpp give them.
#pragma once
#include <string>

// Sets an environment variable, replacing its value.
void SYSTEMSetEnv(const char* name, const char* value);
// Removes an environment variable.
void SYSTEMUnsetEnv(const char* name);
// Makes a folder that anyone may use (as the umask allows): 0 on success,
// else -1 with errno set, as mkdir.
int SYSTEMMakeFolder(const char* path);

// The name a program was started as, for its messages: without its folder,
// and on Windows without the .exe.
std::string SYSTEMProgramName(const char* invokedAs);

// Silences the messages the system's sound library prints itself, where
// it is already loaded (ALSA's, on a machine without a sound card): the
// program says in its own one line that it plays without sound.
void SYSTEMQuietSoundLibrary();
