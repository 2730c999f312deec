#include <png.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

#include "writers.hpp"

namespace artgen {

void writePNG(const std::string& path, const Pixmap& colour) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!file) throw std::runtime_error("cannot create " + path);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    throw std::runtime_error("libpng could not start for " + path);
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("libpng failed on " + path);
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, png_uint_32(colour.width), png_uint_32(colour.height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < colour.height; ++y) {
    // Rgb is three packed bytes, the layout libpng expects for a row.
    static_assert(sizeof(Rgb) == 3);
    auto* row = reinterpret_cast<png_const_bytep>(&colour.at(0, y));
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
}

}  // namespace artgen
