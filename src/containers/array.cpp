#include "containers/array.hpp"

#include <cstdlib>
#include <cstring>
#include <limits>

#include "core/identification.hpp"
#include "core/report.hpp"

namespace {

[[gnu::used]] constexpr Identification kIdentification{
    "CODE", "C", "TORVELIN", "20101011", "ARRAY   "};

constexpr int32_t kInitialCapacity = 2;

void** AllocSlots(int32_t count) {
  return static_cast<void**>(std::calloc(static_cast<size_t>(count), sizeof(void*)));
}

// Grows until the block holds at least `needed` slots; false (array unchanged
// in content) when the block cannot be made that large.
bool GrowTo(ARRAY* a, int64_t needed) {
  while (a->capacity < needed) {
    if (!ARRAYGrow(a)) return false;
  }
  return true;
}

}  // namespace

bool ARRAYDiagnostics = false;

void ARRAYError() {
  REPORTError(ARRAYDiagnostics, "ARRAY error\n");
}

ARRAY* ARRAYNew() {
  auto* a = static_cast<ARRAY*>(std::calloc(1, sizeof(ARRAY)));
  if (a == nullptr) return nullptr;
  a->slots = AllocSlots(kInitialCapacity);
  if (a->slots == nullptr) {
    std::free(a);
    return nullptr;
  }
  a->capacity = kInitialCapacity;
  return a;
}

void ARRAYFree(ARRAY** ref) {
  if (ref == nullptr || *ref == nullptr) {
    ARRAYError();
    return;
  }
  std::free((*ref)->slots);
  std::free(*ref);
  *ref = nullptr;
}

char* ARRAYToASCII(const ARRAY* a) {
  if (a == nullptr) ARRAYError();
  return nullptr;
}

ARRAY* ARRAYFromASCII(const char* text) {
  if (text == nullptr) ARRAYError();
  return nullptr;
}

bool ARRAYEqual(const ARRAY* a, const ARRAY* b) {
  if (a == b) return true;
  if (a == nullptr || b == nullptr) return false;
  if (a->count != b->count) return false;
  for (int32_t i = 0; i < a->count; ++i) {
    if (a->slots[i] != b->slots[i]) return false;
  }
  return true;
}

ARRAY* ARRAYClone(const ARRAY* a) {
  if (a == nullptr) {
    ARRAYError();
    return nullptr;
  }
  ARRAY* copy = ARRAYNew();
  if (copy == nullptr) return nullptr;
  if (!GrowTo(copy, a->count)) {
    ARRAYFree(&copy);
    return nullptr;
  }
  for (int32_t i = 0; i < a->count; ++i) ARRAYPush(copy, a->slots[i]);
  return copy;
}

bool ARRAYGrow(ARRAY* a) {
  if (a == nullptr || a->capacity > std::numeric_limits<int32_t>::max() / 2) {
    ARRAYError();
    return false;
  }
  const int32_t grown = a->capacity * 2;
  void** block = AllocSlots(grown);
  if (block == nullptr) {
    ARRAYError();
    return false;
  }
  for (int32_t i = a->count - 1; i >= 0; --i) block[i] = a->slots[i];
  std::free(a->slots);
  a->slots = block;
  a->capacity = grown;
  return true;
}

void ARRAYPush(ARRAY* a, void* item) {
  if (a == nullptr) {
    ARRAYError();
    return;
  }
  if (a->count == a->capacity && !ARRAYGrow(a)) return;
  a->slots[a->count++] = item;
}

void* ARRAYPop(ARRAY* a) {
  if (a == nullptr || a->count <= 0) {
    ARRAYError();
    return nullptr;
  }
  return a->slots[--a->count];
}

void ARRAYInsert(ARRAY* a, void* item, int index) {
  if (a == nullptr || index < 0 || index > a->count) {
    ARRAYError();
    return;
  }
  if (!GrowTo(a, static_cast<int64_t>(a->count) + 1)) return;
  for (int32_t i = a->count; i > index; --i) a->slots[i] = a->slots[i - 1];
  a->slots[index] = item;
  ++a->count;
}

void ARRAYRemove(ARRAY* a, int index) {
  if (a == nullptr || index < 0 || index >= a->count) {
    ARRAYError();
    return;
  }
  for (int32_t i = index; i < a->count - 1; ++i) a->slots[i] = a->slots[i + 1];
  a->slots[a->count - 1] = nullptr;
  --a->count;
}

void* ARRAYGet(const ARRAY* a, int index) {
  if (a == nullptr || index < 0 || index >= a->count) {
    ARRAYError();
    return nullptr;
  }
  return a->slots[index];
}

void ARRAYSet(ARRAY* a, void* item, int index) {
  if (a == nullptr || index < 0 || index >= a->count) {
    ARRAYError();
    return;
  }
  a->slots[index] = item;
}

int ARRAYFind(const ARRAY* a, const void* item) {
  if (a == nullptr || item == nullptr) {
    ARRAYError();
    return -1;
  }
  for (int32_t i = 0; i < a->count; ++i) {
    if (a->slots[i] == item) return i;
  }
  return -1;
}

ARRAY* ARRAYSlice(const ARRAY* a, int from, int to) {
  if (a == nullptr || from < 0 || from >= to || to > a->count) {
    ARRAYError();
    return nullptr;
  }
  ARRAY* slice = ARRAYNew();
  if (slice == nullptr) return nullptr;
  if (!GrowTo(slice, to - from)) {
    ARRAYFree(&slice);
    return nullptr;
  }
  for (int i = from; i < to; ++i) ARRAYPush(slice, a->slots[i]);
  return slice;
}

void ARRAYRemoveRange(ARRAY* a, int from, int to) {
  if (a == nullptr || from < 0 || from >= to || to > a->count) {
    ARRAYError();
    return;
  }
  const int32_t removed = to - from;
  for (int32_t i = to; i < a->count; ++i) a->slots[i - removed] = a->slots[i];
  a->count -= removed;
}

void ARRAYInsertRange(const ARRAY* source, ARRAY* destination, int from, int to, int at) {
  if (source == nullptr || destination == nullptr || from < 0 || from >= to ||
      to > source->count || at < 0 || at > destination->count) {
    ARRAYError();
    return;
  }
  const int32_t n = to - from;
  // Inserting an array into itself: take the items before the block moves.
  void** items = source->slots + from;
  void** snapshot = nullptr;
  if (source == destination) {
    snapshot = AllocSlots(n);
    if (snapshot == nullptr) {
      ARRAYError();
      return;
    }
    std::memcpy(snapshot, items, static_cast<size_t>(n) * sizeof(void*));
    items = snapshot;
  }
  if (GrowTo(destination, static_cast<int64_t>(destination->count) + n)) {
    for (int32_t i = destination->count - 1; i >= at; --i) destination->slots[i + n] = destination->slots[i];
    for (int32_t i = n - 1; i >= 0; --i) destination->slots[at + i] = items[i];
    destination->count += n;
  }
  std::free(snapshot);
}
