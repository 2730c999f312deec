// Checks of the embedded pictures, read straight from the program's data:
// header shapes, sizes and order, and the content rules each scene relies
// on (transparent backgrounds, channel limits, letter polarity, loops).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver/pictures.hpp"

namespace {

// A decoded picture: one value per pixel, 0x00RRGGBB for P6, the grey level
// for P5 and the raw bit (1 = set) for P4.
struct Picture {
  std::string magic;
  std::string comment;  // empty when the header has none
  int width = 0, height = 0, maxval = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

std::string readLine(const unsigned char* data, std::size_t size, std::size_t& pos) {
  std::string line;
  while (pos < size && data[pos] != '\n') line.push_back(char(data[pos++]));
  if (pos >= size) throw std::runtime_error("header runs past the data");
  ++pos;
  return line;
}

// Parses the header line by line, insisting on the exact shape the program
// embeds, then the raster, which must fill the file exactly.
Picture parse(TORVELINPicture which) {
  const unsigned char* data = TORVELINPictures[which];
  const std::size_t size = TORVELINPictureSizes[which];
  Picture p;
  std::size_t pos = 0;
  p.magic = readLine(data, size, pos);
  std::string line = readLine(data, size, pos);
  if (!line.empty() && line[0] == '#') {
    p.comment = line;
    line = readLine(data, size, pos);
  }
  if (std::sscanf(line.c_str(), "%d %d", &p.width, &p.height) != 2) throw std::runtime_error("bad size line");
  if (p.magic != "P4") p.maxval = std::atoi(readLine(data, size, pos).c_str());
  const std::size_t count = std::size_t(p.width) * std::size_t(p.height);
  const std::size_t rowBytes = std::size_t(p.width + 7) / 8;
  const std::size_t raster = p.magic == "P4" ? rowBytes * std::size_t(p.height) : p.magic == "P5" ? count : 3 * count;
  if (pos + raster != size) throw std::runtime_error("raster does not fill the file exactly");
  p.pixels.resize(count);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      std::uint32_t& v = p.pixels[std::size_t(y) * std::size_t(p.width) + std::size_t(x)];
      const std::size_t i = std::size_t(y) * std::size_t(p.width) + std::size_t(x);
      if (p.magic == "P4") v = (data[pos + std::size_t(y) * rowBytes + std::size_t(x / 8)] >> (7 - x % 8)) & 1u;
      else if (p.magic == "P5") v = data[pos + i];
      else v = std::uint32_t(data[pos + 3 * i]) << 16 | std::uint32_t(data[pos + 3 * i + 1]) << 8 | data[pos + 3 * i + 2];
    }
  return p;
}

int red(std::uint32_t c) { return int(c >> 16 & 255); }
int green(std::uint32_t c) { return int(c >> 8 & 255); }
int blue(std::uint32_t c) { return int(c & 255); }

// Counts pixels of a cell (x0, y0, w, h) that satisfy a test.
template <typename Test>
int countIn(const Picture& p, int x0, int y0, int w, int h, Test test) {
  int n = 0;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) n += test(p.at(x, y)) ? 1 : 0;
  return n;
}

std::vector<std::uint32_t> cell(const Picture& p, int x0, int y0, int w, int h) {
  std::vector<std::uint32_t> out;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) out.push_back(p.at(x, y));
  return out;
}

struct Shape {
  TORVELINPicture which;
  const char* magic;
  int width, height;
};

constexpr Shape Shapes[] = {
    {TORVELINPictureCharacters, "P4", 256, 80},    {TORVELINPictureTitleCard, "P6", 512, 160},
    {TORVELINPictureScrollerFont, "P6", 100, 6800}, {TORVELINPictureTiles, "P6", 32, 384},
    {TORVELINPictureBobs, "P6", 32, 224},           {TORVELINPictureLogo, "P4", 1024, 256},
    {TORVELINPictureSparkles, "P5", 1024, 32},      {TORVELINPictureStrip, "P4", 256, 2304},
};

TEST(TORVELINPictures, HeadersHaveTheEmbeddedShapeAndSize) {
  for (const Shape& s : Shapes) {
    SCOPED_TRACE(s.which);
    const Picture p = parse(s.which);
    EXPECT_EQ(p.magic, s.magic);
    EXPECT_EQ(p.width, s.width);
    EXPECT_EQ(p.height, s.height);
    if (p.magic != "P4") {
      EXPECT_EQ(p.maxval, 255);
    }
    if (s.which == TORVELINPictureTitleCard) {
      EXPECT_TRUE(p.comment.empty()) << "the title card carries no comment line";
    } else {
      EXPECT_EQ(p.comment.size(), 95u);
      EXPECT_EQ(p.comment.find('\r'), std::string::npos);
    }
  }
}

TEST(TORVELINPictures, FilesLieBackToBackInDataOrder) {
  for (int i = 0; i + 1 < TORVELINPictureCount; ++i)
    EXPECT_EQ(TORVELINPictures[i] + TORVELINPictureSizes[i], TORVELINPictures[i + 1]) << "after picture " << i;
  // Every picture starts with its magic, so a shifted table would show here.
  for (const Shape& s : Shapes) EXPECT_EQ(std::string(reinterpret_cast<const char*>(TORVELINPictures[s.which]), 2), s.magic);
}

TEST(TORVELINPictures, CharacterSheetHasDistinctPrintableGlyphsAndPictureCells) {
  const Picture p = parse(TORVELINPictureCharacters);
  auto glyph = [&](int code) { return cell(p, code % 32 * 8, code / 32 * 8, 8, 8); };
  auto lit = [&](int code) { return countIn(p, code % 32 * 8, code / 32 * 8, 8, 8, [](std::uint32_t v) { return v != 0; }); };
  EXPECT_EQ(lit(' '), 0);
  for (int code = 0; code < 32; ++code) EXPECT_EQ(lit(code), 0) << "control code " << code;
  for (int code = 33; code < 127; ++code) {
    EXPECT_GT(lit(code), 1) << "code " << code;
    for (int other = 33; other < code; ++other) EXPECT_NE(glyph(code), glyph(other)) << code << " vs " << other;
  }
  for (int code : {0xA0, 0xA1, 0xA3, 0xC9, 0xCA}) EXPECT_GT(lit(code), 12) << "picture cell " << code;
  // Capitals and digits leave the right column and the bottom row free, so
  // neighbouring letters never touch at any enlargement.
  for (int code : {'0', '5', '9', 'A', 'M', 'W', 'Z'}) {
    const int x0 = code % 32 * 8, y0 = code / 32 * 8;
    EXPECT_EQ(countIn(p, x0 + 7, y0, 1, 8, [](std::uint32_t v) { return v != 0; }), 0) << char(code);
    EXPECT_EQ(countIn(p, x0, y0 + 7, 8, 1, [](std::uint32_t v) { return v != 0; }), 0) << char(code);
  }
}

TEST(TORVELINPictures, ScrollerGlyphsAreOutlinedOnAZeroBackground) {
  const Picture p = parse(TORVELINPictureScrollerFont);
  for (int g = 0; g < 2; ++g)
    EXPECT_EQ(countIn(p, 0, g * 200, 100, 200, [](std::uint32_t v) { return v != 0; }), 0) << "blank glyph " << g;
  std::vector<std::vector<std::uint32_t>> seen;
  for (int g = 2; g < 34; ++g) {
    SCOPED_TRACE(g);
    const int top = g * 200;
    EXPECT_GT(countIn(p, 0, top, 100, 170, [](std::uint32_t v) { return v != 0; }), 150);
    EXPECT_EQ(countIn(p, 0, top + 170, 100, 30, [](std::uint32_t v) { return v != 0; }), 0) << "body below row 170";
    // The edge of every letter is its dark outline: a lit pixel beside a
    // background pixel must be dark but never 0.
    int edge = 0, brightEdge = 0;
    for (int y = top + 1; y < top + 199; ++y)
      for (int x = 1; x < 99; ++x) {
        const std::uint32_t v = p.at(x, y);
        if (v == 0) continue;
        if (p.at(x - 1, y) && p.at(x + 1, y) && p.at(x, y - 1) && p.at(x, y + 1)) continue;
        ++edge;
        if (red(v) + green(v) + blue(v) > 200) ++brightEdge;
      }
    EXPECT_GT(edge, 40);
    EXPECT_EQ(brightEdge, 0);
    // Letters carry a gradient, not a flat colour.
    std::vector<std::uint32_t> colours = cell(p, 0, top, 100, 200);
    std::sort(colours.begin(), colours.end());
    EXPECT_GT(std::unique(colours.begin(), colours.end()) - colours.begin(), 40);
    const auto glyph = cell(p, 0, top, 100, 200);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), glyph), 0) << "duplicate glyph";
    seen.push_back(glyph);
  }
}

TEST(TORVELINPictures, TilesAreDistinctSeamlessAndNeverPureBlack) {
  const Picture p = parse(TORVELINPictureTiles);
  auto difference = [](std::uint32_t a, std::uint32_t b) {
    return std::abs(red(a) - red(b)) + std::abs(green(a) - green(b)) + std::abs(blue(a) - blue(b));
  };
  for (int t = 0; t < 12; ++t) {
    SCOPED_TRACE(t);
    const int top = t * 32;
    EXPECT_EQ(countIn(p, 0, top, 32, 32, [](std::uint32_t v) { return v == 0; }), 0);
    for (int other = 0; other < t; ++other) EXPECT_NE(cell(p, 0, top, 32, 32), cell(p, 0, other * 32, 32, 32));
    // Laid edge to edge, the wrap from the last column (row) to the first
    // must be no harsher than the strongest step inside the tile.
    auto columnStep = [&](int a, int b) {
      int sum = 0;
      for (int y = 0; y < 32; ++y) sum += difference(p.at(a, top + y), p.at(b, top + y));
      return sum;
    };
    auto rowStep = [&](int a, int b) {
      int sum = 0;
      for (int x = 0; x < 32; ++x) sum += difference(p.at(x, top + a), p.at(x, top + b));
      return sum;
    };
    int innerColumns = 0, innerRows = 0;
    for (int i = 0; i < 31; ++i) {
      innerColumns = std::max(innerColumns, columnStep(i, i + 1));
      innerRows = std::max(innerRows, rowStep(i, i + 1));
    }
    EXPECT_LE(columnStep(31, 0), innerColumns);
    EXPECT_LE(rowStep(31, 0), innerRows);
  }
}

TEST(TORVELINPictures, BobsAreBallsOnZeroWithModerateChannels) {
  const Picture p = parse(TORVELINPictureBobs);
  std::vector<std::uint32_t> brightest;
  for (int b = 0; b < 7; ++b) {
    SCOPED_TRACE(b);
    std::uint32_t best = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        const std::uint32_t v = p.at(x, b * 32 + y);
        const double r = std::hypot(x + 0.5 - 15.5, y + 0.5 - 15.5);
        EXPECT_LE(std::max({red(v), green(v), blue(v)}), 127) << x << "," << y;
        if (r > 15.5) {
          EXPECT_EQ(v, 0u) << "outside the ball at " << x << "," << y;
        }
        if (r < 13.0) {
          EXPECT_NE(v, 0u) << "hole in the ball at " << x << "," << y;
        }
        if (red(v) + green(v) + blue(v) > red(best) + green(best) + blue(best)) best = v;
      }
    // A highlight: the brightest point sits up and to the left of centre.
    int hx = 0, hy = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        if (p.at(x, b * 32 + y) == best) hx = x, hy = y;
    EXPECT_LT(hx, 16);
    EXPECT_LT(hy, 16);
  }
  // Seven different colours: the mean colour of each ball differs.
  std::vector<std::uint32_t> means;
  for (int b = 0; b < 7; ++b) {
    long r = 0, g = 0, bl = 0;
    for (std::uint32_t v : cell(p, 0, b * 32, 32, 32)) r += red(v), g += green(v), bl += blue(v);
    means.push_back(std::uint32_t((r / 1024) << 16 | (g / 1024) << 8 | (bl / 1024)));
  }
  std::sort(means.begin(), means.end());
  EXPECT_EQ(std::unique(means.begin(), means.end()), means.end());
}

TEST(TORVELINPictures, LogoLettersAreTheClearBitsOnASetBackground) {
  const Picture p = parse(TORVELINPictureLogo);
  const int clear = countIn(p, 0, 0, 1024, 256, [](std::uint32_t v) { return v == 0; });
  EXPECT_GT(clear, 1024 * 256 / 10);
  EXPECT_LT(clear, 1024 * 256 / 2) << "letters (clear) must not outweigh the background (set)";
  // The frame around the name is background.
  EXPECT_EQ(countIn(p, 0, 0, 1024, 2, [](std::uint32_t v) { return v == 0; }), 0);
  EXPECT_EQ(countIn(p, 0, 254, 1024, 2, [](std::uint32_t v) { return v == 0; }), 0);
  // Eight letters: each 128-wide box holds a solid run of clear bits.
  for (int letter = 0; letter < 8; ++letter) {
    int longestRun = 0;
    for (int y = 0; y < 256; ++y) {
      int run = 0;
      for (int x = letter * 128; x < letter * 128 + 128; ++x) {
        run = p.at(x, y) == 0 ? run + 1 : 0;
        longestRun = std::max(longestRun, run);
      }
    }
    EXPECT_GE(longestRun, 20) << "letter " << letter;
  }
}

// The logo is shown from a quarter up to twice its size by nearest-neighbour
// resizing, which breaks up hatching, dither and hairlines. Count the runs of
// equal bits along rows and columns (those touching the picture's edge
// aside): runs under 3 pixels may only occur where an edge turns a corner.
TEST(TORVELINPictures, LogoHasNoDetailFinerThanItsSmallestCopyKeeps) {
  const Picture p = parse(TORVELINPictureLogo);
  int runs = 0, thin = 0;
  auto scan = [&](int length, auto bit) {
    int run = 1;
    for (int i = 1; i < length; ++i) {
      if (bit(i) == bit(i - 1)) {
        ++run;
        continue;
      }
      if (run != i) {  // the first run touches the edge
        ++runs;
        thin += run < 3;
      }
      run = 1;
    }
  };
  for (int y = 0; y < p.height; ++y) scan(p.width, [&](int x) { return p.at(x, y); });
  for (int x = 0; x < p.width; ++x) scan(p.height, [&](int y) { return p.at(x, y); });
  ASSERT_GT(runs, 1000) << "the letters have edges";
  EXPECT_LT(thin * 100, runs) << thin << " of " << runs << " runs are under 3 pixels";
}

TEST(TORVELINPictures, SparklesTwinkleOnAZeroBackground) {
  const Picture p = parse(TORVELINPictureSparkles);
  std::vector<long> energy;
  for (int c = 0; c < 32; ++c) {
    SCOPED_TRACE(c);
    const int left = c * 32;
    EXPECT_EQ(countIn(p, left, 0, 32, 1, [](std::uint32_t v) { return v != 0; }), 0);
    EXPECT_EQ(countIn(p, left, 31, 32, 1, [](std::uint32_t v) { return v != 0; }), 0);
    EXPECT_EQ(countIn(p, left, 0, 1, 32, [](std::uint32_t v) { return v != 0; }), 0);
    EXPECT_EQ(countIn(p, left + 31, 0, 1, 32, [](std::uint32_t v) { return v != 0; }), 0);
    long sum = 0;
    for (std::uint32_t v : cell(p, left, 0, 32, 32)) sum += long(v);
    energy.push_back(sum);
  }
  const long peak = *std::max_element(energy.begin(), energy.end());
  const auto peakAt = std::max_element(energy.begin(), energy.end()) - energy.begin();
  EXPECT_GE(peakAt, 6);
  EXPECT_LE(peakAt, 22);
  EXPECT_LT(energy.front() * 10, peak) << "starts small";
  EXPECT_LT(energy.back() * 10, peak) << "fades out";
  // The flare reaches far along the axes, beyond the glow.
  const int centre = int(peakAt) * 32 + 16;
  EXPECT_GT(p.at(centre, 4), 0u);
  EXPECT_GT(p.at(int(peakAt) * 32 + 4, 16), 0u);
}

TEST(TORVELINPictures, StripFramesChangeEvenlyAndLoop) {
  const Picture p = parse(TORVELINPictureStrip);
  auto changed = [&](int a, int b) {
    int n = 0;
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) n += p.at(x, a * 256 + y) != p.at(x, b * 256 + y);
    return n;
  };
  int smallest = 1 << 30, largest = 0;
  for (int f = 0; f < 9; ++f) {
    EXPECT_GT(countIn(p, 0, f * 256, 256, 256, [](std::uint32_t v) { return v != 0; }), 2000) << "frame " << f;
    const int step = changed(f, (f + 1) % 9);
    smallest = std::min(smallest, step);
    largest = std::max(largest, step);
  }
  EXPECT_GT(smallest, 0) << "every frame moves";
  // The jump from the last frame back to the first is a step like the others.
  EXPECT_LE(changed(8, 0), smallest * 3 / 2 + 200);
  EXPECT_LE(largest, smallest * 3 / 2 + 200);
}

}  // namespace
