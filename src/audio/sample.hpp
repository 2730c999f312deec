// SAMPLE: a growable run of signed 32-bit PCM values, one channel, played at
// 44100 values per second. Values meant for playback lie within the 16-bit
// range; the music mixes in the full 32-bit width.
#pragma once
#include <cstddef>
#include <cstdint>

struct SAMPLE {
  int32_t length;
  int32_t capacity;
  int32_t* values;
};

// Record and buffer.
SAMPLE* SAMPLENew();
void SAMPLEFree(SAMPLE** ref);
void SAMPLEReserve(SAMPLE* s, int n);
void SAMPLESetLength(SAMPLE* s, int n);
void SAMPLEClear(SAMPLE* s);
int32_t SAMPLEGet(const SAMPLE* s, int index);
int32_t SAMPLESet(SAMPLE* s, int32_t value, int index);
void SAMPLECopyRange(const SAMPLE* source, SAMPLE* destination, int count, int from, int to);

// Mixing, all in wrapping 32-bit arithmetic.
void SAMPLEAdd(SAMPLE* s, const SAMPLE* other);
void SAMPLEShiftLeft(SAMPLE* s, int n);
void SAMPLEShiftRight(SAMPLE* s, int n);
void SAMPLERotateRight(SAMPLE* s, int n);
void SAMPLERotateLeft(SAMPLE* s, int n);
void SAMPLEMultiply(SAMPLE* s, int32_t factor);
void SAMPLEModulate(SAMPLE* s, const SAMPLE* other);
void SAMPLEScaleRange(SAMPLE* s, int32_t lo, int32_t hi);
void SAMPLEReverse(SAMPLE* s);
void SAMPLEResample(SAMPLE* s, int n);

// Object family.
char* SAMPLEToASCII(const SAMPLE* s);
SAMPLE* SAMPLEFromASCII(const char* text);
bool SAMPLEEqual(const SAMPLE* a, const SAMPLE* b);
SAMPLE* SAMPLEClone(const SAMPLE* s);
void SAMPLECopy(const SAMPLE* source, SAMPLE* destination);

// Editing and search.
void SAMPLEInsert(SAMPLE* s, const SAMPLE* other, int at);
SAMPLE* SAMPLESlice(const SAMPLE* s, int from, int to);
int32_t SAMPLEInsertValue(SAMPLE* s, int32_t value, int index);
void SAMPLERemoveAt(SAMPLE* s, int index);
int SAMPLEFind(const SAMPLE* s, int32_t value, int from);
int32_t SAMPLEMin(const SAMPLE* s);
int32_t SAMPLEMax(const SAMPLE* s);
int SAMPLEMatchCount(const SAMPLE* a, const SAMPLE* b, int offset);
int SAMPLEBestOffset(const SAMPLE* a, const SAMPLE* b);

// Headerless PCM. Reading: width 8 or 16, order 'b' (most significant byte
// first) or 'l', sign 's' or 'u'; the values come out in the 16-bit range.
// Writing: width 8, 16, 24 or 32 (others write 16), order 'b' or anything
// else for least significant first; values are clamped, not scaled.
SAMPLE* SAMPLERead(const char* path, int width, char order, char sign);
SAMPLE* SAMPLEReadBuffer(const uint8_t* data, size_t size, int width, char order, char sign);
int SAMPLEWrite(const SAMPLE* s, const char* path, int width, char order);

// Prints "SAMPLE error\n" when the diagnostics switch is on.
void SAMPLEError();
