#include <windows.h>

#include <cstdio>

#include "platform/alert.hpp"

void ALERTStartFailure(const char* line) {
  fprintf(stderr, "%s\n", line);
  fflush(stderr);
  MessageBoxA(nullptr, line, "TORVELIN", MB_OK | MB_ICONERROR);
}
