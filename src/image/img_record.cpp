// IMG record: life cycle, comparison and the "IMG{ ... }" text form.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "image/img.hpp"
#include "image/img_memory.hpp"

#include "core/identification.hpp"
#include "core/report.hpp"

namespace {

// Turns the error printer on; off in every shipped build.
constexpr bool kDiagnostics = false;

[[gnu::used]] constexpr Identification kIdentification{
    "CODE", "C", "TORVELIN", "20261207", "IMG     "};

constexpr int kNewSize = 16;

// A pixel array of w x h zeroed words; at least one word so that an empty
// image still owns an array.
uint32_t* AllocPixels(int64_t count) {
  return IMGMemoryAlloc(static_cast<size_t>(count > 0 ? count : 1) * sizeof(uint32_t));
}

bool SizeAcceptable(int64_t w, int64_t h) {
  return w >= 0 && h >= 0 && (w == 0 || h <= IMGMaxPixels / w);
}

int64_t PixelCount(const IMG* img) { return int64_t{img->width} * img->height; }

// "%3d " for every byte value, so a pixel is three table copies.
struct ChannelText {
  char text[256][4];
  constexpr ChannelText() : text{} {
    for (int v = 0; v < 256; ++v) {
      text[v][0] = v >= 100 ? static_cast<char>('0' + v / 100) : ' ';
      text[v][1] = v >= 10 ? static_cast<char>('0' + v / 10 % 10) : ' ';
      text[v][2] = static_cast<char>('0' + v % 10);
      text[v][3] = ' ';
    }
  }
};
constexpr ChannelText kChannelText;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a run of decimal digits at text[pos], wrapping like a 32-bit word;
// *digits counts them so callers can cap the header values.
uint32_t ReadDigits(const char* text, size_t& pos, int* digits = nullptr) {
  uint32_t value = 0;
  int count = 0;
  while (IsDigit(text[pos])) {
    value = value * 10u + static_cast<uint32_t>(text[pos] - '0');
    ++pos;
    ++count;
  }
  if (digits) *digits = count;
  return value;
}

// Skips one separator byte, never the terminating zero.
void SkipOne(const char* text, size_t& pos) {
  if (text[pos] != '\0') ++pos;
}

// A header size: at most nine digits keep it below 2^30 with no wrap.
bool ReadSize(const char* text, size_t& pos, int64_t& value) {
  int digits = 0;
  value = ReadDigits(text, pos, &digits);
  return digits <= 9;
}

}  // namespace

void IMGError() {
  REPORTError(kDiagnostics, "IMG error\n");
}

IMG* IMGNew() {
  IMG* img = static_cast<IMG*>(calloc(1, sizeof(IMG)));
  if (!img) {
    IMGError();
    return nullptr;
  }
  img->pixels = AllocPixels(kNewSize * kNewSize);
  if (!img->pixels) {
    free(img);
    IMGError();
    return nullptr;
  }
  img->width = kNewSize;
  img->height = kNewSize;
  return img;
}

void IMGFree(IMG** ref) {
  if (!ref || !*ref) {
    IMGError();
    return;
  }
  IMGMemoryFree((*ref)->pixels);
  free(*ref);
  *ref = nullptr;
}

// A size the module cannot hold (negative, or more than IMGMaxPixels) and a
// failed allocation are reported and leave the image as it was.
void IMGAlloc(IMG* img, int w, int h) {
  if (!img || !SizeAcceptable(w, h)) {
    IMGError();
    return;
  }
  uint32_t* pixels = AllocPixels(int64_t{w} * h);
  if (!pixels) {
    IMGError();
    return;
  }
  IMGMemoryFree(img->pixels);
  img->pixels = pixels;
  img->width = w;
  img->height = h;
}

void IMGClear(IMG* img) {
  if (!img || !img->pixels || !SizeAcceptable(img->width, img->height)) {
    IMGError();
    return;
  }
  memset(img->pixels, 0, static_cast<size_t>(PixelCount(img)) * sizeof(uint32_t));
}

IMG* IMGClone(const IMG* src) {
  if (!src || !src->pixels || !SizeAcceptable(src->width, src->height)) {
    IMGError();
    return nullptr;
  }
  IMG* copy = IMGNew();
  if (!copy) return nullptr;
  IMGAlloc(copy, src->width, src->height);
  if (copy->width != src->width || copy->height != src->height) {
    IMGFree(&copy);
    return nullptr;
  }
  IMGCopy(src, copy);
  return copy;
}

void IMGCopy(const IMG* src, IMG* dst) {
  if (!src || !dst || !src->pixels || !dst->pixels || src->width != dst->width ||
      src->height != dst->height || !SizeAcceptable(src->width, src->height)) {
    IMGError();
    return;
  }
  if (src == dst) return;
  memcpy(dst->pixels, src->pixels, static_cast<size_t>(PixelCount(src)) * sizeof(uint32_t));
}

bool IMGEqual(const IMG* a, const IMG* b) {
  if (!a || !b) {
    IMGError();
    return false;
  }
  if (a->width != b->width || a->height != b->height) return false;
  if (!SizeAcceptable(a->width, a->height)) return false;
  const int64_t count = PixelCount(a);
  if (count == 0) return true;
  if (!a->pixels || !b->pixels) return false;
  return memcmp(a->pixels, b->pixels, static_cast<size_t>(count) * sizeof(uint32_t)) == 0;
}

// The writer computes its exact length, so nothing depends on how many
// digits the sizes have.
char* IMGToASCII(const IMG* img) {
  if (!img || !img->pixels || !SizeAcceptable(img->width, img->height)) {
    IMGError();
    return nullptr;
  }
  const int64_t count = PixelCount(img);
  if (count == 0) {
    char* empty = static_cast<char*>(malloc(sizeof "IMG{}"));
    if (empty) memcpy(empty, "IMG{}", sizeof "IMG{}");
    return empty;
  }
  char header[64];
  const int headerLength =
      snprintf(header, sizeof header, "IMG{\nP3\n%d %d\n255\n", img->width, img->height);
  const size_t length = static_cast<size_t>(headerLength) + static_cast<size_t>(count) * 12 + 3;
  char* text = static_cast<char*>(calloc(length, 1));
  if (!text) {
    IMGError();
    return nullptr;
  }
  memcpy(text, header, static_cast<size_t>(headerLength));
  char* out = text + headerLength;
  for (int64_t i = 0; i < count; ++i) {
    const uint32_t word = img->pixels[i];
    memcpy(out, kChannelText.text[(word >> 16) & 255], 4);
    memcpy(out + 4, kChannelText.text[(word >> 8) & 255], 4);
    memcpy(out + 8, kChannelText.text[word & 255], 4);
    out += 12;
    if ((i + 1) % 6 == 0 || i + 1 == count) out[-1] = '\n';
  }
  memcpy(out, "}\n", 3);
  return text;
}

// Pixels are read as three digit runs each, sought up to the end of the
// string, and a text that ends before the last pixel fails instead of
// reading past it.
IMG* IMGFromASCII(const char* text) {
  if (!text) {
    IMGError();
    return nullptr;
  }
  const int keyword = IMGFindText(text, "IMG");
  const int brace = keyword ? IMGFindText(text + keyword, "{") : 0;
  const int magic = brace ? IMGFindText(text + keyword + brace, "P3\n") : 0;
  if (!magic) {
    IMGError();
    return nullptr;
  }
  size_t pos = static_cast<size_t>(keyword) + brace + magic;
  int64_t width = 0;
  int64_t height = 0;
  bool sizesRead = ReadSize(text, pos, width);
  SkipOne(text, pos);
  sizesRead = ReadSize(text, pos, height) && sizesRead;
  SkipOne(text, pos);
  ReadDigits(text, pos);  // the maximum value is not used
  SkipOne(text, pos);
  // Every pixel needs at least three digits: a text too short for its sizes
  // fails before any pixel memory is allocated.
  if (!sizesRead || !SizeAcceptable(width, height) ||
      strlen(text + pos) / 3 < static_cast<size_t>(width * height)) {
    IMGError();
    return nullptr;
  }
  IMG* img = IMGNew();
  if (!img) return nullptr;
  IMGAlloc(img, static_cast<int>(width), static_cast<int>(height));
  if (img->width != width || img->height != height) {
    IMGFree(&img);
    return nullptr;
  }
  const int64_t count = width * height;
  for (int64_t i = 0; i < count; ++i) {
    uint32_t channels[3];
    for (uint32_t& channel : channels) {
      // Anything that is not a digit separates numbers, a "}" included; only
      // the end of the string stops the search.
      while (text[pos] != '\0' && !IsDigit(text[pos])) ++pos;
      if (!IsDigit(text[pos])) {
        IMGFree(&img);
        IMGError();
        return nullptr;
      }
      channel = ReadDigits(text, pos);
    }
    img->pixels[i] = channels[0] << 16 | channels[1] << 8 | channels[2];
  }
  return img;
}

int IMGFindText(const char* str, const char* text) {
  if (!str || !text) {
    IMGError();
    return 0;
  }
  const char* found = strstr(str, text);
  if (!found) return 0;
  return static_cast<int>(found - str) + static_cast<int>(strlen(text));
}
