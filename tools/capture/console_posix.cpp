#include <unistd.h>

#include <csignal>

#include "console.hpp"

bool CAPTUREIsTerminal(FILE* stream) { return isatty(fileno(stream)) != 0; }

void CAPTUREPrepareOutput() { signal(SIGPIPE, SIG_IGN); }
