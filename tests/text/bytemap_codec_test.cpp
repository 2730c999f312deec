#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "../peak_address_space.hpp"
#include "text/bytemap.hpp"

namespace {

struct MapDeleter {
  void operator()(BYTEMAP* map) const { BYTEMAPFree(&map); }
};
using Map = std::unique_ptr<BYTEMAP, MapDeleter>;

struct TextDeleter {
  void operator()(char* text) const { std::free(text); }
};

Map makeMap(int w, int h, std::vector<uint8_t> samples) {
  Map map(BYTEMAPNew());
  BYTEMAPAlloc(map.get(), w, h);
  for (size_t i = 0; i < samples.size(); ++i) map->samples[i] = samples[i];
  return map;
}

std::vector<uint8_t> samplesOf(const BYTEMAP* map) {
  return {map->samples, map->samples + map->width * map->height};
}

std::string textOf(const BYTEMAP* map) {
  std::unique_ptr<char, TextDeleter> text(BYTEMAPToASCII(map));
  return text ? std::string(text.get()) : std::string("<null>");
}

Map fromBytes(const std::string& bytes) {
  return Map(BYTEMAPFromPNMBounded(reinterpret_cast<const unsigned char*>(bytes.data()),
                                   bytes.size()));
}

// A file in the build tree that disappears with the test.
struct TempFile {
  std::string path;
  explicit TempFile(const std::string& name)
      : path(std::string(TORVELIN_BINARY_DIR) + "/bytemap_" + std::to_string(getpid()) + "_" +
             name) {}
  ~TempFile() { std::remove(path.c_str()); }
  void write(const std::string& bytes) const {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
};

}  // namespace

TEST(BYTEMAPRecord, NewIsSixteenSquareAndBlackAndFreeNullsThePointer) {
  BYTEMAP* map = BYTEMAPNew();
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(map->width, 16);
  EXPECT_EQ(map->height, 16);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(map->samples[i], 0);
  BYTEMAPFree(&map);
  EXPECT_EQ(map, nullptr);
  BYTEMAPFree(&map);
  BYTEMAPFree(nullptr);
}

TEST(BYTEMAPRecord, AllocRefusesNegativeAndAbsurdSizesAndKeepsTheOldRaster) {
  Map map = makeMap(3, 2, {1, 2, 3, 4, 5, 6});
  BYTEMAPAlloc(map.get(), -1, 4);
  BYTEMAPAlloc(map.get(), 1 << 15, 1 << 14);
  EXPECT_EQ(map->width, 3);
  EXPECT_EQ(map->height, 2);
  EXPECT_EQ(samplesOf(map.get()), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
  BYTEMAPAlloc(map.get(), 0, 5);
  EXPECT_EQ(map->width, 0);
  EXPECT_NE(map->samples, nullptr);
  EXPECT_EQ(textOf(map.get()), "BYTEMAP{}");
}

TEST(BYTEMAPRecord, EqualCloneCopyAndClear) {
  Map a = makeMap(3, 1, {9, 8, 7});
  Map b(BYTEMAPClone(a.get()));
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(BYTEMAPEqual(a.get(), b.get()));
  b->samples[0] = 1;
  EXPECT_FALSE(BYTEMAPEqual(a.get(), b.get()));
  BYTEMAPCopy(a.get(), b.get());
  EXPECT_TRUE(BYTEMAPEqual(a.get(), b.get()));
  Map other = makeMap(1, 3, {9, 8, 7});
  EXPECT_FALSE(BYTEMAPEqual(a.get(), other.get()));
  BYTEMAPCopy(other.get(), b.get());  // sizes differ: nothing copied
  EXPECT_EQ(samplesOf(b.get()), (std::vector<uint8_t>{9, 8, 7}));
  EXPECT_FALSE(BYTEMAPEqual(a.get(), nullptr));
  BYTEMAPClear(a.get());
  EXPECT_EQ(samplesOf(a.get()), (std::vector<uint8_t>{0, 0, 0}));
}

TEST(BYTEMAPText, WritesGreyTriplesWithLineFeedsAndReadsThemBack) {
  Map map = makeMap(2, 1, {7, 200});
  const std::string text = textOf(map.get());
  EXPECT_EQ(text, "BYTEMAP{\nP3\n2 1\n255\n  7   7   7 200 200 200\n}\n");
  Map back(BYTEMAPFromASCII(text.c_str()));
  ASSERT_NE(back, nullptr);
  EXPECT_TRUE(BYTEMAPEqual(map.get(), back.get()));
}

TEST(BYTEMAPText, BreaksAfterEverySixthSampleAndAfterTheLast) {
  Map six = makeMap(6, 1, {1, 2, 3, 4, 5, 6});
  std::string text = textOf(six.get());
  EXPECT_EQ(text.substr(text.size() - 6), "  6\n}\n");
  Map seven = makeMap(7, 1, {1, 2, 3, 4, 5, 6, 7});
  text = textOf(seven.get());
  const size_t body = text.find("255\n") + 4;
  EXPECT_EQ(text[body + 6 * 12 - 1], '\n');
  EXPECT_EQ(text.substr(body + 6 * 12), "  7   7   7\n}\n");
  Map back(BYTEMAPFromASCII(text.c_str()));
  ASSERT_NE(back, nullptr);
  EXPECT_TRUE(BYTEMAPEqual(seven.get(), back.get()));
}

TEST(BYTEMAPText, AveragesTriplesAndKeepsTheLowByte) {
  Map map(BYTEMAPFromASCII("junk BYTEMAP { P3\n2 1\n255\n100 100 101  300 300 300\n}"));
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(samplesOf(map.get()), (std::vector<uint8_t>{100, 44}));
}

TEST(BYTEMAPText, RefusesMissingMarkersZeroOrHugeSizesAndShortData) {
  EXPECT_EQ(BYTEMAPFromASCII(nullptr), nullptr);
  EXPECT_EQ(BYTEMAPFromASCII("BYTEMAP{}"), nullptr);
  EXPECT_EQ(BYTEMAPFromASCII("IMG{\nP3\n1 1\n255\n1 1 1\n}\n"), nullptr);
  EXPECT_EQ(BYTEMAPFromASCII("BYTEMAP{\nP3\n0 1\n255\n}\n"), nullptr);
  EXPECT_EQ(BYTEMAPFromASCII("BYTEMAP{\nP3\n99999999999 99999999999\n255\n1 1 1\n}\n"), nullptr);
  EXPECT_EQ(BYTEMAPFromASCII("BYTEMAP{\nP3\n65536 65536\n255\n1 1 1\n}\n"), nullptr);
  EXPECT_EQ(BYTEMAPFromASCII("BYTEMAP{\nP3\n2 1\n255\n1 1 1 2 2"), nullptr);
  EXPECT_EQ(BYTEMAPFromASCII("BYTEMAP{\nP3\n2"), nullptr);
}

TEST(BYTEMAPText, FindTextGivesTheIndexPastTheFirstMatch) {
  EXPECT_EQ(BYTEMAPFindText("\nP3\n", "P3\n"), 4);
  EXPECT_EQ(BYTEMAPFindText("BYTEMAP BYTEMAP", "BYTEMAP"), 7);
  EXPECT_EQ(BYTEMAPFindText("abc", "x"), 0);
  EXPECT_EQ(BYTEMAPFindText(nullptr, "x"), 0);
}

TEST(BYTEMAPPnm, ReducesEveryFormatToOneChannel) {
  Map p6 = fromBytes(std::string("P6\n2 1\n255\n") + std::string("\xFF\0\0\x10\x20\x33", 6));
  ASSERT_NE(p6, nullptr);
  EXPECT_EQ(samplesOf(p6.get()), (std::vector<uint8_t>{85, 0x21}));
  Map p5 = fromBytes(std::string("P5\n3 1\n15\n") + std::string("\0\x80\xFF", 3));
  ASSERT_NE(p5, nullptr);
  EXPECT_EQ(samplesOf(p5.get()), (std::vector<uint8_t>{0, 0x80, 0xFF}));
  Map p3 = fromBytes("P3 1 1 255 100 100 101 ");
  ASSERT_NE(p3, nullptr);
  EXPECT_EQ(p3->samples[0], 100);
  Map p2 = fromBytes("P2\n# grey\n2 1\n255\n 17\n\n300 ");
  ASSERT_NE(p2, nullptr);
  EXPECT_EQ(samplesOf(p2.get()), (std::vector<uint8_t>{17, 44}));
}

TEST(BYTEMAPPnm, CommentsAndBlankRunsBetweenTokensChangeNothing) {
  Map plain = fromBytes(std::string("P5\n2 1\n255\n") + "\x05\x06");
  Map busy = fromBytes(std::string("P5 # magic\n#x\n  2\t\r\n# w\n 1 #h\n255\n") + "\x05\x06");
  ASSERT_NE(plain, nullptr);
  ASSERT_NE(busy, nullptr);
  EXPECT_TRUE(BYTEMAPEqual(plain.get(), busy.get()));
}

TEST(BYTEMAPPnm, MemoryBitmapsRoundTheWidthUpToWholeBytes) {
  Map p1 = fromBytes("P1\n8 1\n01100001");
  ASSERT_NE(p1, nullptr);
  EXPECT_EQ(samplesOf(p1.get()), (std::vector<uint8_t>{0, 255, 255, 0, 0, 0, 0, 255}));
  // Ten wide: two bytes per row, the padding bits become samples.
  Map p4 = fromBytes(std::string("P4\n10 2\n") + std::string("\x80\x41\xFF\x00", 4));
  ASSERT_NE(p4, nullptr);
  EXPECT_EQ(p4->width, 16);
  EXPECT_EQ(p4->height, 2);
  EXPECT_EQ(BYTEMAPGetPixel(p4.get(), 0, 0), 255);
  EXPECT_EQ(BYTEMAPGetPixel(p4.get(), 1, 0), 0);
  EXPECT_EQ(BYTEMAPGetPixel(p4.get(), 9, 0), 255);
  EXPECT_EQ(BYTEMAPGetPixel(p4.get(), 15, 0), 255);
  EXPECT_EQ(BYTEMAPGetPixel(p4.get(), 7, 1), 255);
  EXPECT_EQ(BYTEMAPGetPixel(p4.get(), 8, 1), 0);
}

TEST(BYTEMAPPnm, RefusesBadMagicZeroSizesAndAbsurdSizes) {
  for (const char* bad : {"P7\n1 1\n255\n\x01", "P0\n1 1\n255\n\x01", "Px\n1 1\n255\n\x01",
                          "P5\n0 1\n255\n\x01", "P5\n1 0\n255\n\x01", "P5\nx 1\n255\n\x01",
                          "P5\n100000 100000\n255\n\x01", "P5\n99999999999999 1\n255\n\x01",
                          "P2 99999999999999 99999999999999 255 1 "}) {
    EXPECT_EQ(fromBytes(bad), nullptr) << bad;
  }
  EXPECT_EQ(BYTEMAPFromPNM(nullptr), nullptr);
  EXPECT_EQ(BYTEMAPFromPNMBounded(nullptr, 4), nullptr);
}

TEST(BYTEMAPPnm, BoundedReaderFailsOnEveryTruncation) {
  const std::vector<std::string> images = {
      std::string("P6\n# c\n2 2\n255\n") + std::string(12, '\x41'),
      std::string("P5\n3 2\n255\n") + std::string(6, '\x07'),
      std::string("P4\n9 2\n") + std::string(4, '\xAA'),
      "P3\n1 2\n255\n1 2 3 4 5 6\n",
      "P2\n2 1\n255\n12 34\n",
      "P1\n3 1\n10100000\n",
  };
  for (const std::string& image : images) {
    ASSERT_NE(fromBytes(image), nullptr) << image;
    // Raw formats need every byte; text ones need the first digit of the last number.
    const size_t lastDigit = image.find_last_of("0123456789");
    const size_t lastNumber = image.find_last_not_of("0123456789", lastDigit) + 1;
    const size_t shortest = image[1] >= '4' ? image.size() : lastNumber + 1;
    for (size_t n = 0; n < shortest; ++n) {
      EXPECT_EQ(fromBytes(image.substr(0, n)), nullptr) << image << " cut at " << n;
    }
  }
}

TEST(BYTEMAPPnm, UnboundedReaderDecodesCompleteImages) {
  const unsigned char data[] = "P5\n2 1\n255\n\x09\x0A";
  Map map(BYTEMAPFromPNM(data));
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(samplesOf(map.get()), (std::vector<uint8_t>{9, 10}));
}

TEST(BYTEMAPFile, LoadKeepsBitmapWidthsAndStartsEveryRowOnAByte) {
  TempFile file("p4.pbm");
  file.write(std::string("P4\n10 2\n") + "\x80\x40\x01\xC0");
  Map map(BYTEMAPLoad(file.path.c_str()));
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(map->width, 10);
  EXPECT_EQ(BYTEMAPGetPixel(map.get(), 0, 0), 255);
  EXPECT_EQ(BYTEMAPGetPixel(map.get(), 9, 0), 255);
  EXPECT_EQ(BYTEMAPGetPixel(map.get(), 7, 1), 255);
  EXPECT_EQ(BYTEMAPGetPixel(map.get(), 8, 1), 255);
  EXPECT_EQ(BYTEMAPGetPixel(map.get(), 9, 1), 255);
  EXPECT_EQ(BYTEMAPGetPixel(map.get(), 0, 1), 0);
}

TEST(BYTEMAPFile, LoadReadsPlainBitsAsNumbersAndFailsOnShortFiles) {
  TempFile file("p1.pbm");
  file.write("P1\n4 1\n0 1 12 00\n");
  Map map(BYTEMAPLoad(file.path.c_str()));
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(samplesOf(map.get()), (std::vector<uint8_t>{0, 255, 255, 0}));
  for (const std::string& cut : {std::string("P5\n2 2\n255\n\x01\x02\x03"), std::string("P6\n1"),
                                 std::string("P1\n4 1\n0 1 1"), std::string("P4\n9 2\n\xFF\xFF")}) {
    file.write(cut);
    EXPECT_EQ(BYTEMAPLoad(file.path.c_str()), nullptr) << cut;
  }
  EXPECT_EQ(BYTEMAPLoad(nullptr), nullptr);
  EXPECT_EQ(BYTEMAPLoad("/nonexistent/dir/x.pgm"), nullptr);
}

TEST(BYTEMAPFile, AShortInputClaimingAHugeRasterFailsBeforeReservingIt) {
  // 16384 x 16384 samples announced, four delivered.
  const std::string claim = std::string("P5\n16384 16384\n255\n") + "\x01\x02\x03\x04";
  TempFile file("claim.pgm");
  file.write(claim);
  const int64_t before = PeakAddressSpace();
  ASSERT_GT(before, 0);
  EXPECT_EQ(BYTEMAPLoad(file.path.c_str()), nullptr);
  EXPECT_EQ(fromBytes(claim), nullptr);
  EXPECT_LT(PeakAddressSpace() - before, int64_t{64} << 20);
}

TEST(BYTEMAPFile, SaveWritesRawGreyThatLoadReadsBack) {
  TempFile file("round.pgm");
  Map map = makeMap(3, 2, {0, 10, 13, 255, 128, 32});
  ASSERT_TRUE(BYTEMAPSave(map.get(), file.path.c_str()));
  FILE* f = std::fopen(file.path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char bytes[64] = {};
  const size_t n = std::fread(bytes, 1, sizeof bytes, f);
  std::fclose(f);
  EXPECT_EQ(std::string(bytes, n), std::string("P5\n3 2\n255\n\0\x0A\x0D\xFF\x80\x20", 17));
  Map back(BYTEMAPLoad(file.path.c_str()));
  ASSERT_NE(back, nullptr);
  EXPECT_TRUE(BYTEMAPEqual(map.get(), back.get()));
}

TEST(BYTEMAPFile, SaveReportsFailureInsteadOfSuccess) {
  Map map = makeMap(2, 2, {1, 2, 3, 4});
  EXPECT_FALSE(BYTEMAPSave(map.get(), "/nonexistent/dir/x.pgm"));
  EXPECT_FALSE(BYTEMAPSave(nullptr, "x.pgm"));
  EXPECT_FALSE(BYTEMAPSave(map.get(), nullptr));
  if (FILE* full = std::fopen("/dev/full", "wb")) {
    std::fclose(full);
    EXPECT_FALSE(BYTEMAPSave(map.get(), "/dev/full"));
  }
  Map empty = makeMap(0, 3, {});
  EXPECT_FALSE(BYTEMAPSave(empty.get(), "x.pgm"));
}
