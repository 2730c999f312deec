// Frame pictures: nearest-neighbour enlargement to RGB bytes and PNG files.
#include <cstring>

#include "capture.hpp"
#include "pngout.hpp"

void CAPTUREScaleFrame(const uint32_t* pixels, int width, int height, int scale, std::vector<uint8_t>* rgb) {
  const size_t rowBytes = static_cast<size_t>(width) * scale * 3;
  rgb->resize(rowBytes * height * scale);
  uint8_t* out = rgb->data();
  for (int y = 0; y < height; ++y) {
    uint8_t* row = out;
    for (int x = 0; x < width; ++x) {
      const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
      for (int i = 0; i < scale; ++i) {
        *out++ = static_cast<uint8_t>(p >> 16);
        *out++ = static_cast<uint8_t>(p >> 8);
        *out++ = static_cast<uint8_t>(p);
      }
    }
    for (int copy = 1; copy < scale; ++copy, out += rowBytes) memcpy(out, row, rowBytes);
  }
}

std::string CAPTUREWritePng(const std::string& path, const uint8_t* rgb, int width, int height) {
  return PNGOUTWrite(path, rgb, width, height, 3);
}
