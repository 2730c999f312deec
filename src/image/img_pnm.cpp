// PBM, PGM and PPM codecs (P1 to P6): the in-memory readers, the file
// reader and the binary PPM writer. The readers are the shared PNM reader
// decoding into pixel words.
//
// Bit images map a set bit (or a non-zero plain digit) to white and a clear
// one to black, so the set positions are the visible pixels over the black
// key. Samples are taken as they stand; the maximum value is not applied.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "image/img.hpp"
#include "image/img_file.hpp"
#include "image/pnm_reader.hpp"

namespace {

// Pixel words: grey in all three channels, out-of-range plain samples
// spilling into the next channel. A P1 digit is one pixel in files too, and
// a number after the third refuses the header.
struct PixelWords : pnm::FormatOf<IMG, uint32_t> {
  static constexpr int64_t MaxSamples = IMGMaxPixels;
  static constexpr bool DropsSurplusNumbers = false;
  static constexpr bool ReadsFileBitsAsNumbers = false;
  static IMG* New(int64_t width, int64_t height) {
    IMG* img = IMGNew();
    if (!img) return nullptr;
    IMGAlloc(img, static_cast<int>(width), static_cast<int>(height));
    if (img->width != width || img->height != height) IMGFree(&img);
    return img;
  }
  static void Free(IMG** img) { IMGFree(img); }
  static uint32_t* Samples(IMG* img) { return img->pixels; }
  static constexpr Sample Lit = 0xFFFFFF;
  static Sample Grey(uint32_t v) { return v << 16 | v << 8 | v; }
  static Sample Colour(uint32_t r, uint32_t g, uint32_t b) { return r << 16 | g << 8 | b; }
};

IMG* Reported(IMG* img) {
  if (!img) IMGError();
  return img;
}

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
  return Reported(pnm::ReadMemory<PixelWords>(data, length));
}

IMG* IMGReadFile(FILE* file) { return Reported(pnm::ReadFile<PixelWords>(file)); }

// A file that ends inside the header or the raster fails and leaves no
// image behind.
IMG* IMGLoad(const char* path) { return Reported(pnm::Load<PixelWords>(path)); }

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
