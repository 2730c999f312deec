#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "../peak_address_space.hpp"
#include "image/img_file.hpp"
#include "img_test_util.hpp"

using namespace std::string_literals;

namespace {

IMG* FromText(const std::string& data) {
  return IMGFromPNMBounded(reinterpret_cast<const unsigned char*>(data.data()), data.size());
}

// A scratch directory removed with everything in it.
struct TempDir {
  std::filesystem::path path;
  TempDir() {
    char name[] = "/tmp/img_pnm_test_XXXXXX";
    path = mkdtemp(name);
  }
  ~TempDir() { std::filesystem::remove_all(path); }
  std::string File(const std::string& name) const { return (path / name).string(); }
};

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

using Words = std::vector<uint32_t>;

constexpr uint32_t White() { return 0xFFFFFF; }

}  // namespace

TEST(IMGFromPNM, EachFormatMapsToPixelWords) {
  struct Case {
    std::string data;
    int width, height;
    Words pixels;
  } cases[] = {
      {"P6\n2 1\n255\n\xFF\x00\x00\x00\x00\xFF"s, 2, 1, {0xFF0000, 0x0000FF}},
      {"P5\n3 1\n255\n\x00\x80\xFF"s, 3, 1, {0, 0x808080, 0xFFFFFF}},
      {"P5\n1 1\n15\n\x0F", 1, 1, {0x0F0F0F}},
      {"P3\n2 1\n255\n1 2 3\n250 251 252\n", 2, 1, {0x010203, 0xFAFBFC}},
      {"P2 3 1 15 0 7 15 ", 3, 1, {0, 0x070707, 0x0F0F0F}},
      {"P1\n8 1\n01100001", 8, 1, {0, White(), White(), 0, 0, 0, 0, White()}},
      {"P4\n8 1\n\x81", 8, 1, {White(), 0, 0, 0, 0, 0, 0, White()}},
  };
  for (const Case& c : cases) {
    ImgPtr img(FromText(std::string(c.data)));
    ASSERT_NE(img, nullptr) << c.data;
    EXPECT_EQ(img->width, c.width);
    EXPECT_EQ(img->height, c.height);
    EXPECT_EQ(Pixels(img.get()), c.pixels) << c.data;
    ImgPtr unbounded(IMGFromPNM(reinterpret_cast<const unsigned char*>(c.data.data())));
    EXPECT_TRUE(IMGEqual(img.get(), unbounded.get())) << "both readers share one decoder";
  }
}

TEST(IMGFromPNM, CommentsAndBlanksBetweenTokensChangeNothing) {
  const std::string plain = "P6\n2 1\n255\n" + std::string("\x01\x02\x03\x04\x05\x06", 6);
  const std::string noisy = "P6 #c\n\t\r #another\n 2\n#x\n\n 1 # y\n255\n" +
                            std::string("\x01\x02\x03\x04\x05\x06", 6);
  ImgPtr a(FromText(plain));
  ImgPtr b(FromText(noisy));
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(IMGEqual(a.get(), b.get()));
  EXPECT_EQ(a->pixels[1], 0x040506u);
}

TEST(IMGFromPNM, BitWidthsRoundUpToWholeBytes) {
  // 10 x 1: the six padding bits of the second byte become pixels 10-15.
  ImgPtr packed(FromText("P4\n10 1\n\xC0\x25"s));
  ASSERT_NE(packed, nullptr);
  EXPECT_EQ(packed->width, 16);
  const Words expectedTail = {0, 0, White(), 0, 0, White(), 0, White()};
  EXPECT_EQ(Words(packed->pixels + 8, packed->pixels + 16), expectedTail);

  // 3 x 2 plain: every row takes eight digits.
  ImgPtr plain(FromText("P1 3 2 10100001 01000000"));
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->width, 8);
  EXPECT_EQ(plain->pixels[7], White());
  EXPECT_EQ(plain->pixels[9], White());
  EXPECT_EQ(plain->pixels[8], 0u);
}

TEST(IMGFromPNM, SamplesAreNotMaskedOrScaled) {
  ImgPtr img(FromText("P3 1 1 255 0 256 1 "));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->pixels[0], 0x010001u) << "green 256 carries into red";
}

TEST(IMGFromPNM, BadHeadersFail) {
  // Each fails before its terminating zero, so the unbounded reader may
  // see them too.
  for (const char* bad : {"P7\n1 1\n255\n\x01", "P0\n1 1\n255\n\x01", "Px\n1 1\n255\n\x01",
                          "P5\n0 1\n255\n\x01", "P5\n1 0\n255\n\x01", "P5\n1 x\n255\n\x01",
                          "1 1 255 7 P5 \x01", "P5\n100000 100000\n255\n",
                          "P5\n99999999999999999999 1\n255\n\x01", "P4 268435457 1 "}) {
    EXPECT_EQ(FromText(bad), nullptr) << bad;
    EXPECT_EQ(IMGFromPNM(reinterpret_cast<const unsigned char*>(bad)), nullptr) << bad;
  }
  // Headers cut short only the bounded reader can see the end of.
  for (const char* cut : {"", "P5 # comment without end", "P6 3 2", "P"}) EXPECT_EQ(FromText(cut), nullptr);
  EXPECT_EQ(IMGFromPNM(nullptr), nullptr);
  EXPECT_EQ(IMGFromPNMBounded(nullptr, 4), nullptr);
}

TEST(IMGFromPNM, TokenOrderFollowsTheGrammar) {
  // The magic may come after the sizes; each number fills the next field.
  ImgPtr late(FromText("2 1 P5 255 \x07\x08"));
  ASSERT_NE(late, nullptr);
  EXPECT_EQ(Pixels(late.get()), (Words{0x070707, 0x080808}));
  // A stray byte in the maximum value's place reads as 0 and, in memory,
  // is the one byte that ends the header.
  ImgPtr stray(FromText("P5 1 1 xAB"));
  ASSERT_NE(stray, nullptr);
  EXPECT_EQ(stray->pixels[0], 0x414141u);
}

TEST(IMGFromPNMBounded, EveryTruncationFailsCleanly) {
  const std::string images[] = {
      "P6\n# c\n3 2\n255\n" + std::string(18, '\x7F'),
      "P5\n3 2\n255\n" + std::string(6, '\x10'),
      std::string("P4\n9 2\n\xFF\x80\x01\x00", 11),
      "P3\n2 1\n255\n1 2 3 4 5 6\n",
      "P2\n2 2\n255\n1 2 3 4\n",
      "P1\n3 1\n1 0 1 0 0 0 0 1\n",
  };
  for (const std::string& data : images) {
    ImgPtr whole(FromText(data));
    ASSERT_NE(whole, nullptr) << data;
    // Plain rasters end with their last digit; the rest ends at the last byte.
    const size_t needed = data[1] <= '3' ? data.find_last_of("0123456789") + 1 : data.size();
    for (size_t cut = 0; cut < needed; ++cut)
      EXPECT_EQ(FromText(data.substr(0, cut)), nullptr) << data << " cut at " << cut;
  }
}

TEST(IMGLoad, ReadsFilesWithoutRoundingAndConsumesStrayBytes) {
  TempDir dir;
  const std::string path = dir.File("a.pnm");
  WriteFile(path, std::string("P4\n10 2\n\xC0\x25\xFF\xC0", 12));
  ImgPtr bits(IMGLoad(path.c_str()));
  ASSERT_NE(bits, nullptr);
  EXPECT_EQ(bits->width, 10);
  EXPECT_EQ(Pixels(bits.get()), (Words{White(), White(), 0, 0, 0, 0, 0, 0, 0, 0, White(), White(),
                                       White(), White(), White(), White(), White(), White(),
                                       White(), White()}));

  WriteFile(path, "P5 1 1 xAB");
  ImgPtr stray(IMGLoad(path.c_str()));
  ASSERT_NE(stray, nullptr);
  EXPECT_EQ(stray->pixels[0], 0x424242u) << "the stray byte and one more are consumed";

  WriteFile(path, "P1\n# digits need no separators\n3 2\n101\n011\n");
  ImgPtr plain(IMGLoad(path.c_str()));
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(Pixels(plain.get()), (Words{White(), 0, White(), 0, White(), White()}));
}

TEST(IMGLoad, ShortOrMissingFilesFail) {
  TempDir dir;
  const std::string path = dir.File("short.ppm");
  const std::string whole = "P6\n2 2\n255\n" + std::string(12, '\x33');
  for (size_t cut : {size_t{0}, size_t{3}, size_t{8}, size_t{11}, size_t{12}, size_t{22}}) {
    WriteFile(path, whole.substr(0, cut));
    EXPECT_EQ(IMGLoad(path.c_str()), nullptr) << cut;
  }
  WriteFile(path, "P3 2 1 255 1 2 3 4 5");
  EXPECT_EQ(IMGLoad(path.c_str()), nullptr);
  WriteFile(path, whole);
  ImgPtr img(IMGLoad(path.c_str()));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->pixels[3], 0x333333u);
  EXPECT_EQ(IMGLoad(dir.File("missing.ppm").c_str()), nullptr);
  EXPECT_EQ(IMGLoad(nullptr), nullptr);
}

TEST(IMGLoad, AShortInputClaimingAHugeImageFailsBeforeReservingIt) {
  // 16384 x 16384 pixels announced, four bytes delivered.
  const std::string claim = "P6\n16384 16384\n255\n\x01\x02\x03\x04"s;
  TempDir dir;
  const std::string path = dir.File("claim.ppm");
  WriteFile(path, claim);
  const int64_t before = PeakAddressSpace();
  ASSERT_GT(before, 0);
  EXPECT_EQ(IMGLoad(path.c_str()), nullptr);
  EXPECT_EQ(FromText(claim), nullptr);
  EXPECT_LT(PeakAddressSpace() - before, int64_t{64} << 20);
}

TEST(IMGReadFile, ReadsAStreamOverMemoryFromWhereItStands) {
  std::string data = "skipP5 2 1 255 \x07\x08"s;
  FILE* file = fmemopen(data.data(), data.size(), "rb");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(fseek(file, 4, SEEK_SET), 0);
  ImgPtr img(IMGReadFile(file));
  fclose(file);
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(Pixels(img.get()), (Words{0x070707, 0x080808}));
  EXPECT_EQ(IMGReadFile(nullptr), nullptr);

  // The stream's length is known by seeking, so a claim it cannot hold
  // fails before the pixels are reserved.
  std::string claim = "P6\n16384 16384\n255\n\x01\x02\x03\x04"s;
  file = fmemopen(claim.data(), claim.size(), "rb");
  ASSERT_NE(file, nullptr);
  const int64_t before = PeakAddressSpace();
  EXPECT_EQ(IMGReadFile(file), nullptr);
  EXPECT_LT(PeakAddressSpace() - before, int64_t{64} << 20);
  fclose(file);
}

TEST(IMGSave, RoundTripsEveryByteUntranslated) {
  TempDir dir;
  const std::string path = dir.File("round.ppm");
  ImgPtr img = MakeImage(5, 3);
  for (int i = 0; i < 15; ++i) img->pixels[i] = static_cast<uint32_t>(i * 0x0A0D1A) & 0xFFFFFF;
  img->pixels[0] = 0x0A0A0A;
  ASSERT_TRUE(IMGSave(img.get(), path.c_str()));
  const std::string bytes = ReadFile(path);
  const std::string header = "P6\n# QUAV(c)\n5 3\n255\n";
  EXPECT_EQ(bytes.substr(0, header.size()), header);
  EXPECT_EQ(bytes.size(), header.size() + 45);
  EXPECT_EQ(bytes.substr(header.size(), 3), "\n\n\n");
  ImgPtr back(IMGLoad(path.c_str()));
  ASSERT_NE(back, nullptr);
  EXPECT_TRUE(IMGEqual(img.get(), back.get()));
}

TEST(IMGSave, ReportsFailure) {
  ImgPtr img = FilledImage(64, 64, 0x123456);
  // Writes to a full device fail when the buffer is flushed.
  if (access("/dev/full", W_OK) == 0) {
    EXPECT_FALSE(IMGSave(img.get(), "/dev/full"));
  }
  EXPECT_FALSE(IMGSave(img.get(), "/nonexistent-dir/x.ppm"));
  EXPECT_FALSE(IMGSave(nullptr, "/tmp/x.ppm"));
  EXPECT_FALSE(IMGSave(img.get(), nullptr));
  ImgPtr empty = MakeImage(0, 4);
  TempDir dir;
  EXPECT_FALSE(IMGSave(empty.get(), dir.File("empty.ppm").c_str()));
}
