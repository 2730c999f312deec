#include "pngout.hpp"

#include <png.h>

#include <cerrno>
#include <cstdio>

#include "outfile.hpp"

namespace {

// The library's words for a failure, kept instead of printed.
struct LibraryError {
  char text[200] = "";
};

void KeepError(png_structp png, png_const_charp message) {
  auto* error = static_cast<LibraryError*>(png_get_error_ptr(png));
  std::snprintf(error->text, sizeof error->text, "%s", message);
  png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Header, rows and end, with the library's defaults. Only plain data lives
// across the setjmp.
bool WriteStream(std::FILE* stream, const uint8_t* pixels, int width, int height, int channels,
                 LibraryError* error) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, error, KeepError, IgnoreWarning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    std::snprintf(error->text, sizeof error->text, "out of memory");
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, stream);
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8,
               channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const size_t rowBytes = static_cast<size_t>(width) * channels;
  for (int y = 0; y < height; ++y) png_write_row(png, pixels + rowBytes * y);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool PNGOUTAvailable() { return true; }

std::string PNGOUTWrite(const std::string& name, const uint8_t* pixels, int width, int height, int channels) {
  OUTFILE file;
  if (std::string error = OUTFILEOpen(&file, name); !error.empty()) return error;
  LibraryError library;
  errno = 0;
  const bool written = WriteStream(file.stream, pixels, width, height, channels, &library);
  const int error = errno;
  if (!written) {
    // A failed write says more than the library's own words for it.
    const std::string message =
        std::ferror(file.stream) ? OUTFILEFailure(&file, error) : "cannot write " + name + ": " + library.text;
    OUTFILEDiscard(&file);
    return message;
  }
  return OUTFILECommit(&file);
}
