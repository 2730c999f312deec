// PBM, PGM and PPM codecs (P1 to P6): the in-memory readers, the file
// reader and the binary PPM writer. All readers share one header parser and
// one raster decoder, templated over where the bytes come from.
//
// Bit images map a set bit (or a non-zero plain digit) to white and a clear
// one to black, so the set positions are the visible pixels over the black
// key. Samples are taken as they stand; the maximum value is not applied.
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/img.hpp"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

// Bytes over an in-memory buffer; the unbounded reader passes SIZE_MAX.
struct MemorySource {
  const unsigned char* data;
  size_t length;
  size_t pos = 0;

  int Peek() const { return pos < length ? data[pos] : -1; }
  void Skip() { ++pos; }
  bool MayHold(uint64_t n) const { return length - pos >= n; }
  // n contiguous bytes, or null when the data ends first.
  const unsigned char* Take(size_t n) {
    if (length - pos < n) return nullptr;
    const unsigned char* bytes = data + pos;
    pos += n;
    return bytes;
  }
};

// Bytes from an open file through a refillable buffer. A regular file's
// size is known, so a raster larger than what is left fails before any
// pixel memory is allocated. Closes the file when it goes out of scope.
class FileSource {
 public:
  explicit FileSource(FILE* file) : file_(file) {
    struct stat info;
    if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode))
      size_ = static_cast<uint64_t>(info.st_size);
  }
  ~FileSource() { fclose(file_); }
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  int Peek() { return Fill(1) ? buffer_[pos_] : -1; }
  void Skip() { ++pos_; }
  bool MayHold(uint64_t n) const {
    const uint64_t position = readTotal_ - (end_ - pos_);
    return size_ == UINT64_MAX || (position <= size_ && size_ - position >= n);
  }
  const unsigned char* Take(size_t n) {
    if (!Fill(n)) return nullptr;
    const unsigned char* bytes = buffer_.data() + pos_;
    pos_ += n;
    return bytes;
  }

 private:
  // Makes n unread bytes available; false when the file ends first.
  bool Fill(size_t n) {
    if (end_ - pos_ >= n) return true;
    memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
    if (buffer_.size() < n) buffer_.resize(std::max<size_t>(n, 1 << 12));
    while (end_ < n) {
      const size_t got = fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
      if (got == 0) return false;
      end_ += got;
      readTotal_ += got;
    }
    return true;
  }

  FILE* file_;
  std::vector<unsigned char> buffer_ = std::vector<unsigned char>(1 << 12);
  size_t pos_ = 0;
  size_t end_ = 0;
  uint64_t readTotal_ = 0;
  uint64_t size_ = UINT64_MAX;
};

// What differs between the in-memory readers and the file reader.
struct ReaderRules {
  // P1 and P4 widths are rounded up to whole bytes and the padding bits
  // become pixels.
  bool roundBitWidth;
  // A lone non-digit where a number belongs is consumed (file reader) or
  // left in place (memory readers).
  bool consumeStrayByte;
};

struct Header {
  int type = 0;
  int64_t width = 0;
  int64_t height = 0;
};

bool IsDigit(int c) { return c >= '0' && c <= '9'; }

// Header values beyond this are refused anyway; capping keeps the
// arithmetic from overflowing.
constexpr int64_t kHeaderValueCap = int64_t{1} << 31;

// Magic, width, height and maximum value as tokens between blanks, control
// bytes and comments; P1 and P4 carry no maximum value. One byte after the
// last token ends the header.
template <class Source>
bool ReadHeader(Source& in, const ReaderRules& rules, Header& header) {
  bool magic = false, widthSeen = false, heightSeen = false, maxSeen = false;
  while (!(magic && widthSeen && heightSeen && maxSeen)) {
    const int c = in.Peek();
    if (c < 0) return false;
    if (c < 0x21 || c > 0x7E) {
      in.Skip();
    } else if (c == 'P' && !magic) {
      in.Skip();
      const int type = in.Peek();
      if (type < '1' || type > '6') return false;
      in.Skip();
      header.type = type - '0';
      magic = true;
      if (header.type == 1 || header.type == 4) maxSeen = true;
    } else if (c == '#') {
      for (int skipped = in.Peek(); skipped != '\n'; skipped = in.Peek()) {
        if (skipped < 0) return false;
        in.Skip();
      }
      in.Skip();
    } else {
      // A number for the first field still missing; a lone non-digit reads
      // as 0, and a zero width or height can never decode.
      int64_t value = 0;
      int digits = 0;
      for (int d = in.Peek(); IsDigit(d); d = in.Peek(), ++digits) {
        value = std::min(value * 10 + (d - '0'), kHeaderValueCap);
        in.Skip();
      }
      if (digits == 0 && rules.consumeStrayByte) in.Skip();
      if (!widthSeen) {
        header.width = value;
        widthSeen = true;
      } else if (!heightSeen) {
        header.height = value;
        heightSeen = true;
      } else if (!maxSeen) {
        maxSeen = true;
      } else {
        return false;  // every number is in, yet no magic came
      }
      if ((header.width == 0 && widthSeen) || (header.height == 0 && heightSeen)) return false;
    }
  }
  if (in.Peek() >= 0) in.Skip();
  return true;
}

// Skips to the next digit; false when the data ends first.
template <class Source>
bool SkipToDigit(Source& in) {
  for (int c = in.Peek(); !IsDigit(c); c = in.Peek()) {
    if (c < 0) return false;
    in.Skip();
  }
  return true;
}

// A plain sample: digits after any non-digits, wrapping like a 32-bit word
// (out-of-range samples spill into the next channel, as they stand).
template <class Source>
bool ReadSample(Source& in, uint32_t& value) {
  if (!SkipToDigit(in)) return false;
  value = 0;
  for (int c = in.Peek(); IsDigit(c); c = in.Peek()) {
    value = value * 10u + static_cast<uint32_t>(c - '0');
    in.Skip();
  }
  return true;
}

template <class Source>
bool DecodePlainBits(Source& in, uint32_t* out, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (!SkipToDigit(in)) return false;
    out[i] = in.Peek() == '0' ? 0 : kWhite;
    in.Skip();
  }
  return true;
}

template <class Source>
bool DecodePlainSamples(Source& in, uint32_t* out, size_t count, bool colour) {
  for (size_t i = 0; i < count; ++i) {
    uint32_t r = 0, g = 0, b = 0;
    if (!ReadSample(in, r)) return false;
    if (!colour) {
      out[i] = r << 16 | r << 8 | r;
      continue;
    }
    if (!ReadSample(in, g) || !ReadSample(in, b)) return false;
    out[i] = r << 16 | g << 8 | b;
  }
  return true;
}

// Rows start on a byte boundary; pixel x of a row is bit 7 - (x mod 8) of
// byte x / 8.
template <class Source>
bool DecodePackedBits(Source& in, IMG* img, int64_t declaredWidth) {
  const size_t rowBytes = static_cast<size_t>((declaredWidth + 7) / 8);
  uint32_t* out = img->pixels;
  for (int64_t y = 0; y < img->height; ++y) {
    const unsigned char* row = in.Take(rowBytes);
    if (!row) return false;
    for (int64_t x = 0; x < img->width; ++x)
      *out++ = (row[x >> 3] >> (7 - (x & 7)) & 1) ? kWhite : 0;
  }
  return true;
}

// Binary grey (1 byte) or colour (3 bytes) pixels, taken in chunks so the
// file reader's buffer stays small.
template <class Source>
bool DecodeBinarySamples(Source& in, uint32_t* out, size_t count, bool colour) {
  constexpr size_t kChunk = 1 << 14;
  const size_t bytesPerPixel = colour ? 3 : 1;
  for (size_t done = 0; done < count;) {
    const size_t n = std::min(kChunk, count - done);
    const unsigned char* bytes = in.Take(n * bytesPerPixel);
    if (!bytes) return false;
    uint32_t* dst = out + done;
    if (colour) {
      for (size_t i = 0; i < n; ++i, bytes += 3)
        dst[i] = uint32_t{bytes[0]} << 16 | uint32_t{bytes[1]} << 8 | bytes[2];
    } else {
      for (size_t i = 0; i < n; ++i) dst[i] = bytes[i] * 0x010101u;
    }
    done += n;
  }
  return true;
}

template <class Source>
IMG* DecodePnm(Source& in, const ReaderRules& rules) {
  Header header;
  if (!ReadHeader(in, rules, header) || header.width <= 0 || header.height <= 0) {
    IMGError();
    return nullptr;
  }
  const bool bits = header.type == 1 || header.type == 4;
  const int64_t width = bits && rules.roundBitWidth ? (header.width + 7) / 8 * 8 : header.width;
  if (header.height > IMGMaxPixels / width ||
      !in.MayHold(IMGMinimumRasterBytes(header.type, width, header.height, header.width))) {
    IMGError();
    return nullptr;
  }
  IMG* img = IMGNew();
  if (!img) return nullptr;
  IMGAlloc(img, static_cast<int>(width), static_cast<int>(header.height));
  if (img->width != width || img->height != header.height) {
    IMGFree(&img);
    return nullptr;
  }
  const size_t count = static_cast<size_t>(width * header.height);
  bool decoded = false;
  switch (header.type) {
    case 1: decoded = DecodePlainBits(in, img->pixels, count); break;
    case 2: decoded = DecodePlainSamples(in, img->pixels, count, false); break;
    case 3: decoded = DecodePlainSamples(in, img->pixels, count, true); break;
    case 4: decoded = DecodePackedBits(in, img, header.width); break;
    case 5: decoded = DecodeBinarySamples(in, img->pixels, count, false); break;
    case 6: decoded = DecodeBinarySamples(in, img->pixels, count, true); break;
  }
  if (!decoded) {
    IMGFree(&img);
    IMGError();
  }
  return img;
}

constexpr ReaderRules kMemoryRules{true, false};
constexpr ReaderRules kFileRules{false, true};

}  // namespace

uint64_t IMGMinimumRasterBytes(int type, int64_t width, int64_t height, int64_t declaredWidth) {
  const uint64_t count = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  switch (type) {
    case 3:
    case 6: return 3 * count;
    case 4: return static_cast<uint64_t>((declaredWidth + 7) / 8) * static_cast<uint64_t>(height);
    default: return count;
  }
}

IMG* IMGFromPNM(const unsigned char* data) { return IMGFromPNMBounded(data, SIZE_MAX); }

IMG* IMGFromPNMBounded(const unsigned char* data, size_t length) {
  if (!data) {
    IMGError();
    return nullptr;
  }
  MemorySource in{data, length};
  return DecodePnm(in, kMemoryRules);
}

// A file that ends inside the header or the raster fails and leaves no
// image behind.
IMG* IMGLoad(const char* path) {
  FILE* file = path ? fopen(path, "rb") : nullptr;
  if (!file) {
    IMGError();
    return nullptr;
  }
  FileSource in(file);
  return DecodePnm(in, kFileRules);
}

// Binary PPM; false when any write or the close fails (a full disk).
bool IMGSave(const IMG* img, const char* path) {
  if (!img || !img->pixels || !path || img->width <= 0 || img->height <= 0) {
    IMGError();
    return false;
  }
  FILE* file = fopen(path, "wb");
  if (!file) {
    IMGError();
    return false;
  }
  bool written = fprintf(file, "P6\n# QUAV(c)\n%d %d\n255\n", img->width, img->height) > 0;
  std::vector<unsigned char> row(static_cast<size_t>(img->width) * 3);
  const uint32_t* pixel = img->pixels;
  for (int y = 0; y < img->height && written; ++y) {
    for (size_t x = 0; x < row.size(); x += 3, ++pixel) {
      row[x] = static_cast<unsigned char>(*pixel >> 16);
      row[x + 1] = static_cast<unsigned char>(*pixel >> 8);
      row[x + 2] = static_cast<unsigned char>(*pixel);
    }
    written = fwrite(row.data(), 1, row.size(), file) == row.size();
  }
  written = (fclose(file) == 0) && written;
  if (!written) IMGError();
  return written;
}
