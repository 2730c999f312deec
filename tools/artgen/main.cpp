// artgen: draws every picture of the intro and writes them as binary PNM
// files (the bytes the program embeds) plus PNG previews.
//   artgen <output directory>
// The output depends on nothing but this source: no clock, no unseeded
// randomness.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "artgen.hpp"
#include "writers.hpp"

namespace {

using namespace artgen;

void writeAll(const std::filesystem::path& dir) {
  const std::filesystem::path previews = dir / "previews";
  std::filesystem::create_directories(previews);
  auto file = [&](const char* name) { return (dir / name).string(); };
  auto preview = [&](const char* name) { return (previews / name).string(); };

  const Bitmap characters = makeCharacterSheet();
  writePBM(file("characters.pbm"), characters, "TORVELIN 8x8 characters: one cell per code, 32 cells a row, set bits lit");
  writePNG(preview("characters.png"), bitsAsColour(characters, false));

  const Pixmap card = makeTitleCard();
  writePPM(file("titlecard.ppm"), card, "");
  writePNG(preview("titlecard.png"), card);

  const Pixmap scroller = makeScrollerFont();
  writePPM(file("scroller_font.ppm"), scroller, "TORVELIN chrome scroller letters, 34 cells of 100x200 stacked");
  writePNG(preview("scroller_font.png"), scroller);

  const Pixmap tiles = makeTiles();
  writePPM(file("tiles.ppm"), tiles, "TORVELIN wall tiles, 12 cells of 32x32 stacked, each wraps at its edges");
  writePNG(preview("tiles.png"), tiles);

  const Pixmap bobs = makeBobs();
  writePPM(file("bobs.ppm"), bobs, "TORVELIN shaded balls, 7 cells of 32x32 stacked, black around each ball");
  writePNG(preview("bobs.png"), bobs);

  const Bitmap logo = makeLogo();
  writePBM(file("logo.pbm"), logo, "TORVELIN logo: clear bits are the letters, set bits the background");
  writePNG(preview("logo.png"), bitsAsColour(logo, true));

  const Greymap sparkles = makeSparkles();
  writePGM(file("sparkles.pgm"), sparkles, "TORVELIN twinkle, 32 steps of 32x32 side by side, grey on black");
  writePNG(preview("sparkles.png"), greyAsColour(sparkles));

  const Bitmap strip = makeStrip();
  writePBM(file("strip.pbm"), strip, "TORVELIN turning wireframe, 9 frames of 256x256 stacked, loops");
  writePNG(preview("strip.png"), bitsAsColour(strip, false));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: artgen <output directory>\n");
    return 2;
  }
  try {
    writeAll(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "artgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
