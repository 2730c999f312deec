#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "console.hpp"

// isatty is true for every character device, NUL included; only a console
// takes a console mode.
bool CAPTUREIsTerminal(FILE* stream) {
  DWORD mode = 0;
  return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), &mode) != 0;
}

// Text mode would turn every byte 10 of a frame into 13 10. A broken pipe
// is a failed write already.
void CAPTUREPrepareOutput() { _setmode(_fileno(stdout), _O_BINARY); }
