// The file-system side of the output files, one form per system:
// outfile_posix.cpp follows symbolic links, keeps the replaced file's mode
// and catches signals with sigaction; outfile_windows.cpp has no links,
// writes device names such as NUL straight through, and replaces a file
// with MoveFileEx. Each returns an empty text on success, else the reason.
#pragma once
#include <cstdio>
#include <string>

enum class OUTFILEKind { kNothing, kRegular, kFolder, kDevice };

// What a name leads to now: nothing yet, a regular file, a folder, or a
// device or a pipe.
std::string OUTFILELookUp(const std::string& name, OUTFILEKind* kind);
// Whether the user may write the regular file the name leads to.
std::string OUTFILEMayReplace(const std::string& name);
// The name of the regular file (or of nothing yet) that `name` leads to.
std::string OUTFILEResolve(const std::string& name, std::string* target);
// Opens a device or a pipe for writing, as a shell redirection would.
std::string OUTFILEOpenDevice(const std::string& name, FILE** stream);
// Creates the temporary `part` as a regular file of ours and opens it;
// `replaced`, when not empty, is the file whose mode it takes. What it
// fails to open is removed, what is in the way left alone.
std::string OUTFILECreatePart(const std::string& part, const std::string& replaced, FILE** stream);
// Puts the complete temporary in the target's place, unless something
// other than a regular file has taken that name meanwhile.
std::string OUTFILEReplace(const std::string& part, const std::string& target);
// Removes a file. Safe in a signal handler.
void OUTFILERemove(const char* path);
// Calls `handler` on the signals that stop the program, except those it
// was started to ignore.
void OUTFILEHandleStopSignals(void (*handler)(int));
