// The one PBM, PGM and PPM (P1 to P6) reader behind the image and the
// bytemap codecs: the header grammar and the six raster decoders, over
// bytes in memory or from an open file. What differs between memory and
// file reading follows from the source; what differs between the raster
// kinds, and what a sample becomes, is the Format they decode into.
//
// A Format derives from FormatOf<Raster record, Sample type> and gives:
//   MaxSamples                      the largest raster it accepts
//   DropsSurplusNumbers             see Rules::dropSurplusNumbers
//   ReadsFileBitsAsNumbers          Rules::plainBitsAsNumbers, for files
//   New(w, h), Free(&raster)        a raster of that size (null on failure)
//   Samples(raster)                 its storage, w x h samples row by row
//   Lit                             the sample of a set bit
//   Grey(v), Colour(r, g, b)        a sample from plain or binary values
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "image/img.hpp"

namespace pnm {

template <class RasterType, class SampleType>
struct FormatOf {
  using Raster = RasterType;
  using Sample = SampleType;
};

// The differences between the readers.
struct Rules {
  // P1 and P4 widths are rounded up to whole bytes and the padding bits
  // become samples (the memory readers).
  bool roundBitWidth;
  // A lone non-digit where a header number belongs is consumed (the file
  // readers) or left in place, so that it gives 0 to every field still
  // missing (the memory readers).
  bool consumeStrayByte;
  // A P1 sample is a run of digits, lit unless all of them are 0, instead
  // of a single digit.
  bool plainBitsAsNumbers;
  // Numbers after the third and before the magic are read and dropped
  // instead of failing the header.
  bool dropSurplusNumbers;
};

// Bytes over an in-memory buffer; the unbounded readers pass SIZE_MAX.
class MemorySource {
 public:
  MemorySource(const unsigned char* data, size_t length) : data_(data), length_(length) {}
  int Peek() const { return pos_ < length_ ? data_[pos_] : -1; }
  void Skip() { ++pos_; }
  // Whether n more bytes may still follow.
  bool MayHold(uint64_t n) const { return length_ - pos_ >= n; }
  // n contiguous bytes, or null when the data end first.
  const unsigned char* Take(size_t n) {
    if (length_ - pos_ < n) return nullptr;
    const unsigned char* bytes = data_ + pos_;
    pos_ += n;
    return bytes;
  }

 private:
  const unsigned char* data_;
  size_t length_;
  size_t pos_ = 0;
};

// Bytes from an open file, from its current position, through a refillable
// buffer that reads ahead. When the size of what is left is known (a
// regular file or a seekable stream), a raster larger than that fails
// before any sample memory is allocated. The file stays open.
class FileSource {
 public:
  explicit FileSource(FILE* file);
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
  bool Fill(size_t n) { return end_ - pos_ >= n || Refill(n); }
  bool Refill(size_t n);

  FILE* file_;
  std::vector<unsigned char> buffer_ = std::vector<unsigned char>(1 << 12);
  size_t pos_ = 0;
  size_t end_ = 0;
  uint64_t readTotal_ = 0;
  uint64_t size_ = UINT64_MAX;
};

struct Header {
  int type = 0;
  int64_t width = 0;  // as stored: rounded up for bits where the rules say so
  int64_t declaredWidth = 0;
  int64_t height = 0;
};

inline bool IsDigit(int c) { return c >= '0' && c <= '9'; }
inline bool IsBits(int type) { return type == 1 || type == 4; }

// Header values beyond this are refused anyway; capping keeps the
// arithmetic from overflowing.
inline constexpr int64_t HeaderValueCap = int64_t{1} << 31;

// Magic, width, height and maximum value as tokens between blanks, control
// bytes and comments; P1 and P4 carry no maximum value. One byte after the
// last token ends the header. A zero width or height fails at once.
template <class Source>
bool ReadHeaderTokens(Source& in, const Rules& rules, Header& header) {
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
      if (IsBits(header.type)) maxSeen = true;
    } else if (c == '#') {
      for (int skipped = in.Peek(); skipped != '\n'; skipped = in.Peek()) {
        if (skipped < 0) return false;
        in.Skip();
      }
      in.Skip();
    } else {
      // A number for the first field still missing; a lone non-digit reads
      // as 0. Once every number is in, a stray byte is always consumed.
      const bool surplus = widthSeen && heightSeen && maxSeen;
      int64_t value = 0;
      int digits = 0;
      for (int d = in.Peek(); IsDigit(d); d = in.Peek(), ++digits) {
        value = std::min(value * 10 + (d - '0'), HeaderValueCap);
        in.Skip();
      }
      if (digits == 0 && (rules.consumeStrayByte || surplus)) in.Skip();
      if (!widthSeen) {
        header.width = value;
        widthSeen = true;
      } else if (!heightSeen) {
        header.height = value;
        heightSeen = true;
      } else if (!maxSeen) {
        maxSeen = true;
      } else if (!rules.dropSurplusNumbers) {
        return false;  // every number is in, yet no magic came
      }
      if ((header.width == 0 && widthSeen) || (header.height == 0 && heightSeen)) return false;
    }
  }
  if (in.Peek() >= 0) in.Skip();
  return true;
}

// The header, and a raster size within maxSamples that the source may
// still hold.
template <class Source>
bool ReadHeader(Source& in, const Rules& rules, int64_t maxSamples, Header& header) {
  if (!ReadHeaderTokens(in, rules, header) || header.width <= 0 || header.height <= 0) return false;
  header.declaredWidth = header.width;
  if (IsBits(header.type) && rules.roundBitWidth) header.width = (header.width + 7) / 8 * 8;
  return header.height <= maxSamples / header.width &&
         in.MayHold(IMGMinimumRasterBytes(header.type, header.width, header.height, header.declaredWidth));
}

// Skips to the next digit; false when the data end first.
template <class Source>
bool SkipToDigit(Source& in) {
  for (int c = in.Peek(); !IsDigit(c); c = in.Peek()) {
    if (c < 0) return false;
    in.Skip();
  }
  return true;
}

// A plain number: digits after any non-digits, wrapping like a 32-bit word
// (out-of-range samples stay as they stand); -1 when the data end first.
template <class Source>
int64_t ReadNumber(Source& in) {
  if (!SkipToDigit(in)) return -1;
  uint32_t value = 0;
  for (int c = in.Peek(); IsDigit(c); c = in.Peek()) {
    value = value * 10u + static_cast<uint32_t>(c - '0');
    in.Skip();
  }
  return value;
}

// A plain bit: one digit, or a whole number where the rules say so; lit
// unless every digit is 0.
template <class Source>
bool ReadPlainBit(Source& in, const Rules& rules, bool& lit) {
  if (!SkipToDigit(in)) return false;
  lit = in.Peek() != '0';
  in.Skip();
  if (!rules.plainBitsAsNumbers) return true;
  for (int c = in.Peek(); IsDigit(c); c = in.Peek()) {
    lit = lit || c != '0';
    in.Skip();
  }
  return true;
}

template <class Format, class Source>
bool DecodePlainBits(Source& in, const Rules& rules, typename Format::Sample* out, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    bool lit = false;
    if (!ReadPlainBit(in, rules, lit)) return false;
    out[i] = lit ? Format::Lit : typename Format::Sample{0};
  }
  return true;
}

template <class Format, class Source>
bool DecodePlainSamples(Source& in, typename Format::Sample* out, size_t count, bool colour) {
  for (size_t i = 0; i < count; ++i) {
    const int64_t r = ReadNumber(in);
    if (r < 0) return false;
    if (!colour) {
      out[i] = Format::Grey(static_cast<uint32_t>(r));
      continue;
    }
    const int64_t g = ReadNumber(in);
    const int64_t b = g < 0 ? -1 : ReadNumber(in);
    if (b < 0) return false;
    out[i] = Format::Colour(static_cast<uint32_t>(r), static_cast<uint32_t>(g), static_cast<uint32_t>(b));
  }
  return true;
}

// Rows start on a byte boundary; sample x of a row is bit 7 - (x mod 8) of
// byte x / 8.
template <class Format, class Source>
bool DecodePackedBits(Source& in, const Header& header, typename Format::Sample* out) {
  const size_t rowBytes = static_cast<size_t>((header.declaredWidth + 7) / 8);
  for (int64_t y = 0; y < header.height; ++y) {
    const unsigned char* row = in.Take(rowBytes);
    if (!row) return false;
    for (int64_t x = 0; x < header.width; ++x)
      *out++ = (row[x >> 3] >> (7 - (x & 7)) & 1) ? Format::Lit : typename Format::Sample{0};
  }
  return true;
}

// Binary grey (1 byte) or colour (3 bytes) samples, taken in chunks so the
// file buffer stays small.
template <class Format, class Source>
bool DecodeBinarySamples(Source& in, typename Format::Sample* out, size_t count, bool colour) {
  constexpr size_t kChunk = 1 << 14;
  const size_t bytesPerSample = colour ? 3 : 1;
  for (size_t done = 0; done < count;) {
    const size_t n = std::min(kChunk, count - done);
    const unsigned char* bytes = in.Take(n * bytesPerSample);
    if (!bytes) return false;
    typename Format::Sample* dst = out + done;
    if (colour) {
      for (size_t i = 0; i < n; ++i, bytes += 3) dst[i] = Format::Colour(bytes[0], bytes[1], bytes[2]);
    } else {
      for (size_t i = 0; i < n; ++i) dst[i] = Format::Grey(bytes[i]);
    }
    done += n;
  }
  return true;
}

template <class Format, class Source>
bool DecodeRaster(Source& in, const Rules& rules, const Header& header, typename Format::Sample* out) {
  const size_t count = static_cast<size_t>(header.width * header.height);
  switch (header.type) {
    case 1: return DecodePlainBits<Format>(in, rules, out, count);
    case 2: return DecodePlainSamples<Format>(in, out, count, false);
    case 3: return DecodePlainSamples<Format>(in, out, count, true);
    case 4: return DecodePackedBits<Format>(in, header, out);
    case 5: return DecodeBinarySamples<Format>(in, out, count, false);
    case 6: return DecodeBinarySamples<Format>(in, out, count, true);
  }
  return false;
}

// A new raster from the source, or null when the header is bad, the raster
// cannot be made or the data end inside it.
template <class Format, class Source>
typename Format::Raster* Read(Source& in, const Rules& rules) {
  Header header;
  if (!ReadHeader(in, rules, Format::MaxSamples, header)) return nullptr;
  typename Format::Raster* raster = Format::New(header.width, header.height);
  if (raster && !DecodeRaster<Format>(in, rules, header, Format::Samples(raster))) Format::Free(&raster);
  return raster;
}

// From memory, bit widths are rounded up and a stray header byte stays
// where it is; null data give null.
template <class Format>
typename Format::Raster* ReadMemory(const unsigned char* data, size_t length) {
  if (!data) return nullptr;
  constexpr Rules rules{.roundBitWidth = true,
                        .consumeStrayByte = false,
                        .plainBitsAsNumbers = false,
                        .dropSurplusNumbers = Format::DropsSurplusNumbers};
  MemorySource in(data, length);
  return Read<Format>(in, rules);
}

// From a file, bit widths are taken as written and a stray header byte is
// consumed; a null file gives null.
template <class Format>
typename Format::Raster* ReadFile(FILE* file) {
  if (!file) return nullptr;
  constexpr Rules rules{.roundBitWidth = false,
                        .consumeStrayByte = true,
                        .plainBitsAsNumbers = Format::ReadsFileBitsAsNumbers,
                        .dropSurplusNumbers = Format::DropsSurplusNumbers};
  FileSource in(file);
  return Read<Format>(in, rules);
}

// The file at path, opened for binary reading and closed again on every
// path; null when it cannot be opened.
template <class Format>
typename Format::Raster* Load(const char* path) {
  FILE* file = path ? fopen(path, "rb") : nullptr;
  if (!file) return nullptr;
  typename Format::Raster* raster = ReadFile<Format>(file);
  fclose(file);
  return raster;
}

}  // namespace pnm
