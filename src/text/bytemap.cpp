#include "text/bytemap.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "core/identification.hpp"
#include "core/report.hpp"
#include "core/sintable.hpp"
#include "image/img.hpp"

namespace {

[[gnu::used]] constexpr Identification kIdentification{
    "CODE", "C", "TORVELIN", "20261207", "BYTEMAP "};

constexpr bool kDiagnostics = false;

bool HasSamples(const BYTEMAP* map) { return map && map->samples; }

int64_t SampleCount(const BYTEMAP* map) { return int64_t{map->width} * map->height; }

bool IsDigit(int c) { return c >= '0' && c <= '9'; }

bool InsideMap(const BYTEMAP* map, int64_t x, int64_t y) {
  return x >= 0 && y >= 0 && x < map->width && y < map->height;
}

uint8_t& At(BYTEMAP* map, int64_t x, int64_t y) { return map->samples[x + y * map->width]; }
uint8_t At(const BYTEMAP* map, int64_t x, int64_t y) { return map->samples[x + y * map->width]; }

// Input over a memory block or a file; Next() and Peek() give -1 at the end.
class MemorySource {
 public:
  MemorySource(const unsigned char* data, size_t length) : data_(data), length_(length) {}
  int Peek() const { return pos_ < length_ ? data_[pos_] : -1; }
  int Next() { return pos_ < length_ ? data_[pos_++] : -1; }
  bool MayHold(uint64_t n) const { return length_ - pos_ >= n; }

 private:
  const unsigned char* data_;
  size_t length_;
  size_t pos_ = 0;
};

// A regular file's size is known, so a raster larger than what is left
// fails before any sample memory is allocated.
class FileSource {
 public:
  explicit FileSource(FILE* file) : file_(file) {
    struct stat info;
    if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode)) size_ = static_cast<uint64_t>(info.st_size);
  }
  int Peek() {
    int c = std::getc(file_);
    if (c != EOF) std::ungetc(c, file_);
    return c == EOF ? -1 : c;
  }
  int Next() {
    int c = std::getc(file_);
    return c == EOF ? -1 : c;
  }
  bool MayHold(uint64_t n) const {
    if (size_ == UINT64_MAX) return true;
    const long position = std::ftell(file_);
    return position >= 0 && static_cast<uint64_t>(position) <= size_ && size_ - static_cast<uint64_t>(position) >= n;
  }

 private:
  FILE* file_;
  uint64_t size_ = UINT64_MAX;
};

struct RAIIFile {
  FILE* file;
  ~RAIIFile() {
    if (file) std::fclose(file);
  }
};

// A decimal number as read from untrusted text: the value wraps at 2^32
// (its low byte stays exact) and nonZero tells whether any digit was not 0.
struct Number {
  uint32_t value = 0;
  bool nonZero = false;
  bool found = false;
};

template <class Source>
Number ReadDigits(Source& in) {
  Number n;
  while (IsDigit(in.Peek())) {
    int d = in.Next() - '0';
    n.value = n.value * 10u + static_cast<uint32_t>(d);
    n.nonZero = n.nonZero || d != 0;
    n.found = true;
  }
  return n;
}

// Skips to the next digit and reads its run; found is false at the end.
template <class Source>
Number ReadNumber(Source& in) {
  int c = in.Peek();
  while (c >= 0 && !IsDigit(c)) {
    in.Next();
    c = in.Peek();
  }
  return ReadDigits(in);
}

// Header numbers saturate instead of wrapping so that a huge size stays huge.
template <class Source>
int64_t ReadHeaderNumber(Source& in) {
  int64_t value = 0;
  while (IsDigit(in.Peek())) {
    value = std::min<int64_t>(value * 10 + (in.Next() - '0'), int64_t{1} << 40);
  }
  return value;
}

struct Header {
  int type = 0;
  int64_t width = 0;
  int64_t height = 0;
};

enum class Rules { memory, file };

template <class Source>
bool SkipComment(Source& in) {
  for (int c = in.Next(); c != '\n'; c = in.Next()) {
    if (c < 0) return false;
  }
  return true;
}

// Magic, width, height and (except for P1 and P4) the maximum value, then the
// one byte that ends the header.
template <class Source>
bool ReadHeader(Source& in, Rules rules, Header& header) {
  bool magic = false;
  bool seen[3] = {false, false, false};
  int64_t values[3] = {0, 0, 0};
  while (!(magic && seen[0] && seen[1] && seen[2])) {
    int c = in.Peek();
    if (c < 0) return false;
    if (c < 0x21 || c > 0x7E) {
      in.Next();
    } else if (c == 'P' && !magic) {
      in.Next();
      int type = in.Next();
      if (type < '1' || type > '6') return false;
      header.type = type - '0';
      magic = true;
      if (header.type == 1 || header.type == 4) seen[2] = true;
    } else if (c == '#') {
      if (!SkipComment(in)) return false;
    } else {
      bool digits = IsDigit(c);
      int64_t value = ReadHeaderNumber(in);
      int field = 0;
      while (field < 3 && seen[field]) ++field;
      if (field < 3) {
        seen[field] = true;
        values[field] = value;
      }
      // The file reader eats a stray byte; the memory reader leaves it for the
      // next field unless there is none left to fill.
      if (!digits && (rules == Rules::file || field == 3)) in.Next();
    }
  }
  header.width = values[0];
  header.height = values[1];
  in.Next();
  return true;
}

bool SizeAcceptable(int64_t w, int64_t h) {
  return w >= 1 && h >= 1 && w <= BYTEMAPMaxSamples && h <= BYTEMAPMaxSamples && w * h <= BYTEMAPMaxSamples;
}

BYTEMAP* NewSized(int64_t w, int64_t h) {
  if (!SizeAcceptable(w, h)) return nullptr;
  BYTEMAP* map = BYTEMAPNew();
  if (!map) return nullptr;
  BYTEMAPAlloc(map, static_cast<int>(w), static_cast<int>(h));
  if (!map->samples || map->width != w || map->height != h) BYTEMAPFree(&map);
  return map;
}

uint8_t Average(uint32_t r, uint32_t g, uint32_t b) {
  return static_cast<uint8_t>((uint64_t{r} + g + b) / 3);
}

template <class Source>
bool ReadTextSamples(Source& in, BYTEMAP* map, int type, Rules rules) {
  const int64_t n = SampleCount(map);
  for (int64_t i = 0; i < n; ++i) {
    if (type == 1 && rules == Rules::memory) {
      int c = in.Next();
      while (c >= 0 && !IsDigit(c)) c = in.Next();
      if (c < 0) return false;
      map->samples[i] = c == '0' ? 0 : 255;
    } else if (type == 1) {
      Number v = ReadNumber(in);
      if (!v.found) return false;
      map->samples[i] = v.nonZero ? 255 : 0;
    } else if (type == 2) {
      Number v = ReadNumber(in);
      if (!v.found) return false;
      map->samples[i] = static_cast<uint8_t>(v.value);
    } else {
      Number r = ReadNumber(in);
      Number g = ReadNumber(in);
      Number b = ReadNumber(in);
      if (!r.found || !g.found || !b.found) return false;
      map->samples[i] = Average(r.value, g.value, b.value);
    }
  }
  return true;
}

template <class Source>
bool ReadBitSamples(Source& in, BYTEMAP* map) {
  int byte = 0;
  for (int64_t y = 0; y < map->height; ++y) {
    for (int64_t x = 0; x < map->width; ++x) {
      // The memory reader's width is whole bytes, so both start a byte here.
      if (x % 8 == 0) byte = in.Next();
      if (byte < 0) return false;
      At(map, x, y) = (byte >> (7 - x % 8)) & 1 ? 255 : 0;
    }
  }
  return true;
}

template <class Source>
bool ReadRawSamples(Source& in, BYTEMAP* map, int type) {
  const int64_t n = SampleCount(map);
  for (int64_t i = 0; i < n; ++i) {
    if (type == 5) {
      int v = in.Next();
      if (v < 0) return false;
      map->samples[i] = static_cast<uint8_t>(v);
    } else {
      int r = in.Next();
      int g = in.Next();
      int b = in.Next();
      if (b < 0) return false;
      map->samples[i] = Average(r, g, b);
    }
  }
  return true;
}

template <class Source>
BYTEMAP* ReadPnm(Source& in, Rules rules) {
  Header header;
  if (!ReadHeader(in, rules, header)) return nullptr;
  int64_t width = header.width;
  if (rules == Rules::memory && (header.type == 1 || header.type == 4)) width = (width + 7) / 8 * 8;
  if (!SizeAcceptable(width, header.height) ||
      !in.MayHold(IMGMinimumRasterBytes(header.type, width, header.height, header.width))) {
    return nullptr;
  }
  BYTEMAP* map = NewSized(width, header.height);
  if (!map) return nullptr;
  bool ok = header.type == 4   ? ReadBitSamples(in, map)
            : header.type >= 5 ? ReadRawSamples(in, map, header.type)
                               : ReadTextSamples(in, map, header.type, rules);
  if (!ok) BYTEMAPFree(&map);
  return map;
}

BYTEMAP* Reported(BYTEMAP* map) {
  if (!map) BYTEMAPError();
  return map;
}

// Rectangle clipping shared with the image blits, in 64 bits so that no sum
// of caller coordinates can overflow.
struct Rect {
  int64_t sx, sy, dx, dy, w, h;
};

bool ClipRect(const BYTEMAP* src, const BYTEMAP* dst, Rect& r) {
  if (r.dx >= dst->width || r.dx + r.w < 0 || r.dy >= dst->height || r.dy + r.h < 0) return false;
  if (r.sx >= src->width || r.sx + r.w < 0 || r.sy >= src->height || r.sy + r.h < 0) return false;
  if (r.sx < 0) r.w += r.sx, r.dx -= r.sx, r.sx = 0;
  if (r.sy < 0) r.h += r.sy, r.dy -= r.sy, r.sy = 0;
  if (r.sx + r.w > src->width) r.w = src->width - r.sx;
  if (r.sy + r.h > src->height) r.h = src->height - r.sy;
  if (r.dx < 0) r.w += r.dx, r.sx -= r.dx, r.dx = 0;
  if (r.dy < 0) r.h += r.dy, r.sy -= r.dy, r.dy = 0;
  if (r.dx + r.w > dst->width) r.w = dst->width - r.dx;
  if (r.dy + r.h > dst->height) r.h = dst->height - r.dy;
  return r.w > 0 && r.h > 0;
}

int64_t WrapIndex(int64_t value, int64_t length) {
  int64_t m = value % length;
  return m < 0 ? m + length : m;
}

template <class Combine>
void RowWrap(const BYTEMAP* src, BYTEMAP* dst, int srcRow, int dstRow, int x, Combine combine) {
  if (!HasSamples(src) || !HasSamples(dst) || dst->width < 1 || srcRow < 0 ||
      srcRow >= src->height || dstRow < 0 || dstRow >= dst->height) {
    BYTEMAPError();
    return;
  }
  const int64_t n = std::min(src->width, dst->width);
  int64_t column = WrapIndex(x, dst->width);
  for (int64_t i = 0; i < n; ++i) {
    combine(At(dst, column, dstRow), At(src, i, srcRow));
    if (++column == dst->width) column = 0;
  }
}

void KeyedStore(uint8_t& d, uint8_t s) {
  if (s) d = s;
}

bool RectInside(const BYTEMAP* map, int x, int y, int w, int h) {
  return HasSamples(map) && x >= 0 && y >= 0 && w > 0 && h > 0 &&
         int64_t{x} + w <= map->width && int64_t{y} + h <= map->height;
}

// For each destination index along one axis, the source index it shows.
// Growing axes repeat each source index by its count; shrinking axes take the
// first or the last source index of each group.
int* AxisMap(int dstLen, int srcLen, bool lastOfGroup) {
  int* counts = BYTEMAPStepTable(dstLen, srcLen);
  int* map = static_cast<int*>(std::calloc(static_cast<size_t>(dstLen) + 1, sizeof(int)));
  if (!counts || !map) {
    std::free(counts);
    std::free(map);
    return nullptr;
  }
  int k = 0;
  if (dstLen >= srcLen) {
    for (int c = 0; c < srcLen; ++c) {
      for (int r = 0; r < counts[c] && k < dstLen; ++r) map[k++] = c;
    }
  } else {
    int start = 0;
    for (; k < dstLen; ++k) {
      map[k] = lastOfGroup ? start + counts[k] - 1 : start;
      start += counts[k];
    }
  }
  std::free(counts);
  return map;
}

}  // namespace

void BYTEMAPError() {
  REPORTError(kDiagnostics, "BYTEMAP error\n");
}

BYTEMAP* BYTEMAPNew() {
  auto* map = static_cast<BYTEMAP*>(std::calloc(1, sizeof(BYTEMAP)));
  if (!map) {
    BYTEMAPError();
    return nullptr;
  }
  map->samples = static_cast<uint8_t*>(std::calloc(16 * 16, 1));
  if (!map->samples) {
    std::free(map);
    BYTEMAPError();
    return nullptr;
  }
  map->width = 16;
  map->height = 16;
  return map;
}

void BYTEMAPFree(BYTEMAP** ref) {
  if (!ref || !*ref) {
    BYTEMAPError();
    return;
  }
  std::free((*ref)->samples);
  std::free(*ref);
  *ref = nullptr;
}

// A refused size or a failed allocation leaves the bytemap as it was.
void BYTEMAPAlloc(BYTEMAP* map, int w, int h) {
  if (!map || w < 0 || h < 0 || int64_t{w} * h > BYTEMAPMaxSamples) {
    BYTEMAPError();
    return;
  }
  size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);
  auto* samples = static_cast<uint8_t*>(std::calloc(std::max<size_t>(n, 1), 1));
  if (!samples) {
    BYTEMAPError();
    return;
  }
  std::free(map->samples);
  map->samples = samples;
  map->width = w;
  map->height = h;
}

void BYTEMAPClear(BYTEMAP* map) {
  if (!HasSamples(map)) {
    BYTEMAPError();
    return;
  }
  std::memset(map->samples, 0, static_cast<size_t>(SampleCount(map)));
}

bool BYTEMAPEqual(const BYTEMAP* a, const BYTEMAP* b) {
  if (!HasSamples(a) || !HasSamples(b)) {
    BYTEMAPError();
    return false;
  }
  if (a->width != b->width || a->height != b->height) return false;
  for (int64_t i = SampleCount(a) - 1; i >= 0; --i) {
    if (a->samples[i] != b->samples[i]) return false;
  }
  return true;
}

BYTEMAP* BYTEMAPClone(const BYTEMAP* map) {
  if (!HasSamples(map)) {
    BYTEMAPError();
    return nullptr;
  }
  BYTEMAP* copy = BYTEMAPNew();
  if (!copy) return nullptr;
  BYTEMAPAlloc(copy, map->width, map->height);
  if (copy->width != map->width || copy->height != map->height) {
    BYTEMAPFree(&copy);
    BYTEMAPError();
    return nullptr;
  }
  std::memcpy(copy->samples, map->samples, static_cast<size_t>(SampleCount(map)));
  return copy;
}

void BYTEMAPCopy(const BYTEMAP* src, BYTEMAP* dst) {
  if (!HasSamples(src) || !HasSamples(dst) || src->width != dst->width ||
      src->height != dst->height) {
    BYTEMAPError();
    return;
  }
  std::memcpy(dst->samples, src->samples, static_cast<size_t>(SampleCount(src)));
}

char* BYTEMAPToASCII(const BYTEMAP* map) {
  if (!HasSamples(map) || map->width < 0 || map->height < 0 ||
      SampleCount(map) > BYTEMAPMaxSamples) {
    BYTEMAPError();
    return nullptr;
  }
  const auto n = static_cast<size_t>(SampleCount(map));
  if (n == 0) {
    char* empty = static_cast<char*>(std::malloc(sizeof "BYTEMAP{}"));
    if (empty) std::memcpy(empty, "BYTEMAP{}", sizeof "BYTEMAP{}");
    return empty;
  }
  const size_t size = n * 12 + 64;
  char* text = static_cast<char*>(std::calloc(size, 1));
  if (!text) {
    BYTEMAPError();
    return nullptr;
  }
  char* out = text + std::snprintf(text, size, "BYTEMAP{\nP3\n%d %d\n255\n", map->width,
                                   map->height);
  for (size_t i = 0; i < n; ++i) {
    const int s = map->samples[i];
    for (int channel = 0; channel < 3; ++channel) {
      out[0] = s >= 100 ? static_cast<char>('0' + s / 100) : ' ';
      out[1] = s >= 10 ? static_cast<char>('0' + s / 10 % 10) : ' ';
      out[2] = static_cast<char>('0' + s % 10);
      out[3] = ' ';
      out += 4;
    }
    if ((i + 1) % 6 == 0) out[-1] = '\n';
  }
  out[-1] = '\n';
  std::memcpy(out, "}\n", 3);
  return text;
}

namespace {

int64_t ReadTextDigits(const char*& p) {
  int64_t value = 0;
  while (IsDigit(*p)) value = std::min<int64_t>(value * 10 + (*p++ - '0'), int64_t{1} << 40);
  return value;
}

bool SkipOne(const char*& p) {
  if (!*p) return false;
  ++p;
  return true;
}

// Skips to the next digit and reads its run, wrapping at 2^32.
bool ReadTextNumber(const char*& p, uint32_t& value) {
  while (*p && !IsDigit(*p)) ++p;
  if (!*p) return false;
  value = 0;
  while (IsDigit(*p)) value = value * 10u + static_cast<uint32_t>(*p++ - '0');
  return true;
}

BYTEMAP* ParseText(const char* text) {
  const char* p = text;
  for (const char* marker : {"BYTEMAP", "{", "P3\n"}) {
    int past = BYTEMAPFindText(p, marker);
    if (past == 0) return nullptr;
    p += past;
  }
  const int64_t width = ReadTextDigits(p);
  if (!SkipOne(p)) return nullptr;
  const int64_t height = ReadTextDigits(p);
  if (!SkipOne(p)) return nullptr;
  ReadTextDigits(p);
  SkipOne(p);
  BYTEMAP* map = NewSized(width, height);
  if (!map) return nullptr;
  for (int64_t i = 0; i < width * height; ++i) {
    uint32_t rgb[3];
    for (uint32_t& channel : rgb) {
      if (!ReadTextNumber(p, channel)) {
        BYTEMAPFree(&map);
        return nullptr;
      }
    }
    map->samples[i] = Average(rgb[0], rgb[1], rgb[2]);
  }
  return map;
}

}  // namespace

BYTEMAP* BYTEMAPFromASCII(const char* text) {
  if (!text) {
    BYTEMAPError();
    return nullptr;
  }
  return Reported(ParseText(text));
}

int BYTEMAPFindText(const char* text, const char* keyword) {
  if (!text || !keyword) {
    BYTEMAPError();
    return 0;
  }
  const char* found = std::strstr(text, keyword);
  if (!found) return 0;
  return static_cast<int>(found - text + static_cast<std::ptrdiff_t>(std::strlen(keyword)));
}

BYTEMAP* BYTEMAPFromPNM(const unsigned char* data) {
  return BYTEMAPFromPNMBounded(data, SIZE_MAX);
}

BYTEMAP* BYTEMAPFromPNMBounded(const unsigned char* data, size_t length) {
  if (!data) {
    BYTEMAPError();
    return nullptr;
  }
  MemorySource in(data, length);
  return Reported(ReadPnm(in, Rules::memory));
}

BYTEMAP* BYTEMAPLoad(const char* path) {
  if (!path) {
    BYTEMAPError();
    return nullptr;
  }
  RAIIFile file{std::fopen(path, "rb")};
  if (!file.file) {
    BYTEMAPError();
    return nullptr;
  }
  FileSource in(file.file);
  return Reported(ReadPnm(in, Rules::file));
}

bool BYTEMAPSave(const BYTEMAP* map, const char* path) {
  if (!HasSamples(map) || !path || map->width < 1 || map->height < 1) {
    BYTEMAPError();
    return false;
  }
  FILE* file = std::fopen(path, "wb");
  if (!file) {
    BYTEMAPError();
    return false;
  }
  const auto n = static_cast<size_t>(SampleCount(map));
  bool ok = std::fprintf(file, "P5\n%d %d\n255\n", map->width, map->height) > 0;
  ok = std::fwrite(map->samples, 1, n, file) == n && ok;
  ok = std::fclose(file) == 0 && ok;
  if (!ok) BYTEMAPError();
  return ok;
}

void BYTEMAPTranslate(BYTEMAP* map, const BYTEMAP* table) {
  if (!HasSamples(map) || !HasSamples(table) || SampleCount(table) < 256) {
    BYTEMAPError();
    return;
  }
  for (int64_t i = SampleCount(map) - 1; i >= 0; --i) {
    map->samples[i] = table->samples[map->samples[i]];
  }
}

void BYTEMAPSetPixel(BYTEMAP* map, int x, int y, int value) {
  if (!HasSamples(map)) {
    BYTEMAPError();
    return;
  }
  if (InsideMap(map, x, y)) At(map, x, y) = static_cast<uint8_t>(value);
}

int BYTEMAPGetPixel(const BYTEMAP* map, int x, int y) {
  if (!HasSamples(map)) {
    BYTEMAPError();
    return 0;
  }
  return InsideMap(map, x, y) ? At(map, x, y) : 0;
}

void BYTEMAPBlitKeyed(const BYTEMAP* src, BYTEMAP* dst, int sx, int sy, int dx, int dy, int w,
                      int h) {
  if (!HasSamples(src) || !HasSamples(dst)) {
    BYTEMAPError();
    return;
  }
  Rect r{sx, sy, dx, dy, w, h};
  if (!ClipRect(src, dst, r)) return;
  const uint8_t* s = src->samples + r.sx + r.sy * src->width;
  uint8_t* d = dst->samples + r.dx + r.dy * dst->width;
  for (int64_t row = 0; row < r.h; ++row, s += src->width, d += dst->width) {
    for (int64_t col = 0; col < r.w; ++col) KeyedStore(d[col], s[col]);
  }
}

void BYTEMAPBlitSpaced(const BYTEMAP* src, BYTEMAP* dst, int sx, int sy, int dx, int dy, int w,
                       int h, int px, int py) {
  if (!HasSamples(src) || !HasSamples(dst) || px < 1 || py < 1) {
    BYTEMAPError();
    return;
  }
  // Only offsets whose source lies inside src can draw.
  const int64_t i0 = std::max<int64_t>(0, -int64_t{sx});
  const int64_t i1 = std::min<int64_t>(w, int64_t{src->width} - sx);
  const int64_t j0 = std::max<int64_t>(0, -int64_t{sy});
  const int64_t j1 = std::min<int64_t>(h, int64_t{src->height} - sy);
  for (int64_t j = j0; j < j1; ++j) {
    const int64_t ty = dy + j * py;
    if (ty < 0) continue;
    if (ty >= dst->height) break;
    for (int64_t i = i0; i < i1; ++i) {
      const int64_t tx = dx + i * px;
      if (tx < 0) continue;
      if (tx >= dst->width) break;
      KeyedStore(At(dst, tx, ty), At(src, sx + i, sy + j));
    }
  }
}

void BYTEMAPBlendHalf(const BYTEMAP* src, BYTEMAP* dst, int x, int y) {
  if (!HasSamples(src) || !HasSamples(dst)) {
    BYTEMAPError();
    return;
  }
  int64_t px = x, py = y;
  if (px + src->width <= 0 || py + src->height <= 0 || px >= dst->width || py >= dst->height) return;
  int64_t ox = 0, oy = 0, w = src->width, h = src->height;
  if (px < 0) ox = -px, w += px, px = 0;
  if (py < 0) oy = -py, h += py, py = 0;
  if (px + w >= dst->width) w = dst->width - px;
  if (py + h >= dst->height) h = dst->height - py;
  for (int64_t r = 0; r < h; ++r) {
    for (int64_t c = 0; c < w; ++c) {
      const uint8_t s = At(src, ox + c, oy + r);
      uint8_t& d = At(dst, px + c, py + r);
      if (s) d = static_cast<uint8_t>(s / 2 + d / 2);
    }
  }
}

void BYTEMAPAnd(const BYTEMAP* mask, BYTEMAP* dst) {
  if (!HasSamples(mask) || !HasSamples(dst) || mask->width != dst->width ||
      mask->height != dst->height) {
    BYTEMAPError();
    return;
  }
  for (int64_t i = 0; i < SampleCount(mask); ++i) dst->samples[i] &= mask->samples[i];
}

void BYTEMAPSubtract(BYTEMAP* map, int value) {
  if (!HasSamples(map)) {
    BYTEMAPError();
    return;
  }
  const int v = value & 255;
  for (int64_t i = 0; i < SampleCount(map); ++i) {
    map->samples[i] = static_cast<uint8_t>(std::max(map->samples[i] - v, 0));
  }
}

void BYTEMAPAddValue(BYTEMAP* map, int value) {
  if (!HasSamples(map)) {
    BYTEMAPError();
    return;
  }
  for (int64_t i = 0; i < SampleCount(map); ++i) {
    map->samples[i] = static_cast<uint8_t>(map->samples[i] + (value & 255));
  }
}

void BYTEMAPCopyRowWrap(const BYTEMAP* src, BYTEMAP* dst, int srcRow, int dstRow, int x) {
  RowWrap(src, dst, srcRow, dstRow, x, KeyedStore);
}

void BYTEMAPOrRowWrap(const BYTEMAP* src, BYTEMAP* dst, int srcRow, int dstRow, int x) {
  RowWrap(src, dst, srcRow, dstRow, x, [](uint8_t& d, uint8_t s) { d |= s; });
}

void BYTEMAPCopyColumnWrap(const BYTEMAP* src, BYTEMAP* dst, int srcCol, int dstCol, int y) {
  if (!HasSamples(src) || !HasSamples(dst) || dst->height < 1 || srcCol < 0 ||
      srcCol >= src->width || dstCol < 0 || dstCol >= dst->width) {
    BYTEMAPError();
    return;
  }
  const int64_t n = std::min(src->height, dst->height);
  int64_t row = WrapIndex(y, dst->height);
  for (int64_t i = 0; i < n; ++i) {
    KeyedStore(At(dst, dstCol, row), At(src, srcCol, i));
    if (++row == dst->height) row = 0;
  }
}

void BYTEMAPFillRect(BYTEMAP* map, int x, int y, int w, int h, int value) {
  if (!RectInside(map, x, y, w, h)) {
    BYTEMAPError();
    return;
  }
  for (int64_t row = y; row < int64_t{y} + h; ++row) {
    std::memset(&At(map, x, row), value & 255, static_cast<size_t>(w));
  }
}

void BYTEMAPDrawRect(BYTEMAP* map, int x, int y, int w, int h, int value) {
  if (!RectInside(map, x, y, w, h)) {
    BYTEMAPError();
    return;
  }
  const auto v = static_cast<uint8_t>(value);
  const int64_t right = int64_t{x} + w - 1, bottom = int64_t{y} + h - 1;
  for (int64_t col = x; col <= right; ++col) At(map, col, y) = At(map, col, bottom) = v;
  for (int64_t row = y; row <= bottom; ++row) At(map, x, row) = At(map, right, row) = v;
}

void BYTEMAPDrawCircle(BYTEMAP* map, int cx, int cy, int r, int value) {
  if (!HasSamples(map) || !InsideMap(map, cx, cy) || r < 1) {
    BYTEMAPError();
    return;
  }
  for (int k = 0; k < SinTableQuarterTurn; ++k) {
    const int64_t g = (int64_t{r} * SinTable[(SinTableQuarterTurn + k) & SinTableMask]) >> 15;
    const int64_t h = (int64_t{r} * SinTable[k & SinTableMask]) >> 15;
    const int64_t xs[2] = {cx + g - 1, cx - g};
    const int64_t ys[2] = {cy + h, cy - h};
    for (int64_t px : xs) {
      for (int64_t py : ys) {
        if (InsideMap(map, px, py)) At(map, px, py) = static_cast<uint8_t>(value);
      }
    }
  }
}

void BYTEMAPScale(const BYTEMAP* src, BYTEMAP* dst) {
  if (!HasSamples(src) || !HasSamples(dst) || dst->width < 0 || dst->height < 0 ||
      src->width < 1 || src->height < 1) {
    BYTEMAPError();
    return;
  }
  const bool shrinkX = dst->width < src->width;
  int* columns = AxisMap(dst->width, src->width, true);
  int* rows = AxisMap(dst->height, src->height, shrinkX);
  if (columns && rows) {
    for (int y = 0; y < dst->height; ++y) {
      const uint8_t* s = src->samples + int64_t{rows[y]} * src->width;
      uint8_t* d = dst->samples + int64_t{y} * dst->width;
      if (y > 0 && rows[y] == rows[y - 1]) {
        std::memcpy(d, d - dst->width, static_cast<size_t>(dst->width));
        continue;
      }
      for (int x = 0; x < dst->width; ++x) d[x] = s[columns[x]];
    }
  } else {
    BYTEMAPError();
  }
  std::free(columns);
  std::free(rows);
}

BYTEMAP* BYTEMAPRotate(const BYTEMAP* src, int angle) {
  if (!HasSamples(src)) {
    BYTEMAPError();
    return nullptr;
  }
  const int64_t w = int64_t{src->width} * SinTableSqrt2 / 65536;
  const int64_t h = int64_t{src->height} * SinTableSqrt2 / 65536;
  BYTEMAP* out = BYTEMAPNew();
  if (!out) return nullptr;
  BYTEMAPAlloc(out, static_cast<int>(w), static_cast<int>(h));
  if (out->width != w || out->height != h) {
    BYTEMAPFree(&out);
    BYTEMAPError();
    return nullptr;
  }
  const int64_t turn = WrapIndex(-int64_t{angle}, SinTableLength);
  const int64_t s = SinTable[turn];
  const int64_t c = SinTable[WrapIndex(turn - SinTableQuarterTurn, SinTableLength)];
  const int64_t scx = src->width / 2, scy = src->height / 2, dcx = w / 2, dcy = h / 2;
  for (int64_t y = 0; y < h; ++y) {
    for (int64_t x = 0; x < w; ++x) {
      const int64_t u = x - dcx, v = y - dcy;
      const int64_t fx = scx + ((u * c) >> 15) - ((v * s) >> 15);
      const int64_t fy = scy + ((u * s) >> 15) + ((v * c) >> 15);
      if (InsideMap(src, fx, fy)) At(out, x, y) = At(src, fx, fy);
    }
  }
  return out;
}

int* BYTEMAPStepTable(int n, int m) {
  const int64_t a = std::abs(int64_t{n}), b = std::abs(int64_t{m});
  const int64_t s = std::min(a, b), l = std::max(a, b);
  if (l > BYTEMAPMaxSamples) {
    BYTEMAPError();
    return nullptr;
  }
  int* counts = static_cast<int*>(std::calloc(static_cast<size_t>(s) + 1, sizeof(int)));
  if (!counts) return nullptr;
  int64_t c = l, i = 0;
  for (int64_t k = 0; k <= l && i <= s; ++k) {
    counts[i] += 1;
    c -= s;
    if (c <= 0) ++i, c += l;
  }
  return counts;
}

int* BYTEMAPLinePoints(int x0, int y0, int x1, int y1) {
  const int64_t dx = int64_t{x1} - x0, dy = int64_t{y1} - y0;
  const int64_t stepX = dx < 0 ? -1 : 1, stepY = dy < 0 ? -1 : 1;
  const int64_t ax = std::abs(dx), ay = std::abs(dy);
  const bool xMajor = ax > ay;
  const int64_t n = xMajor ? ax : ay;
  if (n > BYTEMAPMaxSamples) {
    BYTEMAPError();
    return nullptr;
  }
  int* points = static_cast<int*>(std::calloc(static_cast<size_t>(2 * n + 3), sizeof(int)));
  if (!points) return nullptr;
  points[0] = static_cast<int>(2 * (n + 1));
  int64_t x = x0, y = y0;
  const int64_t major = xMajor ? ax : ay, minor = xMajor ? ay : ax;
  int64_t e = major >> 1;
  for (int64_t k = 0; k <= n; ++k) {
    points[1 + 2 * k] = static_cast<int>(x);
    points[2 + 2 * k] = static_cast<int>(y);
    (xMajor ? x : y) += xMajor ? stepX : stepY;
    e -= minor;
    if (e <= 0 && minor > 0) {
      e += major;
      (xMajor ? y : x) += xMajor ? stepY : stepX;
    }
  }
  return points;
}

void BYTEMAPToIMGPalette(const BYTEMAP* map, IMG* img, const uint32_t* colours, int count) {
  if (!HasSamples(map) || !img || !img->pixels || !colours || count < 256 ||
      img->width != map->width || img->height != map->height) {
    BYTEMAPError();
    return;
  }
  for (int64_t i = 0; i < SampleCount(map); ++i) img->pixels[i] = colours[map->samples[i]];
}
