#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "img_test_util.hpp"

TEST(IMGRecord, NewIsSixteenSquareAndBlack) {
  ImgPtr img(IMGNew());
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->width, 16);
  EXPECT_EQ(img->height, 16);
  for (uint32_t p : Pixels(img.get())) EXPECT_EQ(p, 0u);
}

TEST(IMGRecord, FreeNullsThePointerAndToleratesRepeats) {
  IMG* img = IMGNew();
  IMGFree(&img);
  EXPECT_EQ(img, nullptr);
  IMGFree(&img);
  IMGFree(nullptr);
}

TEST(IMGRecord, AllocResizesAndRefusesImpossibleSizes) {
  ImgPtr img = FilledImage(3, 2, 0x123456);
  IMGAlloc(img.get(), 5, 4);
  EXPECT_EQ(img->width, 5);
  EXPECT_EQ(img->height, 4);
  for (uint32_t p : Pixels(img.get())) EXPECT_EQ(p, 0u);
  img->pixels[0] = 7;
  // Negative and oversized requests leave the image as it was.
  IMGAlloc(img.get(), -1, 4);
  IMGAlloc(img.get(), 1 << 15, 1 << 14);
  IMGAlloc(img.get(), 0x7FFFFFFF, 0x7FFFFFFF);
  EXPECT_EQ(img->width, 5);
  EXPECT_EQ(img->height, 4);
  EXPECT_EQ(img->pixels[0], 7u);
}

// Large arrays come from a different allocator path than small ones; memory
// handed back by a freed large image must still come out black.
TEST(IMGRecord, LargeImagesAreBlackEvenWhereFreedPixelsLay) {
  for (int round = 0; round < 3; ++round) {
    for (const int side : {512, 725, 1448}) {  // 1 MiB, just over 2 MiB, 8 MiB
      ImgPtr img(IMGNew());
      IMGAlloc(img.get(), side, side);
      ASSERT_EQ(img->width, side);
      for (uint32_t p : Pixels(img.get())) ASSERT_EQ(p, 0u) << side << " round " << round;
      std::fill_n(img->pixels, side * side, 0xa5a5a5u);  // left dirty for the next round
    }
  }
}

TEST(IMGRecord, CloneCopyEqualAndClear) {
  ImgPtr a = MakeImage(3, 2, {1, 2, 3, 4, 5, 6});
  ImgPtr b(IMGClone(a.get()));
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(IMGEqual(a.get(), b.get()));
  IMGSetPixel(b.get(), 2, 1, 99);
  EXPECT_FALSE(IMGEqual(a.get(), b.get()));
  EXPECT_EQ(a->pixels[5], 6u) << "clone shares no pixels";

  IMGCopy(a.get(), b.get());
  EXPECT_TRUE(IMGEqual(a.get(), b.get()));

  ImgPtr other = FilledImage(2, 3, 0xAA);
  IMGCopy(a.get(), other.get());
  for (uint32_t p : Pixels(other.get())) EXPECT_EQ(p, 0xAAu) << "sizes differ: nothing copied";
  EXPECT_FALSE(IMGEqual(a.get(), other.get()));
  EXPECT_FALSE(IMGEqual(a.get(), nullptr));

  IMGClear(a.get());
  for (uint32_t p : Pixels(a.get())) EXPECT_EQ(p, 0u);
}

TEST(IMGText, WritesRightAlignedChannelsSixPixelsPerLine) {
  ImgPtr two = MakeImage(2, 1, {0xFF0000, 0x0000FF});
  HeapPtr<char> text(IMGToASCII(two.get()));
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text.get(), "IMG{\nP3\n2 1\n255\n255   0   0   0   0 255\n}\n");

  ImgPtr seven = MakeImage(7, 1, {0x010203, 0, 0, 0, 0, 0x0A0B0C, 0x646464});
  HeapPtr<char> lines(IMGToASCII(seven.get()));
  std::string zero = "  0   0   0 ";
  EXPECT_EQ(std::string(lines.get()), "IMG{\nP3\n7 1\n255\n  1   2   3 " + zero + zero + zero + zero +
                                          " 10  11  12\n100 100 100\n}\n");
}

TEST(IMGText, EmptyImageIsBraces) {
  ImgPtr empty = MakeImage(0, 0);
  HeapPtr<char> text(IMGToASCII(empty.get()));
  EXPECT_STREQ(text.get(), "IMG{}");
  EXPECT_EQ(IMGToASCII(nullptr), nullptr);
}

TEST(IMGText, RoundTripKeepsEveryWord) {
  ImgPtr img = MakeImage(13, 5);
  for (int i = 0; i < 65; ++i) img->pixels[i] = static_cast<uint32_t>(i * 0x030507) & 0xFFFFFF;
  HeapPtr<char> text(IMGToASCII(img.get()));
  ImgPtr back(IMGFromASCII(text.get()));
  ASSERT_NE(back, nullptr);
  EXPECT_TRUE(IMGEqual(img.get(), back.get()));
}

TEST(IMGText, ReaderFindsItsMarkersAndRefusesBadText) {
  ImgPtr img(IMGFromASCII("junk IMG {\r\nP3\n2 1\n255\n1 2 3 4 5 6 }"));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->pixels[0], 0x010203u);
  EXPECT_EQ(img->pixels[1], 0x040506u);

  EXPECT_EQ(IMGFromASCII(nullptr), nullptr);
  EXPECT_EQ(IMGFromASCII("IMG{}"), nullptr);
  EXPECT_EQ(IMGFromASCII("IMG{\nP2\n1 1\n255\n1 2 3\n}\n"), nullptr);
  EXPECT_EQ(IMGFromASCII("P3\n1 1\n255\n1 2 3 IMG{"), nullptr);
  // A "}" among the numbers is only a separator: the numbers are sought up
  // to the end of the string, and too few of them is refused.
  ImgPtr braced(IMGFromASCII("IMG{\nP3\n2 1\n255\n1 2 3 4 }\n5 6"));
  ASSERT_NE(braced, nullptr);
  EXPECT_EQ(braced->pixels[1], 0x040506u);
  EXPECT_EQ(IMGFromASCII("IMG{\nP3\n2 1\n255\n1 2 3 4 }\n9"), nullptr);
  EXPECT_EQ(IMGFromASCII("IMG{\nP3\n2 1\n255\n1 2 3 4"), nullptr);
  // Sizes whose pixel count cannot be held.
  EXPECT_EQ(IMGFromASCII("IMG{\nP3\n100000 100000\n255\n"), nullptr);
  EXPECT_EQ(IMGFromASCII("IMG{\nP3\n99999999999999999999 1\n255\n"), nullptr);
  // A header cut short stops at the end of the string: no sizes, no pixels.
  ImgPtr empty(IMGFromASCII("IMG{P3\n"));
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->width * empty->height, 0);
}

TEST(IMGText, ValuesAboveByteRangeSpillUnmasked) {
  ImgPtr img(IMGFromASCII("IMG{\nP3\n1 1\n255\n0 256 0\n}\n"));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->pixels[0], 0x010000u);
}

TEST(IMGText, FindTextGivesIndexPastMatch) {
  EXPECT_EQ(IMGFindText("IMG{", "IMG"), 3);
  EXPECT_EQ(IMGFindText("xxIMG{", "{"), 6);
  EXPECT_EQ(IMGFindText("abc", "d"), 0);
  EXPECT_EQ(IMGFindText(nullptr, "d"), 0);
  EXPECT_EQ(IMGFindText("abc", nullptr), 0);
}

// The allocator's settings are the program's choice, never a side effect of
// allocating an image. Under the C library's own settings a 1 MiB block is
// mapped by itself, which the count of mapped blocks shows; each case runs
// in a fresh process, since earlier frees move those settings.
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#include <malloc.h>

namespace {
// Exits with 0 when a 1 MiB image and a 1 MiB block of other code were both
// mapped by themselves (or both came from the heap, when `keptInHeap`).
[[noreturn]] void AllocateAndCountMappedBlocks(bool keptInHeap) {
  if (keptInHeap) IMGKeepPixelMemoryInTheHeap();
  const size_t before = mallinfo2().hblks;
  IMG* img = IMGNew();
  IMGAlloc(img, 512, 512);
  void* other = malloc(size_t{1} << 20);
  const size_t mapped = mallinfo2().hblks - before;
  std::exit(other != nullptr && mapped == (keptInHeap ? 0u : 2u) ? 0 : 1);
}
}  // namespace

TEST(IMGAllocator, ImagesChangeNoSettingAndTheProgramsChoiceIsExplicit) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(AllocateAndCountMappedBlocks(false), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(AllocateAndCountMappedBlocks(true), ::testing::ExitedWithCode(0), "");
}
#endif
