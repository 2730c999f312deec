// The child processes behind --video and the files they share, whose form
// differs between systems: video_posix.cpp starts them with posix_spawn
// and hands descriptors by number (a child reads /dev/fd/3, writes
// /dev/fd/4); video_windows.cpp starts them with CreateProcessW, hands
// only the standard streams, and names the files instead. Descriptors are
// the C runtime's on both.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "outfile.hpp"

// A running child: a process id or a process handle.
using VIDEOChild = intptr_t;
constexpr VIDEOChild VIDEONoChild = -1;

// A file of the capture's own for what a child writes and is read back,
// or for what a child reads: read and written through `fd`, gone once
// closed. `name` is how a child opens it when it is handed as
// VIDEOStreams::input.
struct VIDEOScratch {
  int fd = -1;
  std::string name;
};
// False with errno set.
bool VIDEOOpenScratch(VIDEOScratch* scratch);
void VIDEOCloseScratch(VIDEOScratch* scratch);

// A pipe, ends[0] to read and ends[1] to write, that no child inherits
// unless it is handed. False with errno set.
bool VIDEOPipe(int ends[2]);

// What a child gets: its standard input (-1: an empty one), output and
// error as descriptors, a scratch file it reads by its name, and the
// output file it writes by the name VIDEOOutputName gives.
struct VIDEOStreams {
  int in = -1;
  int out = -1;
  int err = -1;
  const VIDEOScratch* input = nullptr;
  const OUTFILE* output = nullptr;
};
std::string VIDEOOutputName(const OUTFILE& file);

// Starts `program` with the arguments; VIDEONoChild with errno set when
// it cannot.
VIDEOChild VIDEOStart(const std::string& program, const std::vector<std::string>& args, const VIDEOStreams& streams);
// Waits for the child to end: its exit status, or minus the signal that
// ended it.
int VIDEOWait(VIDEOChild child);
// Ends the child at once and waits for it.
void VIDEOKill(VIDEOChild child);
