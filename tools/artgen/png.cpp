#include <stdexcept>

#include "pngout.hpp"
#include "writers.hpp"

namespace artgen {

void writePNG(const std::string& path, const Pixmap& colour) {
  // Rgb is three packed bytes, the layout of an RGB row.
  static_assert(sizeof(Rgb) == 3);
  const auto* bytes = reinterpret_cast<const uint8_t*>(colour.pixels.data());
  if (std::string error = PNGOUTWrite(path, bytes, colour.width, colour.height, 3); !error.empty())
    throw std::runtime_error(error);
}

}  // namespace artgen
