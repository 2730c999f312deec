#include "audio/sample.hpp"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include "audio/sample_file.hpp"
#include "core/identification.hpp"
#include "core/report.hpp"

namespace {

[[gnu::used]] constexpr Identification kIdentification{
    "CODE", "C", "TORVELIN", "20261207", "SAMPLE  "};

constexpr bool kDiagnostics = false;
constexpr int kNewCapacity = 32;
constexpr int kReadCapacity = 1024;
constexpr int32_t kMaxLength = std::numeric_limits<int32_t>::max();

bool HasBlock(const SAMPLE* s) { return s != nullptr && s->values != nullptr; }

int32_t* AllocValues(int n) {
  return static_cast<int32_t*>(std::calloc(static_cast<size_t>(n), sizeof(int32_t)));
}

// Wrapping arithmetic without signed overflow.
int32_t Wrap(uint32_t v) { return static_cast<int32_t>(v); }
uint32_t U(int32_t v) { return static_cast<uint32_t>(v); }

// Replaces the block by `block` holding `length` values.
void TakeBlock(SAMPLE* s, int32_t* block, int length) {
  std::free(s->values);
  s->values = block;
  s->capacity = length;
}

// Builds the rotated block: value i takes the old value (i - n) mod length.
void Rotate(SAMPLE* s, int n) {
  if (!HasBlock(s) || s->length <= 0) {
    if (s == nullptr) SAMPLEError();
    return;
  }
  const int length = s->length;
  n %= length;
  if (n < 0) n += length;
  if (n == 0) return;
  SAMPLE rotated{length, length, AllocValues(length)};
  if (rotated.values == nullptr) {
    SAMPLEError();
    return;
  }
  SAMPLECopyRange(s, &rotated, length - n, 0, n);
  SAMPLECopyRange(s, &rotated, n, length - n, 0);
  TakeBlock(s, rotated.values, length);
}

SAMPLE* NewWithLength(int n) {
  SAMPLE* s = SAMPLENew();
  if (s == nullptr) return nullptr;
  if (n > 0) {
    SAMPLEReserve(s, n);
    if (s->capacity != n) {
      SAMPLEFree(&s);
      return nullptr;
    }
  }
  s->length = n;
  return s;
}

// Appends while reading raw data: capacity starts at 1024 and doubles.
bool Append(SAMPLE* s, int32_t value) {
  if (s->length == s->capacity) {
    if (s->capacity > kMaxLength / 2) return false;
    const int wanted = s->capacity * 2;
    SAMPLEReserve(s, wanted);
    if (s->capacity != wanted) return false;
  }
  s->values[s->length++] = value;
  return true;
}

// Turns raw bytes into values; keeps an odd trailing byte of 16-bit data in
// `carry` so that data may arrive in pieces.
struct RawDecoder {
  int width;
  bool bigEndian;
  bool isSigned;
  int carry = -1;

  int32_t Byte8(uint8_t b) const {
    return isSigned ? static_cast<int32_t>(static_cast<int8_t>(b)) * 256 : b * 256 - 32768;
  }
  int32_t Word16(uint8_t first, uint8_t second) const {
    const unsigned word = bigEndian ? (first << 8 | second) : (second << 8 | first);
    return isSigned ? static_cast<int32_t>(static_cast<int16_t>(word)) : static_cast<int32_t>(word) - 32768;
  }
  bool Feed(SAMPLE* s, const uint8_t* data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
      if (width == 8) {
        if (!Append(s, Byte8(data[i]))) return false;
      } else if (carry < 0) {
        carry = data[i];
      } else {
        if (!Append(s, Word16(static_cast<uint8_t>(carry), data[i]))) return false;
        carry = -1;
      }
    }
    return true;
  }
};

bool ValidReadArguments(int width, char order, char sign) {
  return (width == 8 || width == 16) && (order == 'b' || order == 'l') && (sign == 's' || sign == 'u');
}

SAMPLE* NewReadBuffer() {
  SAMPLE* s = SAMPLENew();
  if (s == nullptr) return nullptr;
  SAMPLEReserve(s, kReadCapacity);
  if (s->capacity != kReadCapacity) SAMPLEFree(&s);
  return s;
}

// Clamp range and byte count of one written value.
struct WriteFormat {
  int bytes;
  int64_t lo;
  int64_t hi;
};

WriteFormat FormatFor(int width) {
  switch (width) {
    case 8: return {1, -128, 127};
    case 24: return {3, -8388608, 8388607};
    case 32: return {4, -2147483647, 2147483647};
    default: return {2, -32768, 32767};
  }
}

using FilePtr = std::unique_ptr<FILE, int (*)(FILE*)>;

FilePtr Open(const char* path, const char* mode) { return {std::fopen(path, mode), &std::fclose}; }

// Reads an unsigned decimal run into `out`; false when it does not fit.
bool ParseDigits(const char*& p, int64_t limit, int64_t& out) {
  out = 0;
  while (std::isdigit(static_cast<unsigned char>(*p))) {
    out = out * 10 + (*p - '0');
    if (out > limit) return false;
    ++p;
  }
  return true;
}

}  // namespace

void SAMPLEError() {
  REPORTError(kDiagnostics, "SAMPLE error\n");
}

SAMPLE* SAMPLENew() {
  auto* s = static_cast<SAMPLE*>(std::calloc(1, sizeof(SAMPLE)));
  if (s == nullptr) return nullptr;
  SAMPLEReserve(s, kNewCapacity);
  if (s->values == nullptr) {
    std::free(s);
    return nullptr;
  }
  return s;
}

void SAMPLEFree(SAMPLE** ref) {
  if (ref == nullptr || *ref == nullptr) {
    SAMPLEError();
    return;
  }
  std::free((*ref)->values);
  std::free(*ref);
  *ref = nullptr;
}

void SAMPLEReserve(SAMPLE* s, int n) {
  if (s == nullptr || n < 1) {
    SAMPLEError();
    return;
  }
  int32_t* block = AllocValues(n);
  if (block == nullptr) {
    SAMPLEError();
    return;
  }
  if (s->length > n) s->length = n;
  if (s->values != nullptr && s->length > 0) {
    std::memcpy(block, s->values, static_cast<size_t>(s->length) * sizeof(int32_t));
  }
  TakeBlock(s, block, n);
}

void SAMPLESetLength(SAMPLE* s, int n) {
  if (s == nullptr || n < 0) {
    SAMPLEError();
    return;
  }
  if (n > s->capacity || (n > 0 && s->values == nullptr)) {
    SAMPLEReserve(s, n);
    if (s->capacity < n || s->values == nullptr) return;
  }
  s->length = n;
}

void SAMPLEClear(SAMPLE* s) {
  if (!HasBlock(s)) {
    SAMPLEError();
    return;
  }
  std::fill_n(s->values, s->length, 0);
}

int32_t SAMPLEGet(const SAMPLE* s, int index) {
  if (!HasBlock(s) || index < 0 || index >= s->length) return 0;
  return s->values[index];
}

int32_t SAMPLESet(SAMPLE* s, int32_t value, int index) {
  if (!HasBlock(s) || index < 0 || index >= s->length) {
    SAMPLEError();
    return 0;
  }
  s->values[index] = value;
  return value;
}

void SAMPLECopyRange(const SAMPLE* source, SAMPLE* destination, int count, int from, int to) {
  if (!HasBlock(source) || !HasBlock(destination) || from < 0 || to < 0 ||
      static_cast<int64_t>(from) + count > source->length ||
      static_cast<int64_t>(to) + count > destination->length) {
    SAMPLEError();
    return;
  }
  if (count <= 0) return;
  // memmove handles the overlapping move inside one buffer in either direction.
  std::memmove(destination->values + to, source->values + from, static_cast<size_t>(count) * sizeof(int32_t));
}

void SAMPLEAdd(SAMPLE* s, const SAMPLE* other) {
  if (!HasBlock(s) || !HasBlock(other)) {
    SAMPLEError();
    return;
  }
  const int n = std::min(s->length, other->length);
  int32_t* out = s->values;
  const int32_t* in = other->values;
  for (int i = 0; i < n; ++i) out[i] = Wrap(U(out[i]) + U(in[i]));
}

void SAMPLEShiftLeft(SAMPLE* s, int n) {
  if (!HasBlock(s) || n < 0 || n > 32) {
    SAMPLEError();
    return;
  }
  int32_t* v = s->values;
  if (n == 32) {
    std::fill_n(v, s->length, 0);
    return;
  }
  for (int i = 0; i < s->length; ++i) v[i] = Wrap(U(v[i]) << n);
}

void SAMPLEShiftRight(SAMPLE* s, int n) {
  if (!HasBlock(s) || n < 0 || n > 32) {
    SAMPLEError();
    return;
  }
  const int shift = std::min(n, 31);  // 32 places leave only the sign
  int32_t* v = s->values;
  for (int i = 0; i < s->length; ++i) v[i] >>= shift;
}

void SAMPLERotateRight(SAMPLE* s, int n) { Rotate(s, n); }

void SAMPLERotateLeft(SAMPLE* s, int n) {
  if (!HasBlock(s) || s->length <= 0) {
    if (s == nullptr) SAMPLEError();
    return;
  }
  Rotate(s, s->length - n % s->length);
}

void SAMPLEMultiply(SAMPLE* s, int32_t factor) {
  if (!HasBlock(s)) {
    SAMPLEError();
    return;
  }
  for (int i = 0; i < s->length; ++i) s->values[i] = Wrap(U(s->values[i]) * U(factor));
}

void SAMPLEModulate(SAMPLE* s, const SAMPLE* other) {
  if (!HasBlock(s) || !HasBlock(other)) {
    SAMPLEError();
    return;
  }
  const int n = std::min(s->length, other->length);
  for (int i = 0; i < n; ++i) s->values[i] = Wrap(U(s->values[i]) * U(other->values[i]));
}

void SAMPLEScaleRange(SAMPLE* s, int32_t lo, int32_t hi) {
  if (!HasBlock(s)) {
    SAMPLEError();
    return;
  }
  if (s->length == 0) return;
  const int64_t min = SAMPLEMin(s);
  const int64_t max = SAMPLEMax(s);
  if (max == min) {
    std::fill_n(s->values, s->length, lo);
    return;
  }
  // 64-bit intermediates: the 16.16 factor times a 32-bit span would not fit
  // in 32 bits, but offset * k never exceeds (hi - lo) * 65536. A span too
  // wide for the factor gives k = 0, and every value becomes lo.
  const int64_t k = ((static_cast<int64_t>(hi) - lo) * 65536) / (max - min);
  for (int i = 0; i < s->length; ++i) {
    const int64_t offset = s->values[i] - min;
    s->values[i] = static_cast<int32_t>(lo + ((offset * k) >> 16));
  }
}

void SAMPLEReverse(SAMPLE* s) {
  if (!HasBlock(s)) {
    SAMPLEError();
    return;
  }
  std::reverse(s->values, s->values + s->length);
}

void SAMPLEResample(SAMPLE* s, int n) {
  if (!HasBlock(s) || n <= 0 || n == s->length || s->length == 0) {
    SAMPLEError();
    return;
  }
  const int64_t length = s->length;
  int32_t* block = AllocValues(n);
  if (block == nullptr) {
    SAMPLEError();
    return;
  }
  if (n > length) {
    int64_t error = length - n;
    int64_t j = 0;
    for (int i = 0; i < n; ++i) {
      if (error > 0) {
        error -= n;
        ++j;
      }
      block[i] = s->values[j];
      error += length;
    }
  } else {
    // Shortening keeps evenly spaced source values, in order.
    for (int64_t i = 0; i < n; ++i) block[i] = s->values[i * length / n];
  }
  TakeBlock(s, block, n);
  s->length = n;
}

char* SAMPLEToASCII(const SAMPLE* s) {
  if (!HasBlock(s)) {
    SAMPLEError();
    return nullptr;
  }
  if (s->length == 0) {
    char* empty = static_cast<char*>(std::malloc(sizeof("SAMPLE{}\n")));
    if (empty != nullptr) std::memcpy(empty, "SAMPLE{}\n", sizeof("SAMPLE{}\n"));
    return empty;
  }
  // "-2147483648\n" is the longest value line.
  const size_t size = 32 + static_cast<size_t>(s->length) * 12;
  char* text = static_cast<char*>(std::malloc(size));
  if (text == nullptr) return nullptr;
  size_t used = static_cast<size_t>(std::snprintf(text, size, "SAMPLE{%ld\n", static_cast<long>(s->length)));
  for (int i = 0; i < s->length; ++i) {
    used += static_cast<size_t>(std::snprintf(text + used, size - used, "%ld\n", static_cast<long>(s->values[i])));
  }
  std::snprintf(text + used, size - used, "}\n");
  return text;
}

SAMPLE* SAMPLEFromASCII(const char* text) {
  if (text == nullptr) {
    SAMPLEError();
    return nullptr;
  }
  const char* keyword = std::strstr(text, "SAMPLE");
  const char* p = keyword ? std::strchr(keyword, '{') : nullptr;
  if (p == nullptr) return nullptr;
  ++p;
  if (*p == '}') return SAMPLENew();
  while (*p != '\0' && *p != '}' && !std::isdigit(static_cast<unsigned char>(*p))) ++p;
  if (!std::isdigit(static_cast<unsigned char>(*p))) return nullptr;
  // Every value takes at least one character, so a count beyond the rest of
  // the text can only be a truncated or forged one.
  int64_t count = 0;
  if (!ParseDigits(p, static_cast<int64_t>(std::strlen(p)), count)) return nullptr;
  SAMPLE* s = NewWithLength(static_cast<int>(count));
  if (s == nullptr) return nullptr;
  for (int64_t i = 0; i < count; ++i) {
    // A value is an optional minus sign and a run of digits; a lone minus
    // sign has an empty run and reads as 0.
    while (*p != '\0' && *p != '-' && !std::isdigit(static_cast<unsigned char>(*p))) ++p;
    if (*p == '\0') {
      SAMPLEFree(&s);
      return nullptr;
    }
    const bool negative = *p == '-';
    if (negative) ++p;
    int64_t magnitude = 0;
    if (!ParseDigits(p, int64_t{1} << 31, magnitude) || (!negative && magnitude > kMaxLength)) {
      SAMPLEFree(&s);
      return nullptr;
    }
    s->values[i] = static_cast<int32_t>(negative ? -magnitude : magnitude);
  }
  return s;
}

bool SAMPLEEqual(const SAMPLE* a, const SAMPLE* b) {
  if (!HasBlock(a) || !HasBlock(b) || a->length != b->length) return false;
  return std::equal(a->values, a->values + a->length, b->values);
}

SAMPLE* SAMPLEClone(const SAMPLE* s) {
  if (!HasBlock(s)) {
    SAMPLEError();
    return nullptr;
  }
  SAMPLE* copy = NewWithLength(s->length);
  if (copy != nullptr) SAMPLECopyRange(s, copy, s->length, 0, 0);
  return copy;
}

void SAMPLECopy(const SAMPLE* source, SAMPLE* destination) {
  if (!HasBlock(source) || destination == nullptr || source == destination) {
    if (source != destination) SAMPLEError();
    return;
  }
  SAMPLESetLength(destination, source->length);
  if (destination->length == source->length) SAMPLECopyRange(source, destination, source->length, 0, 0);
}

void SAMPLEInsert(SAMPLE* s, const SAMPLE* other, int at) {
  if (!HasBlock(s) || !HasBlock(other) || at < 0 || at > s->length ||
      static_cast<int64_t>(s->length) + other->length > kMaxLength) {
    SAMPLEError();
    return;
  }
  const int inserted = other->length;
  if (inserted == 0) return;
  // Inserting a buffer into itself: copy it first, the block is about to move.
  SAMPLE* snapshot = (s == other) ? SAMPLEClone(other) : nullptr;
  if (s == other && snapshot == nullptr) return;
  const SAMPLE* source = snapshot ? snapshot : other;
  const int oldLength = s->length;
  const int total = oldLength + inserted;
  SAMPLEReserve(s, total);
  if (s->capacity == total) {
    s->length = total;
    SAMPLECopyRange(s, s, oldLength - at, at, at + inserted);
    SAMPLECopyRange(source, s, inserted, 0, at);
  }
  if (snapshot) SAMPLEFree(&snapshot);
}

SAMPLE* SAMPLESlice(const SAMPLE* s, int from, int to) {
  if (!HasBlock(s) || to < from) {
    SAMPLEError();
    return nullptr;
  }
  to = std::min(to, s->length);
  from = std::max(from, 0);
  if (to < from) to = from;
  SAMPLE* slice = NewWithLength(to - from);
  if (slice != nullptr) SAMPLECopyRange(s, slice, to - from, from, 0);
  return slice;
}

int32_t SAMPLEInsertValue(SAMPLE* s, int32_t value, int index) {
  if (!HasBlock(s) || index < 0 || index > s->length || s->length == kMaxLength) {
    SAMPLEError();
    return 0;
  }
  if (s->length >= s->capacity) {
    const int wanted = s->capacity > kMaxLength / 2 ? kMaxLength : std::max(1, s->capacity * 2);
    SAMPLEReserve(s, wanted);
    if (s->capacity != wanted) return 0;
  }
  ++s->length;
  SAMPLECopyRange(s, s, s->length - 1 - index, index, index + 1);
  s->values[index] = value;
  return value;
}

void SAMPLERemoveAt(SAMPLE* s, int index) {
  if (!HasBlock(s) || index < 0 || index >= s->length) {
    SAMPLEError();
    return;
  }
  SAMPLECopyRange(s, s, s->length - 1 - index, index + 1, index);
  --s->length;
}

int SAMPLEFind(const SAMPLE* s, int32_t value, int from) {
  if (!HasBlock(s) || from < 0 || from >= s->length) {
    SAMPLEError();
    return -1;
  }
  const int32_t* end = s->values + s->length;
  const int32_t* hit = std::find(static_cast<const int32_t*>(s->values) + from, end, value);
  return hit == end ? -1 : static_cast<int>(hit - s->values);
}

int32_t SAMPLEMin(const SAMPLE* s) {
  if (!HasBlock(s) || s->length == 0) return 0;
  return *std::min_element(s->values, s->values + s->length);
}

int32_t SAMPLEMax(const SAMPLE* s) {
  if (!HasBlock(s) || s->length == 0) return 0;
  return *std::max_element(s->values, s->values + s->length);
}

int SAMPLEMatchCount(const SAMPLE* a, const SAMPLE* b, int offset) {
  if (!HasBlock(a) || !HasBlock(b) || offset < 1 - b->length || offset >= a->length) {
    SAMPLEError();
    return 0;
  }
  const int first = std::max(0, -offset);
  const int last = std::min(b->length, a->length - offset);
  int matches = 0;
  for (int k = first; k < last; ++k) matches += a->values[offset + k] == b->values[k];
  return matches;
}

int SAMPLEBestOffset(const SAMPLE* a, const SAMPLE* b) {
  if (!HasBlock(a) || !HasBlock(b)) {
    SAMPLEError();
    return 0;
  }
  int best = -b->length;
  int bestCount = 0;
  for (int offset = 1 - b->length; offset < a->length; ++offset) {
    const int count = SAMPLEMatchCount(a, b, offset);
    if (count > bestCount) {
      bestCount = count;
      best = offset;
    }
  }
  return best;
}

SAMPLE* SAMPLEReadBuffer(const uint8_t* data, size_t size, int width, char order, char sign) {
  if ((data == nullptr && size > 0) || !ValidReadArguments(width, order, sign)) {
    SAMPLEError();
    return nullptr;
  }
  SAMPLE* s = NewReadBuffer();
  if (s == nullptr) return nullptr;
  RawDecoder decoder{width, order == 'b', sign == 's'};
  if (!decoder.Feed(s, data, size)) {
    SAMPLEError();
    SAMPLEFree(&s);
  }
  return s;
}

SAMPLE* SAMPLERead(const char* path, int width, char order, char sign) {
  if (path == nullptr || !ValidReadArguments(width, order, sign)) {
    SAMPLEError();
    return nullptr;
  }
  FilePtr file = Open(path, "rb");
  if (!file) {
    SAMPLEError();
    return nullptr;
  }
  return SAMPLEReadFile(file.get(), width, order, sign);
}

SAMPLE* SAMPLEReadFile(FILE* file, int width, char order, char sign) {
  if (file == nullptr || !ValidReadArguments(width, order, sign)) {
    SAMPLEError();
    return nullptr;
  }
  SAMPLE* s = NewReadBuffer();
  if (s == nullptr) return nullptr;
  RawDecoder decoder{width, order == 'b', sign == 's'};
  uint8_t chunk[16384];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    if (!decoder.Feed(s, chunk, got)) {
      SAMPLEError();
      SAMPLEFree(&s);
      return nullptr;
    }
  }
  if (std::ferror(file)) {
    SAMPLEError();
    SAMPLEFree(&s);
  }
  return s;
}

int SAMPLEWrite(const SAMPLE* s, const char* path, int width, char order) {
  if (!HasBlock(s) || path == nullptr) {
    SAMPLEError();
    return 0;
  }
  FilePtr file = Open(path, "wb");
  if (!file) {
    SAMPLEError();
    return 0;
  }
  const WriteFormat format = FormatFor(width);
  const bool bigEndian = order == 'b' && format.bytes > 1;
  int written = 0;
  for (int i = 0; i < s->length; ++i) {
    const uint32_t v = static_cast<uint32_t>(std::clamp<int64_t>(s->values[i], format.lo, format.hi));
    uint8_t bytes[4];
    for (int b = 0; b < format.bytes; ++b) {
      const int shift = 8 * (bigEndian ? format.bytes - 1 - b : b);
      bytes[b] = static_cast<uint8_t>(v >> shift);
    }
    if (std::fwrite(bytes, 1, static_cast<size_t>(format.bytes), file.get()) != static_cast<size_t>(format.bytes)) break;
    ++written;
  }
  if (std::fflush(file.get()) != 0) SAMPLEError();
  return written;
}
