// Frame pictures: nearest-neighbour enlargement to RGB bytes and PNG files.
// A build without the PNG library (the WebAssembly one) writes raw frames only.
#if __has_include(<png.h>)
#include <png.h>
#define CAPTURE_PNG 1
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "capture.hpp"
#include "outfile.hpp"

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

#if !defined(CAPTURE_PNG)
std::string CAPTUREWritePng(const std::string& path, const uint8_t*, int, int) {
  return "cannot write " + path + ": this build writes no PNG files (use --raw)";
}
#else
std::string CAPTUREWritePng(const std::string& path, const uint8_t* rgb, int width, int height) {
  OUTFILE file;
  if (std::string error = OUTFILEOpen(&file, path); !error.empty()) return error;
  png_image image;
  memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  errno = 0;
  const int written = png_image_write_to_stdio(&image, file.stream, 0, rgb, width * 3, nullptr);
  const int error = errno;
  const std::string libraryMessage = image.message;
  png_image_free(&image);
  if (!written) {
    // A failed write says more than the library's own words for it.
    const std::string message = ferror(file.stream) ? OUTFILEFailure(&file, error) : "cannot write " + path + ": " + libraryMessage;
    OUTFILEDiscard(&file);
    return message;
  }
  return OUTFILECommit(&file);
}
#endif
