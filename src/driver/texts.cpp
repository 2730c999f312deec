#include "driver/texts.hpp"

#include "driver/flavour.hpp"

namespace {

constexpr std::array<uint8_t, 256> BuildGlyphTable() {
  std::array<uint8_t, 256> table{};
  for (int code = 1; code < 128; ++code) table[code] = 1;
  for (int letter = 0; letter < 26; ++letter) {
    table['A' + letter] = static_cast<uint8_t>(2 + letter);
    table['a' + letter] = static_cast<uint8_t>(2 + letter);
  }
  table['.'] = 28;
  table[':'] = 29;
  table[';'] = 29;
  table[','] = 30;
  table['-'] = 31;
  table['!'] = 32;
  table['?'] = 33;
  for (int code = 128; code < 256; ++code) table[code] = table[code - 128];
  return table;
}

// Rows 209..223 ramp red and blue up together, 224..239 fade the blue out,
// 240..255 bring the green in: magenta to red to yellow.
constexpr std::array<uint32_t, 256> BuildFloorColours() {
  std::array<uint32_t, 256> colours{};
  for (uint32_t i = 209; i <= 223; ++i) colours[i] = 0x100010u * (i - 208);
  for (uint32_t i = 224; i <= 239; ++i) colours[i] = 0xF000F0u - 0x10u * (i - 224);
  for (uint32_t i = 240; i <= 255; ++i) colours[i] = 0xF00000u + 0x1000u * (i - 240);
  return colours;
}

std::array<uint32_t, 256> floorColours = BuildFloorColours();

}  // namespace

// Sentences are kept apart by runs of 2 to 14 spaces; the blank lead-in and
// tail let the message enter and leave an empty screen.
const char TORVELINScrollText[] =
    "        "
    "HELLO AND WELCOME TO TORVELIN!     "
    "PRESS KEYS:  O,P: SCROLL SPEED  ESC,Q: EXIT  SPACE: NEXT PART  F: FRAMES PER SECOND      "
    "COUNT-DOWN TO THE BIG SHOW: TEN, NINE, EIGHT, SEVEN, SIX, FIVE, FOUR, THREE, "
    "TWO, ONE... LIFT OFF!        "
    "CODE, PIXELS AND SOUND BY THE 6 TORVELIN DEVELOPERS: EVERY LASER, RASTER BAR, "
    "SPARKLE AND NOTE IS MADE BY OUR OWN CODE WHILE YOU WATCH.          "
    "TO SEE A WORLD IN A GRAIN OF SAND, AND A HEAVEN IN A WILD FLOWER, HOLD INFINITY "
    "IN THE PALM OF YOUR HAND, AND ETERNITY IN AN HOUR. - WILLIAM BLAKE              "
    "WARM GREETINGS TO: PIXEL HARVEST, NORTHWIND CREW, COPPER OWLS, BYTE ORCHARD, "
    "SILENT RASTER, HEXAGON SAILORS, MIDNIGHT ABACUS, VELVET VECTOR (AND ALL FRIENDS "
    "AT THE PARTY).       "
    "GRAB A DRINK, LEAN BACK AND ENJOY THE SHOW.      "
    "PRESS KEYS:  O,P: SCROLL SPEED  ESC,Q: EXIT  SPACE: NEXT PART  F: FRAMES PER SECOND        "
    "(c) THE TORVELIN TEAM - KEEP WATCHING, THE LOOP STARTS AGAIN!         ";
static_assert(sizeof(TORVELINScrollText) == TORVELINScrollTextLength + 1);

const char TORVELINLargeScrollText[] =
    "    "
    "TORVELIN     "
    "Winter Pixel Party     "
    "07 December 2026     "
    "Kelpwick Lantern Hall     "
    "MULTILAYER PARALLAX SCROLLS     "
    "ROTATIONS BLITS ZOOMS     "
    "Rasters and Sparkles     "
    "Six Laser Fans     "
    "Live Synth Music ";
static_assert(sizeof(TORVELINLargeScrollText) == TORVELINLargeScrollTextLength + 1);

constinit const std::array<uint8_t, 256> TORVELINGlyphTable = BuildGlyphTable();

// Codes 0xA0..0xCA pick the picture cells of the character sheet.
// clang-format off
const std::array<const char*, 24> TORVELINWindowedWords = {
    "QUAV",     "LOVE",     "JOY",      "2011",
    "SUNSHINE", "DANCE",    "SKY",      "PARTY",
    "APRIL",    "FUN",      "SPRING",   "FLOWER",
    "COMP",     "DEMO",     "OBJ ASM",  "SCENE",
    "BEACH",    "OCEAN",    "SUN",      "PLAY",
    "\xA0\xA1\xA3\xA1\xA0", "\xC9\xC9\xC9", "\xCA\xCA\xCA", "***"};

const std::array<const char*, 28> TORVELINFullScreenWords = {
    "QUAV",     "LOVE",     "JOY",      "2011",
    "WOODS",    "CONCERT",  "MUSIC",    "ELECTRO",
    "SUNSHINE", "DANCE",    "SKY",      "PARTY",
    "APRIL",    "FUN",      "SPRING",   "FLOWER",
    "COMP",     "DEMO",     "OBJ ASM",  "SCENE",
    "BEACH",    "OCEAN",    "SUN",      "PLAY",
    "\xA0\xA1\xA3\xA1\xA0", "\xC9\xC9\xC9", "\xCA\xCA\xCA", "***"};
// clang-format on

const char* const* TORVELINWords() {
  return TORVELINFullScreen ? TORVELINFullScreenWords.data() : TORVELINWindowedWords.data();
}

int TORVELINWordCount() {
  return TORVELINFullScreen ? static_cast<int>(TORVELINFullScreenWords.size())
                            : static_cast<int>(TORVELINWindowedWords.size());
}

const std::array<uint32_t, 12> TORVELINPastel = {0xff8080, 0xffc080, 0xffff80, 0xc0ff80,
                                                 0x80ff80, 0x80ffc0, 0x80ffff, 0x80c0ff,
                                                 0x8080ff, 0xc080ff, 0xff80ff, 0xff80c0};

const std::array<uint32_t, 24> TORVELINHues = {
    0xff0000, 0xff4000, 0xff8000, 0xffc000, 0xffff00, 0xc0ff00, 0x80ff00, 0x40ff00,
    0x00ff00, 0x00ff40, 0x00ff80, 0x00ffc0, 0x00ffff, 0x00c0ff, 0x0080ff, 0x0040ff,
    0x0000ff, 0x4000ff, 0x8000ff, 0xc000ff, 0xff00ff, 0xff00c0, 0xff0080, 0xff0040};

constinit RASTER TORVELINFloorRaster = {256, 0, floorColours.data()};
