// The driver's constant data: the two scroll texts, the glyph table that maps
// characters to scroller-font cells, the laser scene's word tables, the logo
// scene's tint tables and the scroller scene's raster floor.
#pragma once
#include <array>
#include <cstdint>

#include "effects/raster.hpp"

inline constexpr int TORVELINScrollTextLength = 931;
inline constexpr int TORVELINLargeScrollTextLength = 206;

// The sine scroller's message, before translation through the glyph table.
extern const char TORVELINScrollText[TORVELINScrollTextLength + 1];
// The giant-letter scroller's text, drawn untranslated.
extern const char TORVELINLargeScrollText[TORVELINLargeScrollTextLength + 1];

// Character code -> scroller glyph: 0 stays 0, letters of either case give
// 2..27, a few punctuation marks 28..33, every other code below 128 the blank
// cell 1; codes from 128 repeat the lower half.
extern const std::array<uint8_t, 256> TORVELINGlyphTable;

// The words the laser scene writes. The full-screen program carries four more.
extern const std::array<const char*, 24> TORVELINWindowedWords;
extern const std::array<const char*, 28> TORVELINFullScreenWords;
// The table of the program being linked (chosen by TORVELINFullScreen).
const char* const* TORVELINWords();
int TORVELINWordCount();

// Tints of the logo scene.
extern const std::array<uint32_t, 12> TORVELINPastel;
extern const std::array<uint32_t, 24> TORVELINHues;

// The scroller scene's floor: 256 colours, position 0, black down to row 208
// then a magenta-red-yellow ramp. Statically initialised, never freed.
extern RASTER TORVELINFloorRaster;
