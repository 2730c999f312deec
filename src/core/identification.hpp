// Every module carries one of these: texts that nothing reads, kept so that
// a program says which modules, of which date, it was built from. Each
// record is declared [[gnu::used]], so the optimizer keeps it and its texts
// even though no code refers to them.
#pragma once

struct Identification {
  const char* kind;      // "CODE", or "PROGRAM" for the main module
  const char* language;  // "C", or "C SDL" for the display
  const char* author;
  const char* date;      // yyyymmdd
  const char* name;      // the module's name padded to 8 characters
};
