#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "console.hpp"

bool CAPTUREIsTerminal(FILE* stream) { return isatty(fileno(stream)) != 0; }

void CAPTUREPrepareOutput() { signal(SIGPIPE, SIG_IGN); }

const char* CAPTUREStandardOutputName() { return "/dev/stdout"; }

std::string CAPTUREOwnProgram() { return "/proc/self/exe"; }

// Any name: /dev/stdout, /proc/self/fd/1, a link.
bool CAPTURELeadsToStandardOutput(const std::string& path) {
  struct stat out;
  struct stat named;
  return fstat(STDOUT_FILENO, &out) == 0 && stat(path.c_str(), &named) == 0 && out.st_dev == named.st_dev &&
         out.st_ino == named.st_ino;
}
