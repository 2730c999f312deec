// The picture generator's families: each function draws one of the
// program's pictures at its final size.
#pragma once
#include <array>
#include <cstdint>

#include "raster.hpp"

namespace artgen {

// 8 x 8 character sheet, 256 x 80, cell n = character code n; 1 = lit pixel.
Bitmap makeCharacterSheet();
// The 8 rows of one character cell (bit 7 = leftmost pixel).
std::array<std::uint8_t, 8> characterRows(int code);

Pixmap makeTitleCard();     // 512 x 160
Pixmap makeScrollerFont();  // 34 glyphs of 100 x 200, stacked
Pixmap makeTiles();         // 12 tiles of 32 x 32, stacked
Pixmap makeBobs();          // 7 balls of 32 x 32, stacked
Bitmap makeLogo();          // 1024 x 256; 1 = background, 0 = letters
Greymap makeSparkles();     // 32 cells of 32 x 32 side by side
Bitmap makeStrip();         // 9 frames of 256 x 256 stacked; 1 = line

}  // namespace artgen
