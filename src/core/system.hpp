// SYSTEM: the few calls whose form differs between POSIX systems and
// Windows; system_posix.cpp and system_windows.cpp give them.
//
// Every name of a file or folder is UTF-8 text on every system.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

// Sets an environment variable, replacing its value.
void SYSTEMSetEnv(const char* name, const char* value);
// Removes an environment variable.
void SYSTEMUnsetEnv(const char* name);
// Makes a folder that anyone may use (as the umask allows): 0 on success,
// else -1 with errno set, as mkdir.
int SYSTEMMakeFolder(const char* path);
// Whether `path` is a folder.
bool SYSTEMIsFolder(const char* path);
// The names in a folder; false with errno set when it cannot be read.
bool SYSTEMFolderNames(const char* path, std::vector<std::string>* names);
// rmdir for UTF-8 names.
int SYSTEMRemoveFolder(const char* path);
// Makes argv UTF-8 text (on Windows it comes in the ANSI code page, which
// cannot hold every name): the program's arguments from here on.
void SYSTEMUtf8Arguments(int* argc, char*** argv);

// The name a program was started as, for its messages: without its folder,
// and on Windows without the .exe.
std::string SYSTEMProgramName(const char* invokedAs);

// The X server the program's windows go to ($DISPLAY), or empty where
// there is none to name: not set, or a system whose windows go through no
// X server (Windows, even under an X-based layer that sets DISPLAY).
std::string SYSTEMXServer();

// From here on, a lost connection to the X server ends the program at
// once with `line` on standard error and status 1, where the X library is
// loaded (else nothing changes). Its own ending calls exit(), whose
// handlers then shut SDL down over the dead connection, which on the SDL
// 1.2 layer over SDL2 waits for ever, deaf to the stop signals.
void SYSTEMEndWithXServer(const std::string& line);

// Silences the messages the system's sound library prints itself, where
// it is already loaded (ALSA's, on a machine without a sound card): the
// program says in its own one line that it plays without sound.
void SYSTEMQuietSoundLibrary();
