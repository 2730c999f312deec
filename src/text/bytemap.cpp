#include "text/bytemap.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "core/identification.hpp"
#include "core/report.hpp"
#include "image/grid.hpp"
#include "image/img.hpp"
#include "image/pnm_reader.hpp"
#include "text/bytemap_file.hpp"

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

grid::View<uint8_t> Cells(BYTEMAP* map) { return {map->samples, map->width, map->height}; }
grid::View<const uint8_t> Cells(const BYTEMAP* map) { return {map->samples, map->width, map->height}; }

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

// Samples of one channel: grey as its low byte, colour as the truncated
// mean of the three channels. Numbers after the third and before the magic
// are passed over, and a P1 sample in a file is a whole number.
struct GreySamples : pnm::FormatOf<BYTEMAP, uint8_t> {
  static constexpr int64_t MaxSamples = BYTEMAPMaxSamples;
  static constexpr bool DropsSurplusNumbers = true;
  static constexpr bool ReadsFileBitsAsNumbers = true;
  static BYTEMAP* New(int64_t w, int64_t h) { return NewSized(w, h); }
  static void Free(BYTEMAP** map) { BYTEMAPFree(map); }
  static uint8_t* Samples(BYTEMAP* map) { return map->samples; }
  static constexpr Sample Lit = 255;
  static Sample Grey(uint32_t v) { return static_cast<uint8_t>(v); }
  static Sample Colour(uint32_t r, uint32_t g, uint32_t b) { return Average(r, g, b); }
};

BYTEMAP* Reported(BYTEMAP* map) {
  if (!map) BYTEMAPError();
  return map;
}

constexpr grid::KeyedStore kKeyedStore{};

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
  return Reported(pnm::ReadMemory<GreySamples>(data, length));
}

BYTEMAP* BYTEMAPReadFile(FILE* file) { return Reported(pnm::ReadFile<GreySamples>(file)); }

BYTEMAP* BYTEMAPLoad(const char* path) { return Reported(pnm::Load<GreySamples>(path)); }

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
  grid::Rect r{sx, sy, dx, dy, w, h};
  if (!grid::ClipRect(src, dst, r)) return;
  const uint8_t* s = src->samples + r.sx + r.sy * src->width;
  uint8_t* d = dst->samples + r.dx + r.dy * dst->width;
  for (int64_t row = 0; row < r.h; ++row, s += src->width, d += dst->width) {
    for (int64_t col = 0; col < r.w; ++col) kKeyedStore(d[col], s[col]);
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
      kKeyedStore(At(dst, tx, ty), At(src, sx + i, sy + j));
    }
  }
}

void BYTEMAPBlendHalf(const BYTEMAP* src, BYTEMAP* dst, int x, int y) {
  if (!HasSamples(src) || !HasSamples(dst)) {
    BYTEMAPError();
    return;
  }
  grid::Rect r{0, 0, x, y, src->width, src->height};
  if (!grid::ClipRect(src, dst, r)) return;
  for (int64_t row = 0; row < r.h; ++row) {
    for (int64_t col = 0; col < r.w; ++col) {
      const uint8_t s = At(src, r.sx + col, r.sy + row);
      uint8_t& d = At(dst, r.dx + col, r.dy + row);
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
  if (!HasSamples(src) || !HasSamples(dst) ||
      !grid::RowWrap(Cells(src), Cells(dst), srcRow, dstRow, x, grid::KeyedStore{}))
    BYTEMAPError();
}

void BYTEMAPOrRowWrap(const BYTEMAP* src, BYTEMAP* dst, int srcRow, int dstRow, int x) {
  if (!HasSamples(src) || !HasSamples(dst) ||
      !grid::RowWrap(Cells(src), Cells(dst), srcRow, dstRow, x, grid::OrStore{}))
    BYTEMAPError();
}

void BYTEMAPCopyColumnWrap(const BYTEMAP* src, BYTEMAP* dst, int srcCol, int dstCol, int y) {
  if (!HasSamples(src) || !HasSamples(dst) || !grid::ColumnWrap(Cells(src), Cells(dst), srcCol, dstCol, y))
    BYTEMAPError();
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
  if (!HasSamples(map) || !grid::DrawCircle(Cells(map), cx, cy, r, static_cast<uint8_t>(value)))
    BYTEMAPError();
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
  const int64_t w = grid::RotatedSide(src->width);
  const int64_t h = grid::RotatedSide(src->height);
  BYTEMAP* out = BYTEMAPNew();
  if (!out) return nullptr;
  BYTEMAPAlloc(out, static_cast<int>(w), static_cast<int>(h));
  if (out->width != w || out->height != h) {
    BYTEMAPFree(&out);
    BYTEMAPError();
    return nullptr;
  }
  grid::Rotate(Cells(src), Cells(out), angle);
  return out;
}

int* BYTEMAPStepTable(int n, int m) {
  int* counts = grid::StepCounts(n, m, BYTEMAPMaxSamples);
  if (!counts) BYTEMAPError();
  return counts;
}

int* BYTEMAPLinePoints(int x0, int y0, int x1, int y1) {
  int* points = grid::LinePoints(x0, y0, x1, y1, BYTEMAPMaxSamples);
  if (!points) BYTEMAPError();
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
