// A picture as an 8-bit PNG file, written through an OUTFILE: never
// half-written under its name, never replacing anything but a regular file.
// The file holds the header, the rows and nothing else (no colour-space or
// gamma chunk), so the same pixels always give the same bytes.
#pragma once
#include <cstdint>
#include <string>

// `channels` is 3 (RGB) or 4 (RGBA, not premultiplied); rows top first,
// width * channels bytes each, no padding. Returns an empty text on
// success, else one plain line. A build without the PNG library (the
// WebAssembly one) always fails with a line that says so.
std::string PNGOUTWrite(const std::string& name, const uint8_t* pixels, int width, int height, int channels);
// False in a build without the PNG library.
bool PNGOUTAvailable();
