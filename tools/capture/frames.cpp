// Frame pictures: enlarged, as RGB bytes, and as PNG files.
#include <cstring>

#include "capture.hpp"
#include "image/img_enlarge.hpp"
#include "pngout.hpp"

void CAPTUREScaleFrame(const uint32_t* pixels, int width, int height, int scale, std::vector<uint32_t>* row,
                       std::vector<uint8_t>* rgb) {
  const int enlargedWidth = width * scale;
  const size_t rowBytes = static_cast<size_t>(enlargedWidth) * 3;
  // Sized by the first frame and reused by every other.
  row->resize(enlargedWidth);
  rgb->resize(rowBytes * height * scale);
  uint8_t* out = rgb->data();
  for (int y = 0; y < height; ++y) {
    IMGEnlargeRow(pixels + static_cast<size_t>(y) * width, width, scale, row->data());
    const uint32_t* words = row->data();
    for (int x = 0; x < enlargedWidth; ++x) {
      out[3 * x] = static_cast<uint8_t>(words[x] >> 16);
      out[3 * x + 1] = static_cast<uint8_t>(words[x] >> 8);
      out[3 * x + 2] = static_cast<uint8_t>(words[x]);
    }
    // The rows below repeat it.
    for (int copy = 1; copy < scale; ++copy) memcpy(out + copy * rowBytes, out, rowBytes);
    out += rowBytes * scale;
  }
}

std::string CAPTUREWritePng(const std::string& path, const uint8_t* rgb, int width, int height) {
  return PNGOUTWrite(path, rgb, width, height, 3);
}
