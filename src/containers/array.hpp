// ARRAY: an ordered, growable sequence of untyped pointers. It never looks at,
// copies or releases what the pointers point to. Serves as list and as a
// first-in, first-out queue (push at the end, get and remove at index 0).
#pragma once
#include <cstdint>

struct ARRAY {
  int32_t capacity;
  int32_t count;
  void** slots;
};

ARRAY* ARRAYNew();
void ARRAYFree(ARRAY** ref);
char* ARRAYToASCII(const ARRAY* a);
ARRAY* ARRAYFromASCII(const char* text);
bool ARRAYEqual(const ARRAY* a, const ARRAY* b);
ARRAY* ARRAYClone(const ARRAY* a);

void ARRAYPush(ARRAY* a, void* item);
void* ARRAYPop(ARRAY* a);
void ARRAYInsert(ARRAY* a, void* item, int index);
void ARRAYRemove(ARRAY* a, int index);
void* ARRAYGet(const ARRAY* a, int index);
void ARRAYSet(ARRAY* a, void* item, int index);
int ARRAYFind(const ARRAY* a, const void* item);
ARRAY* ARRAYSlice(const ARRAY* a, int from, int to);
void ARRAYRemoveRange(ARRAY* a, int from, int to);
void ARRAYInsertRange(const ARRAY* source, ARRAY* destination, int from, int to, int at);
bool ARRAYGrow(ARRAY* a);

// Prints "ARRAY error\n" when the diagnostics switch is on.
void ARRAYError();
// The diagnostics switch; off at start-up.
extern bool ARRAYDiagnostics;
