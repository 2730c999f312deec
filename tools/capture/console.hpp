// The capture tool's standard streams, whose handling differs between
// systems: console_posix.cpp and console_windows.cpp.
#pragma once
#include <cstdio>
#include <string>

// True when the stream goes to a terminal that a person reads: progress is
// drawn in place there, and binary frames are refused.
bool CAPTUREIsTerminal(FILE* stream);
// Makes standard output carry binary frames byte for byte, and makes a
// reader that goes away show up as a failed write, not as a silent death.
void CAPTUREPrepareOutput();
// True when `path` leads to what standard output already is: the same
// file, device or pipe under any name.
bool CAPTURELeadsToStandardOutput(const std::string& path);
// The name --wav - stands for: a name of standard output that the output
// files write straight through.
const char* CAPTUREStandardOutputName();
// A name of this program's own file, to run it again.
std::string CAPTUREOwnProgram();
