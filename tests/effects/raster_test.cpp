#include "effects/raster.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "image/img.hpp"

namespace {

struct OwnedImage {
  IMG* img = IMGNew();
  OwnedImage(int w, int h) { IMGAlloc(img, w, h); }
  OwnedImage(const OwnedImage&) = delete;
  OwnedImage& operator=(const OwnedImage&) = delete;
  ~OwnedImage() { IMGFree(&img); }
  uint32_t At(int x, int y) const { return img->pixels[y * img->width + x]; }
  void Fill(uint32_t colour) {
    for (int i = 0; i < img->width * img->height; ++i) img->pixels[i] = colour;
  }
};

struct OwnedRaster {
  RASTER* raster;
  explicit OwnedRaster(RASTER* owned = RASTERNew()) : raster(owned) {}
  OwnedRaster(const OwnedRaster&) = delete;
  OwnedRaster& operator=(const OwnedRaster&) = delete;
  ~OwnedRaster() {
    if (raster != nullptr) RASTERFree(&raster);
  }
};

// Every entry distinct, so a row shows which entry painted it.
void FillDistinct(RASTER* raster) {
  for (int i = 0; i < raster->count; ++i) raster->colours[i] = (0x010203u * (i + 1)) & 0xFFFFFFu;
}

// Runs `action` and returns what it printed on standard output.
template <typename Action>
std::string Printed(Action action) {
  testing::internal::CaptureStdout();
  action();
  return testing::internal::GetCapturedStdout();
}

std::string Repeated(const std::string& line, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += line;
  return text;
}

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

}  // namespace

TEST(RASTER, NewGivesTwoHundredFiftySixBlackEntries) {
  OwnedRaster r;
  ASSERT_NE(r.raster, nullptr);
  EXPECT_EQ(r.raster->count, 256);
  EXPECT_EQ(r.raster->position, 0);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(r.raster->colours[i], 0u);
}

TEST(RASTER, DrawPaintsEachRowFromTheTableAndRepeatsIt) {
  OwnedRaster r;
  FillDistinct(r.raster);
  OwnedImage img(7, 300);
  RASTERDraw(r.raster, img.img);
  for (int y = 0; y < 300; ++y) {
    for (int x = 0; x < 7; ++x) ASSERT_EQ(img.At(x, y), r.raster->colours[y % 256]) << y;
  }

  r.raster->position = 250;
  RASTERDraw(r.raster, img.img);
  EXPECT_EQ(img.At(0, 0), r.raster->colours[250]);
  EXPECT_EQ(img.At(6, 5), r.raster->colours[255]);
  EXPECT_EQ(img.At(3, 6), r.raster->colours[0]);
  EXPECT_EQ(img.At(3, 299), r.raster->colours[(250 + 299) % 256]);
}

TEST(RASTER, DrawBlendMixesEveryRowWithWhatIsThere) {
  OwnedRaster r;
  RASTERAlloc(r.raster, 2);
  r.raster->colours[0] = 0xFFFFFF;
  r.raster->colours[1] = 0x000000;
  OwnedImage img(3, 4);
  img.Fill(0x000000);
  RASTERDrawBlend(r.raster, img.img, 128);
  EXPECT_EQ(img.At(0, 0), 0x7F7F7Fu);
  EXPECT_EQ(img.At(2, 1), 0x000000u);
  EXPECT_EQ(img.At(1, 2), 0x7F7F7Fu);
}

TEST(RASTER, StepWrapsAtTheEndOfTheTable) {
  OwnedRaster r;
  r.raster->position = 254;
  RASTERStep(r.raster);
  EXPECT_EQ(r.raster->position, 255);
  RASTERStep(r.raster);
  EXPECT_EQ(r.raster->position, 0);
}

TEST(RASTER, HLineClipsToTheImage) {
  OwnedImage img(10, 4);
  RASTERHLine(img.img, 0xABCDEF, 2, -5, 15);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(img.At(x, 2), 0xABCDEFu);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(img.At(x, 1) | img.At(x, 3), 0u);

  RASTERHLine(img.img, 0x123456, 1, 3, 5);
  EXPECT_EQ(img.At(2, 1), 0u);
  EXPECT_EQ(img.At(3, 1), 0x123456u);
  EXPECT_EQ(img.At(5, 1), 0x123456u);
  EXPECT_EQ(img.At(6, 1), 0u);

  OwnedImage untouched(10, 4);
  RASTERHLine(untouched.img, 0xFFFFFF, 4, 0, 9);
  RASTERHLine(untouched.img, 0xFFFFFF, -1, 0, 9);
  RASTERHLine(untouched.img, 0xFFFFFF, 0, 7, 2);
  RASTERHLine(untouched.img, 0xFFFFFF, 0, 10, 20);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(untouched.img->pixels[i], 0u);
  // A missing image is the image module's error, not ours.
  EXPECT_EQ(Printed([] { RASTERHLine(nullptr, 1, 0, 0, 0); }), "");
}

TEST(RASTER, HLineBlendWeighsEachChannelApart) {
  OwnedImage img(4, 1);
  RASTERHLineBlend(img.img, 0xFFFFFF, 0, 0, 3, 128);
  EXPECT_EQ(img.At(0, 0), 0x7F7F7Fu);

  img.Fill(0x102030);
  RASTERHLineBlend(img.img, 0x302010, 0, 1, 1, 64);
  EXPECT_EQ(img.At(1, 0), 0x182028u);
  EXPECT_EQ(img.At(0, 0), 0x102030u);

  RASTERHLineBlend(img.img, 0x302010, 0, 2, 2, 0);
  EXPECT_EQ(img.At(2, 0), 0x102030u);
  RASTERHLineBlend(img.img, 0x302010, 0, 3, 3, 256);
  EXPECT_EQ(img.At(3, 0), 0x302010u);

  // No channel spills into its neighbour at full values.
  img.Fill(0xFFFFFF);
  RASTERHLineBlend(img.img, 0xFFFFFF, 0, 0, 3, 255);
  EXPECT_EQ(img.At(0, 0), 0xFFFFFFu);
  // Out-of-range weights are held to 0..256.
  RASTERHLineBlend(img.img, 0x000000, 0, 0, 0, 999);
  EXPECT_EQ(img.At(0, 0), 0u);
  RASTERHLineBlend(img.img, 0x000000, 0, 1, 1, -5);
  EXPECT_EQ(img.At(1, 0), 0xFFFFFFu);
}

TEST(RASTER, SmoothSpreadsAnEntryToItsNeighbours) {
  OwnedRaster r;
  r.raster->colours[100] = 0xFFFFFF;
  RASTERSmooth(r.raster, 1);
  EXPECT_EQ(r.raster->colours[100], 0x7F7F7Fu);
  EXPECT_EQ(r.raster->colours[101], 0x3F3F3Fu);
  EXPECT_EQ(r.raster->colours[99], 0x3F3F3Fu);
  EXPECT_EQ(r.raster->colours[98], 0u);
  EXPECT_EQ(r.raster->colours[102], 0u);
}

TEST(RASTER, SmoothWrapsOnTheRightAndMirrorsAtZero) {
  OwnedRaster r;
  r.raster->colours[0] = 0x0000FF;
  RASTERSmooth(r.raster, 1);
  // Index 1 sees index 0 on its left, and index 0 sees index 1 on both sides.
  EXPECT_EQ(r.raster->colours[0], 0x00007Fu);
  EXPECT_EQ(r.raster->colours[1], 0x00003Fu);
  // The last entry's right-hand neighbour is entry 0.
  EXPECT_EQ(r.raster->colours[255], 0x00003Fu);

  OwnedRaster mirrored;
  mirrored.raster->colours[1] = 0xFF0000;
  RASTERSmooth(mirrored.raster, 1);
  EXPECT_EQ(mirrored.raster->colours[0], 0x7F0000u);
  EXPECT_EQ(mirrored.raster->colours[1], 0x7F0000u);
  EXPECT_EQ(mirrored.raster->colours[2], 0x3F0000u);
}

TEST(RASTER, SmoothUsesOnlyTheOldTable) {
  OwnedRaster r;
  RASTERAlloc(r.raster, 8);
  for (int i = 0; i < 8; ++i) r.raster->colours[i] = 0x808080;
  r.raster->colours[4] = 0x000000;
  RASTERSmooth(r.raster, 2);
  // Entry 4 is smoothed before 3: an in-place blur would darken 3 further.
  EXPECT_EQ(r.raster->colours[4], 0x555555u);
  EXPECT_EQ(r.raster->colours[5], 0x6A6A6Au);
  EXPECT_EQ(r.raster->colours[3], 0x6A6A6Au);
  EXPECT_EQ(r.raster->colours[0], 0x808080u);
}

TEST(RASTER, EqualIgnoresThePositionButNotTheColours) {
  OwnedRaster a, b;
  FillDistinct(a.raster);
  FillDistinct(b.raster);
  b.raster->position = 17;
  EXPECT_TRUE(RASTEREqual(a.raster, b.raster));
  b.raster->colours[200] ^= 1;
  EXPECT_FALSE(RASTEREqual(a.raster, b.raster));
  RASTERAlloc(b.raster, 255);
  EXPECT_FALSE(RASTEREqual(a.raster, b.raster));
  EXPECT_EQ(Printed([&] { EXPECT_FALSE(RASTEREqual(a.raster, nullptr)); }), "RASTER error\n");
}

TEST(RASTER, CloneCopiesTheTableAndStartsAtZero) {
  OwnedRaster a;
  FillDistinct(a.raster);
  a.raster->position = 9;
  OwnedRaster clone(RASTERClone(a.raster));
  ASSERT_NE(clone.raster, nullptr);
  EXPECT_NE(clone.raster->colours, a.raster->colours);
  EXPECT_EQ(clone.raster->position, 0);
  EXPECT_TRUE(RASTEREqual(clone.raster, a.raster));
  EXPECT_EQ(Printed([] { EXPECT_EQ(RASTERClone(nullptr), nullptr); }), "RASTER error\n");
}

TEST(RASTER, AllocAndClearResetTheTable) {
  OwnedRaster r;
  FillDistinct(r.raster);
  r.raster->position = 3;
  RASTERAlloc(r.raster, 40);
  EXPECT_EQ(r.raster->count, 40);
  EXPECT_EQ(r.raster->position, 0);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(r.raster->colours[i], 0u);

  FillDistinct(r.raster);
  RASTERClear(r.raster);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(r.raster->colours[i], 0u);

  // With a table but a count of 0 there is nothing to clear and nothing wrong.
  FillDistinct(r.raster);
  r.raster->count = 0;
  EXPECT_EQ(Printed([&] { RASTERClear(r.raster); }), "");
  EXPECT_NE(r.raster->colours[0], 0u);
  r.raster->count = 40;

  // A negative size is refused and the table kept.
  EXPECT_EQ(Printed([&] { RASTERAlloc(r.raster, -1); }), "RASTER error\n");
  EXPECT_EQ(r.raster->count, 40);
  ASSERT_NE(r.raster->colours, nullptr);
}

TEST(RASTER, EmptyTablesAreRefusedRatherThanDividedBy) {
  OwnedRaster r;
  RASTERAlloc(r.raster, 0);
  EXPECT_EQ(r.raster->count, 0);
  OwnedImage img(4, 4);
  img.Fill(0x010101);
  const std::string printed = Printed([&] {
    RASTERDraw(r.raster, img.img);
    RASTERDrawBlend(r.raster, img.img, 128);
    RASTERStep(r.raster);
    RASTERSmooth(r.raster, 2);
    RASTERClear(r.raster);
  });
  EXPECT_EQ(printed, Repeated("RASTER error\n", 5));
  EXPECT_EQ(img.At(2, 2), 0x010101u);
  EXPECT_EQ(r.raster->position, 0);
}

TEST(RASTER, ErrorsAlwaysPrintAndChangeNothing) {
  OwnedRaster r;
  FillDistinct(r.raster);
  OwnedImage img(2, 2);
  EXPECT_EQ(Printed([] { RASTERFree(nullptr); }), "RASTER error\n");
  EXPECT_EQ(Printed([] {
              RASTER* none = nullptr;
              RASTERFree(&none);
            }),
            "RASTER error\n");
  EXPECT_EQ(Printed([&] { RASTERDraw(nullptr, img.img); }), "RASTER error\n");
  EXPECT_EQ(Printed([&] { RASTERDraw(r.raster, nullptr); }), "RASTER error\n");
  EXPECT_EQ(Printed([&] { RASTERSmooth(r.raster, 0); }), "RASTER error\n");
  EXPECT_EQ(r.raster->colours[10], 0x010203u * 11);
  EXPECT_EQ(Printed([] { RASTERError(); }), "RASTER error\n");
  // The text-form placeholders and a successful comparison print nothing.
  EXPECT_EQ(Printed([&] {
              EXPECT_EQ(RASTERToASCII(r.raster), nullptr);
              EXPECT_EQ(RASTERFromASCII("RASTER{}"), nullptr);
              EXPECT_TRUE(RASTEREqual(r.raster, r.raster));
            }),
            "");
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  if (!bytes.empty()) {
    EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
  }
  std::fclose(file);
}

TEST(RASTER, SaveAndLoadKeepTheColours) {
  const std::string path = TempPath("torvelin_raster_round_trip.bin");
  OwnedRaster r;
  RASTERAlloc(r.raster, 3);
  r.raster->colours[0] = 0x123456;
  r.raster->colours[1] = 0xFFFFFF;
  r.raster->colours[2] = 0xAB000000;  // a stray top byte survives too
  r.raster->position = 2;
  ASSERT_TRUE(RASTERSave(r.raster, path.c_str()));
  EXPECT_EQ(std::filesystem::file_size(path), 8u + 3 * 4);

  OwnedRaster loaded(RASTERLoad(path.c_str()));
  ASSERT_NE(loaded.raster, nullptr);
  EXPECT_TRUE(RASTEREqual(loaded.raster, r.raster));
  EXPECT_EQ(loaded.raster->position, 0);
  std::filesystem::remove(path);
}

TEST(RASTER, LoadRefusesAnythingButAWholeFile) {
  const std::string path = TempPath("torvelin_raster_bad.bin");
  WriteBytes(path, {});
  OwnedRaster empty(RASTERLoad(path.c_str()));
  ASSERT_NE(empty.raster, nullptr);
  EXPECT_EQ(empty.raster->count, 0);

  const std::vector<unsigned char> good = {'R', 'S', 'T', 'R', 2, 0, 0, 0, 1, 2, 3, 0, 4, 5, 6, 0};
  WriteBytes(path, good);
  OwnedRaster two(RASTERLoad(path.c_str()));
  ASSERT_NE(two.raster, nullptr);
  ASSERT_EQ(two.raster->count, 2);
  EXPECT_EQ(two.raster->colours[0], 0x030201u);
  EXPECT_EQ(two.raster->colours[1], 0x060504u);

  std::vector<std::vector<unsigned char>> bad;
  bad.emplace_back(good.begin(), good.end() - 1);  // cut short
  bad.push_back(good);
  bad.back().push_back(0);  // a byte too many
  bad.push_back(good);
  bad.back()[0] = 'X';                                 // not a raster file
  bad.push_back({'R', 'S', 'T', 'R', 0, 0, 0, 0});     // no colours
  bad.push_back({'R', 'S', 'T', 'R', 0, 0, 0, 0x80});  // an absurd count
  bad.push_back({'R', 'S', 'T'});
  for (const auto& bytes : bad) {
    WriteBytes(path, bytes);
    EXPECT_EQ(Printed([&] { EXPECT_EQ(RASTERLoad(path.c_str()), nullptr); }), "RASTER error\n")
        << bytes.size();
  }
  std::filesystem::remove(path);

  EXPECT_EQ(Printed([&] { EXPECT_EQ(RASTERLoad(path.c_str()), nullptr); }), "RASTER error\n");
  EXPECT_EQ(Printed([] { EXPECT_EQ(RASTERLoad(nullptr), nullptr); }), "RASTER error\n");
  // An empty table is not saved.
  EXPECT_EQ(Printed([&] { EXPECT_FALSE(RASTERSave(empty.raster, path.c_str())); }),
            "RASTER error\n");
  EXPECT_FALSE(std::filesystem::exists(path));
}
