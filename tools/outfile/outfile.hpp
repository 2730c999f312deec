// A tool's output file, written so that nothing but a regular file is ever
// replaced and no half-written file takes the name.
//
// A name that leads (through any symbolic links) to a regular file, or to
// nothing yet, is written under a temporary name beside that real file,
// TARGET.XXXXXX.part (six characters of its own, the file created
// exclusively), and renamed over it only when complete. Runs that write the
// same name at once never share a temporary: the last to finish leaves its
// whole file, none a mixture. A name that leads to
// a device or a pipe is written straight through, as a shell redirection
// would, and its write errors are reported as they come. Every message
// names the file as the user gave it.
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>

struct OUTFILE {
  std::string name;    // as the user gave it, for messages
  std::string target;  // the regular file the name leads to
  std::string part;    // temporary beside the target; empty when straight through
  FILE* stream = nullptr;
};

// Each returns an empty text on success, else one plain line (without the
// program's name) saying what went wrong.
std::string OUTFILEOpen(OUTFILE* file, const std::string& name);
// For a file that must be rewound: a name that leads to a device or a pipe
// is refused with `refusal` before anything opens it (opening a pipe would
// wait for a reader).
std::string OUTFILEOpenFile(OUTFILE* file, const std::string& name, const std::string& refusal);
std::string OUTFILEWrite(OUTFILE* file, const void* data, size_t size);
// Flushes and closes; a temporary then takes the target's place.
std::string OUTFILECommit(OUTFILE* file);
// Closes and removes the temporary, leaving the target as it was.
void OUTFILEDiscard(OUTFILE* file);
// The message for the last failed operation on the file's stream.
std::string OUTFILEFailure(const OUTFILE* file, int error);

// True when a new file can be made in the folder, tried with a temporary
// of this run's own, created exclusively and removed again: a file, link
// or pipe already there under any name is never opened. Else errno says
// why not.
bool OUTFILECanCreateIn(const std::string& folder);

// Removes every temporary that is still open. Safe in a signal handler.
void OUTFILERemoveParts();
// On SIGINT, SIGTERM, SIGHUP and SIGQUIT: remove the temporaries, then end as the
// signal would have ended the program.
void OUTFILERemovePartsOnSignals();
