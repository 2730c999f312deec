// Binary PNM files and PNG previews of the generated pictures.
#pragma once
#include <string>

#include "raster.hpp"

namespace artgen {

// The header's comment line: '#' and a blank, then the text, padded with
// dots to exactly 95 characters. Throws when the text is too long.
std::string commentLine(const std::string& text);

// P4: bits packed most significant first, a canvas value of 1 is a set bit.
void writePBM(const std::string& path, const Bitmap& bits, const std::string& comment);
// P5 with maximum value 255.
void writePGM(const std::string& path, const Greymap& grey, const std::string& comment);
// P6 with maximum value 255; an empty comment writes no comment line.
void writePPM(const std::string& path, const Pixmap& colour, const std::string& comment);

// Eight-bit RGB PNG, for looking at the art.
void writePNG(const std::string& path, const Pixmap& colour);

// How a one-bit or grey picture shows on screen, as colour: set bits white.
Pixmap bitsAsColour(const Bitmap& bits, bool invert);
Pixmap greyAsColour(const Greymap& grey);

}  // namespace artgen
