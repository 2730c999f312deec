// Files written by the standard PNM command-line tools load to the expected
// pixels, and the tools read back what IMGSave writes. Skipped where the
// tools are not installed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "img_test_util.hpp"

namespace {

bool HasTool(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

struct TempDir {
  std::filesystem::path path;
  TempDir() {
    char name[] = "/tmp/img_interop_XXXXXX";
    path = mkdtemp(name);
  }
  ~TempDir() { std::filesystem::remove_all(path); }
  std::string File(const std::string& name) const { return (path / name).string(); }
};

bool RunTool(const std::string& command) { return std::system(command.c_str()) == 0; }

std::string Output(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char chunk[4096];
    for (size_t n; (n = fread(chunk, 1, sizeof chunk, pipe)) > 0;) text.append(chunk, n);
    pclose(pipe);
  }
  return text;
}

// Pictures in the tools' own plain formats, with the words our reader must
// give for them. A plain PBM 1 is black to the tools and a set (white)
// pixel to us.
struct Picture {
  const char* name;
  const char* plain;
  int width, height;
  std::vector<uint32_t> pixels;
};

const Picture pictures[] = {
    {"bits.pbm", "P1\n5 2\n1 0 1 1 0\n0 1 1 0 1\n", 5, 2,
     {0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF, 0, 0, 0xFFFFFF, 0xFFFFFF, 0, 0xFFFFFF}},
    {"grey.pgm", "P2\n3 2\n255\n0 17 255\n128 10 200\n", 3, 2,
     {0, 0x111111, 0xFFFFFF, 0x808080, 0x0A0A0A, 0xC8C8C8}},
    {"colour.ppm", "P3\n2 2\n255\n255 0 0  0 255 0\n0 0 255  10 20 30\n", 2, 2,
     {0xFF0000, 0x00FF00, 0x0000FF, 0x0A141E}},
};

void ExpectLoads(const std::string& path, const Picture& picture, const char* writer) {
  ImgPtr img(IMGLoad(path.c_str()));
  ASSERT_NE(img, nullptr) << writer << " " << picture.name;
  EXPECT_EQ(img->width, picture.width) << writer << " " << picture.name;
  EXPECT_EQ(img->height, picture.height);
  EXPECT_EQ(Pixels(img.get()), picture.pixels) << writer << " " << picture.name;
}

// The numbers of a plain P3 text after its header, or empty when it is not
// one of the given size.
std::vector<int> PlainColourSamples(const std::string& text, int width, int height) {
  std::istringstream lines(text);
  std::string uncommented;
  for (std::string line; std::getline(lines, line);)
    if (line.empty() || line[0] != '#') uncommented += line + "\n";
  std::istringstream in(uncommented);
  std::string magic;
  int w = 0, h = 0, max = 0;
  in >> magic >> w >> h >> max;
  if (magic != "P3" || w != width || h != height || max != 255) return {};
  std::vector<int> samples;
  for (int v; in >> v;) samples.push_back(v);
  return samples;
}

ImgPtr SavedPicture() {
  ImgPtr img = MakeImage(4, 3);
  for (int i = 0; i < 12; ++i) img->pixels[i] = static_cast<uint32_t>(i * 0x1A0B3D + 0x0A0A0A) & 0xFFFFFF;
  return img;
}

std::vector<int> SamplesOf(const IMG* img) {
  std::vector<int> samples;
  for (uint32_t p : Pixels(img)) {
    samples.push_back(static_cast<int>(p >> 16 & 255));
    samples.push_back(static_cast<int>(p >> 8 & 255));
    samples.push_back(static_cast<int>(p & 255));
  }
  return samples;
}

}  // namespace

TEST(IMGInterop, LoadsPlainAndRawFilesWrittenByNetpbm) {
  if (!HasTool("pamtopnm") || !HasTool("pnmtoplainpnm")) GTEST_SKIP() << "netpbm not installed";
  TempDir dir;
  for (const Picture& picture : pictures) {
    const std::string source = dir.File(std::string("source-") + picture.name);
    std::ofstream(source) << picture.plain;
    const std::string raw = dir.File(std::string("raw-") + picture.name);
    const std::string plain = dir.File(std::string("plain-") + picture.name);
    ASSERT_TRUE(RunTool("pamtopnm < " + source + " > " + raw));
    ASSERT_TRUE(RunTool("pnmtoplainpnm < " + raw + " > " + plain));
    // The raw file is binary (P4, P5, P6) and the plain one is text.
    std::ifstream rawIn(raw);
    EXPECT_GE(rawIn.get() == 'P' ? rawIn.get() : 0, '4') << raw;
    ExpectLoads(raw, picture, "pamtopnm");
    ExpectLoads(plain, picture, "pnmtoplainpnm");
  }
}

TEST(IMGInterop, LoadsPlainAndRawFilesWrittenByImageMagick) {
  if (!HasTool("convert")) GTEST_SKIP() << "ImageMagick not installed";
  TempDir dir;
  for (const Picture& picture : pictures) {
    const std::string source = dir.File(std::string("source-") + picture.name);
    std::ofstream(source) << picture.plain;
    const std::string raw = dir.File(std::string("raw-") + picture.name);
    const std::string plain = dir.File(std::string("plain-") + picture.name);
    ASSERT_TRUE(RunTool("convert " + source + " " + raw));
    ASSERT_TRUE(RunTool("convert " + source + " -compress none " + plain));
    ExpectLoads(raw, picture, "convert");
    ExpectLoads(plain, picture, "convert -compress none");
  }
}

TEST(IMGInterop, ToolsReadWhatSaveWrites) {
  const bool netpbm = HasTool("pnmtoplainpnm");
  const bool magick = HasTool("convert");
  if (!netpbm && !magick) GTEST_SKIP() << "no PNM tools installed";
  TempDir dir;
  ImgPtr img = SavedPicture();
  const std::string path = dir.File("saved.ppm");
  ASSERT_TRUE(IMGSave(img.get(), path.c_str()));
  const std::vector<int> expected = SamplesOf(img.get());
  if (netpbm) {
    EXPECT_EQ(PlainColourSamples(Output("pnmtoplainpnm " + path), 4, 3), expected);
  }
  if (magick) {
    EXPECT_EQ(PlainColourSamples(Output("convert " + path + " -compress none ppm:-"), 4, 3), expected);
  }
}
