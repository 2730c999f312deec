// The file-system side of the output files, one form per system:
// outfile_posix.cpp follows symbolic links, keeps the replaced file's mode
// and holds the stop signals back around its changes; outfile_windows.cpp
// has no links, writes device names such as NUL straight through, and
// replaces a file with MoveFileEx. Calls that fail return null or false
// with errno set, unless they return the reason as text.
#pragma once
#include <cstdio>
#include <string>

// Given by outfile.cpp: the temporaries a signal handler removes, and the
// tag that makes a temporary's name this run's own.
bool OUTFILERememberPart(const std::string& part);
void OUTFILEForgetPart(const std::string& part);
std::string OUTFILEUniqueTag();

// Given by each system's file.
enum class OUTFILEKind { kNothing, kRegular, kFolder, kDevice };
// What a name leads to now: nothing yet, a regular file, a folder, or a
// device or a pipe. False with errno set when that cannot be told.
bool OUTFILELookUp(const std::string& name, OUTFILEKind* kind);
// Whether the user may write the regular file the name leads to.
bool OUTFILEMayWrite(const std::string& name);
// The name of the regular file (or of nothing yet) that `name` leads to.
bool OUTFILEFollowLinks(const std::string& name, std::string* target);
// Opens a device or a pipe for writing, as a shell redirection would.
FILE* OUTFILEOpenStraightThrough(const std::string& name);
// Creates TARGET.XXXXXX.part, a new regular file no other run can have
// opened (with the mode of the target when `replacing`), and remembers it.
FILE* OUTFILECreatePart(const std::string& target, bool replacing, std::string* part);
// Puts a complete temporary in the target's place, unless something other
// than a regular file has taken that name meanwhile; forgets it. Empty
// text on success, else the reason.
std::string OUTFILEReplaceTarget(const std::string& part, const std::string& target);
// Removes a temporary and forgets it.
void OUTFILERemovePart(const std::string& part);
// Removes a file. Safe in a signal handler.
void OUTFILERemoveFile(const char* path);
// Calls `handler` on the signals that stop the program, except those it
// was started to ignore.
void OUTFILEHandleStopSignals(void (*handler)(int));
