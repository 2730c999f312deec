#include "effects/raster.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>
#include <vector>

#include "core/identification.hpp"
#include "core/report.hpp"
#include "effects/raster_file.hpp"
#include "image/img.hpp"

namespace {

constexpr bool kDiagnostics = true;

[[gnu::used]] constexpr Identification kIdentification{
    "CODE", "C", "TORVELIN", "20261207", "RASTER  "};

constexpr uint32_t kChannelMasks[3] = {0xFF0000u, 0x00FF00u, 0x0000FFu};

bool HasTable(const RASTER* raster) {
  return raster != nullptr && raster->colours != nullptr && raster->count > 0;
}

// The C library's wide-character fill stores 32-bit words with the widest
// registers the processor has; where its characters are not 32 bits wide a
// plain loop does the same.
void FillWords(uint32_t* p, uint32_t colour, size_t n) {
  if constexpr (sizeof(wchar_t) == sizeof(uint32_t)) {
    std::wmemset(reinterpret_cast<wchar_t*>(p), static_cast<wchar_t>(colour), n);
  } else {
    std::fill_n(p, n, colour);
  }
}

// Row index into the table; tolerates a position the caller left out of range.
uint32_t RowColour(const RASTER* raster, int y) {
  int64_t index = (static_cast<int64_t>(raster->position) + y) % raster->count;
  if (index < 0) index += raster->count;
  return raster->colours[index];
}

// Clips [x0, x1] to the image's row; false when the row is empty or off image.
bool ClipRow(const IMG* img, int y, int& x0, int& x1) {
  if (img == nullptr || img->pixels == nullptr) {
    IMGError();
    return false;
  }
  if (y < 0 || y >= img->height) return false;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, img->width - 1);
  return x0 <= x1;
}

// Red and blue are weighed together in one word: the weights add up to 256,
// so neither product overflows into the next channel's bits.
uint32_t Blend(uint32_t under, uint32_t colour, uint32_t alpha) {
  const uint32_t keep = 256 - alpha;
  const uint32_t redBlue = ((under & 0xFF00FFu) * keep + (colour & 0xFF00FFu) * alpha) >> 8;
  const uint32_t green = ((under & 0x00FF00u) * keep + (colour & 0x00FF00u) * alpha) >> 8;
  return (redBlue & 0xFF00FFu) | (green & 0x00FF00u);
}

// The file form: "RSTR", the colour count as 4 bytes little-endian, then
// each colour word the same way. The position is not kept. An empty file
// stands for an empty table.
using File = std::unique_ptr<std::FILE, decltype(&std::fclose)>;
constexpr unsigned char kFileMagic[4] = {'R', 'S', 'T', 'R'};
constexpr uint32_t kMaxFileColours = 1u << 20;

uint32_t ReadWord(const unsigned char* bytes) {
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

void PutWord(uint32_t word, unsigned char* bytes) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(word >> (8 * i));
}

// A new raster from the file, or null when the file is not a whole, valid
// table (a short or overlong file, a wrong magic, a count out of range).
RASTER* ReadRaster(std::FILE* file) {
  unsigned char header[8];
  const size_t got = std::fread(header, 1, sizeof header, file);
  uint32_t count = 0;
  if (got != 0 || !std::feof(file)) {
    if (got != sizeof header || std::memcmp(header, kFileMagic, 4) != 0) return nullptr;
    count = ReadWord(header + 4);
    if (count == 0 || count > kMaxFileColours) return nullptr;
  }
  std::vector<unsigned char> bytes(static_cast<size_t>(count) * 4);
  if (count > 0 && std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) return nullptr;
  if (std::fgetc(file) != EOF) return nullptr;
  RASTER* raster = RASTERNew();
  if (raster == nullptr) return nullptr;
  RASTERAlloc(raster, static_cast<int>(count));
  if (raster->count != static_cast<int>(count)) {
    RASTERFree(&raster);
    return nullptr;
  }
  for (uint32_t i = 0; i < count; ++i) raster->colours[i] = ReadWord(&bytes[i * 4]);
  return raster;
}

bool WriteRaster(const RASTER* raster, std::FILE* file) {
  std::vector<unsigned char> bytes(8 + static_cast<size_t>(raster->count) * 4);
  std::memcpy(bytes.data(), kFileMagic, 4);
  PutWord(static_cast<uint32_t>(raster->count), &bytes[4]);
  for (int i = 0; i < raster->count; ++i) PutWord(raster->colours[i], &bytes[8 + i * 4]);
  return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

template <typename DrawRow>
void DrawRows(const RASTER* raster, IMG* img, DrawRow drawRow) {
  if (!HasTable(raster) || img == nullptr || img->pixels == nullptr) {
    RASTERError();
    return;
  }
  for (int y = 0; y < img->height; ++y) drawRow(RowColour(raster, y), y);
}

}  // namespace

void RASTERError() {
  REPORTError(kDiagnostics, "RASTER error\n");
}

RASTER* RASTERNew() {
  auto* raster = static_cast<RASTER*>(std::calloc(1, sizeof(RASTER)));
  if (raster == nullptr) {
    RASTERError();
    return nullptr;
  }
  raster->colours = static_cast<uint32_t*>(std::calloc(256, sizeof(uint32_t)));
  if (raster->colours == nullptr) {
    std::free(raster);
    RASTERError();
    return nullptr;
  }
  raster->count = 256;
  return raster;
}

void RASTERFree(RASTER** ref) {
  if (ref == nullptr || *ref == nullptr) {
    RASTERError();
    return;
  }
  std::free((*ref)->colours);
  std::free(*ref);
  *ref = nullptr;
}

char* RASTERToASCII(const RASTER*) { return nullptr; }

RASTER* RASTERFromASCII(const char*) { return nullptr; }

bool RASTEREqual(const RASTER* a, const RASTER* b) {
  if (a == nullptr || b == nullptr) {
    RASTERError();
    return false;
  }
  if (a->count != b->count) return false;
  if (a->count <= 0) return true;
  if (a->colours == nullptr || b->colours == nullptr) {
    RASTERError();
    return false;
  }
  return std::equal(a->colours, a->colours + a->count, b->colours);
}

RASTER* RASTERClone(const RASTER* raster) {
  if (raster == nullptr || (raster->count > 0 && raster->colours == nullptr)) {
    RASTERError();
    return nullptr;
  }
  RASTER* clone = RASTERNew();
  if (clone == nullptr) return nullptr;
  RASTERAlloc(clone, raster->count);
  if (clone->count != raster->count) {
    RASTERFree(&clone);
    return nullptr;
  }
  if (raster->count > 0) std::copy_n(raster->colours, raster->count, clone->colours);
  return clone;
}

void RASTERAlloc(RASTER* raster, int n) {
  if (raster == nullptr || n < 0) {
    RASTERError();
    return;
  }
  uint32_t* table = nullptr;
  if (n > 0) {
    table = static_cast<uint32_t*>(std::calloc(static_cast<size_t>(n), sizeof(uint32_t)));
    if (table == nullptr) {
      RASTERError();
      return;
    }
  }
  std::free(raster->colours);
  raster->colours = table;
  raster->count = n;
  raster->position = 0;
}

void RASTERClear(RASTER* raster) {
  if (raster == nullptr || raster->colours == nullptr) {
    RASTERError();
    return;
  }
  // A count of 0 (or below) clears nothing and is not an error here.
  std::fill_n(raster->colours, std::max(raster->count, 0), 0u);
}

RASTER* RASTERLoad(const char* path) {
  if (path == nullptr) {
    RASTERError();
    return nullptr;
  }
  File file(std::fopen(path, "rb"), &std::fclose);
  return RASTERReadFile(file.get());
}

RASTER* RASTERReadFile(std::FILE* file) {
  RASTER* raster = file ? ReadRaster(file) : nullptr;
  if (raster == nullptr) RASTERError();
  return raster;
}

bool RASTERSave(const RASTER* raster, const char* path) {
  if (!HasTable(raster) || path == nullptr) {
    RASTERError();
    return false;
  }
  File file(std::fopen(path, "wb"), &std::fclose);
  bool written = file && WriteRaster(raster, file.get());
  if (written) written = std::fclose(file.release()) == 0;
  if (!written) RASTERError();
  return written;
}

void RASTERDraw(const RASTER* raster, IMG* img) {
  DrawRows(raster, img,
           [img](uint32_t colour, int y) { RASTERHLine(img, colour, y, 0, img->width - 1); });
}

void RASTERDrawBlend(const RASTER* raster, IMG* img, int alpha) {
  DrawRows(raster, img, [img, alpha](uint32_t colour, int y) {
    RASTERHLineBlend(img, colour, y, 0, img->width - 1, alpha);
  });
}

void RASTERStep(RASTER* raster) {
  if (!HasTable(raster)) {
    RASTERError();
    return;
  }
  raster->position += 1;
  if (raster->position >= raster->count || raster->position < 0) raster->position = 0;
}

void RASTERSmooth(RASTER* raster, int n) {
  if (!HasTable(raster) || n <= 0) {
    RASTERError();
    return;
  }
  const int64_t count = raster->count;
  const uint32_t* old = raster->colours;
  std::vector<uint32_t> smoothed(static_cast<size_t>(count));
  for (int64_t i = count - 1; i >= 0; --i) {
    uint32_t colour = 0;
    for (uint32_t mask : kChannelMasks) {
      int64_t sum = 2 * static_cast<int64_t>(old[i] & mask);
      for (int64_t k = 1; k <= n; ++k) {
        sum += old[(i + k) % count] & mask;
        sum += old[(i >= k ? i - k : k - i) % count] & mask;
      }
      colour |= static_cast<uint32_t>(sum / (2 * static_cast<int64_t>(n) + 2)) & mask;
    }
    smoothed[static_cast<size_t>(i)] = colour;
  }
  std::copy(smoothed.begin(), smoothed.end(), raster->colours);
}

void RASTERHLine(IMG* img, uint32_t colour, int y, int x0, int x1) {
  if (!ClipRow(img, y, x0, x1)) return;
  uint32_t* const row = img->pixels + static_cast<size_t>(y) * img->width;
  FillWords(row + x0, colour, static_cast<size_t>(x1 - x0 + 1));
}

void RASTERHLineBlend(IMG* img, uint32_t colour, int y, int x0, int x1, int alpha) {
  if (!ClipRow(img, y, x0, x1)) return;
  const auto weight = static_cast<uint32_t>(std::clamp(alpha, 0, 256));
  uint32_t* row = img->pixels + static_cast<size_t>(y) * img->width;
  for (int x = x0; x <= x1; ++x) row[x] = Blend(row[x], colour, weight);
}
