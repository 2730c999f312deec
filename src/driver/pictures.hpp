// The intro's pictures, drawn at build time and carried in the program's
// read-only data as complete binary PNM files (header and raster), back to
// back in this order, each with its size (TORVELINPictureSizes), so that
// they are decoded with IMGFromPNMBounded, which never reads past the end.
#pragma once
#include <cstddef>

enum TORVELINPicture {
  TORVELINPictureCharacters,    // P4 256 x 80: 8 x 8 cells, cell n = character code n
  TORVELINPictureTitleCard,     // P6 512 x 160, no comment line; not shown
  TORVELINPictureScrollerFont,  // P6 100 x 6800: 34 glyphs of 100 x 200 stacked
  TORVELINPictureTiles,         // P6 32 x 384: 12 tiles of 32 x 32 stacked
  TORVELINPictureBobs,          // P6 32 x 224: 7 balls of 32 x 32 stacked
  TORVELINPictureLogo,          // P4 1024 x 256: letters are the clear bits
  TORVELINPictureSparkles,      // P5 1024 x 32: 32 steps of 32 x 32 side by side
  TORVELINPictureStrip,         // P4 256 x 2304: 9 frames of 256 x 256 stacked
  TORVELINPictureCount
};

// First byte of each picture's file.
extern const unsigned char* const TORVELINPictures[TORVELINPictureCount];

// Byte size of each picture's file.
extern "C" const std::size_t TORVELINPictureSizes[TORVELINPictureCount];
