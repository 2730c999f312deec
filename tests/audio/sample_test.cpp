#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "audio/sample.hpp"
#include "audio_test_util.hpp"

using Values = std::vector<int32_t>;

TEST(SAMPLE, NewReserveAndSetLength) {
  SampleHolder h(SAMPLENew());
  ASSERT_NE(h.s, nullptr);
  EXPECT_EQ(h.s->length, 0);
  EXPECT_EQ(h.s->capacity, 32);
  SAMPLESetLength(h.s, 40000);
  EXPECT_EQ(h.s->capacity, 40000);
  EXPECT_EQ(h.s->length, 40000);
  for (int i = 0; i < 40000; ++i) ASSERT_EQ(h.s->values[i], 0);

  SampleHolder ten{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  const int capacity = ten.s->capacity;
  SAMPLESetLength(ten.s, 5);
  EXPECT_EQ(ten.s->capacity, capacity);
  SAMPLESetLength(ten.s, 10);
  EXPECT_EQ(ten.Values(), (Values{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  SAMPLEReserve(ten.s, 4);  // shrinking cuts the length
  EXPECT_EQ(ten.Values(), (Values{0, 1, 2, 3}));
  EXPECT_EQ(ten.s->capacity, 4);
  SAMPLESetLength(ten.s, -1);
  SAMPLEReserve(ten.s, 0);
  EXPECT_EQ(ten.s->length, 4);
}

TEST(SAMPLE, GetAndSetStayInsideTheLength) {
  SampleHolder h{7, 8, 9};
  EXPECT_EQ(SAMPLEGet(h.s, 0), 7);
  EXPECT_EQ(SAMPLEGet(h.s, 2), 9);
  EXPECT_EQ(SAMPLEGet(h.s, -1), 0);
  EXPECT_EQ(SAMPLEGet(h.s, 3), 0);
  EXPECT_EQ(SAMPLEGet(nullptr, 0), 0);
  EXPECT_EQ(SAMPLESet(h.s, 5, 1), 5);
  SAMPLESet(h.s, 5, 3);
  EXPECT_EQ(h.Values(), (Values{7, 5, 9}));
}

TEST(SAMPLE, AddChangesOnlyTheOverlapAndWraps) {
  SampleHolder s{1, 2, 3, 4, 5};
  SampleHolder other{10, 20, std::numeric_limits<int32_t>::max()};
  SAMPLEAdd(s.s, other.s);
  EXPECT_EQ(s.Values(), (Values{11, 22, std::numeric_limits<int32_t>::min() + 2, 4, 5}));
}

TEST(SAMPLE, ShiftsAreArithmetic) {
  SampleHolder s{-5, 3, 7, -1};
  SAMPLEShiftRight(s.s, 2);
  EXPECT_EQ(s.Values(), (Values{-2, 0, 1, -1}));
  SampleHolder t{3, -3};
  SAMPLEShiftLeft(t.s, 1);
  EXPECT_EQ(t.Values(), (Values{6, -6}));
  SAMPLEShiftLeft(t.s, 33);  // refused
  EXPECT_EQ(t.Values(), (Values{6, -6}));
  SAMPLEShiftRight(t.s, 32);
  EXPECT_EQ(t.Values(), (Values{0, -1}));
}

TEST(SAMPLE, RotationsWrapAroundAndKeepCapacityHonest) {
  SampleHolder s{1, 2, 3, 4};
  SAMPLERotateRight(s.s, 1);
  EXPECT_EQ(s.Values(), (Values{4, 1, 2, 3}));
  SAMPLERotateRight(s.s, 5);
  EXPECT_EQ(s.Values(), (Values{3, 4, 1, 2}));
  SAMPLERotateRight(s.s, 0);
  EXPECT_EQ(s.Values(), (Values{3, 4, 1, 2}));
  SAMPLERotateLeft(s.s, 2);
  EXPECT_EQ(s.Values(), (Values{1, 2, 3, 4}));
  SAMPLERotateRight(s.s, -1);
  EXPECT_EQ(s.Values(), (Values{2, 3, 4, 1}));
  EXPECT_EQ(s.s->capacity, 4);
  SampleHolder empty(SAMPLENew());
  SAMPLERotateRight(empty.s, 3);
  EXPECT_EQ(empty.s->length, 0);
}

TEST(SAMPLE, CopyRangeHandlesOverlapInBothDirections) {
  SampleHolder s{0, 1, 2, 3, 4, 5};
  SAMPLECopyRange(s.s, s.s, 4, 0, 2);
  EXPECT_EQ(s.Values(), (Values{0, 1, 0, 1, 2, 3}));
  SAMPLECopyRange(s.s, s.s, 4, 2, 0);
  EXPECT_EQ(s.Values(), (Values{0, 1, 2, 3, 2, 3}));
  SAMPLECopyRange(s.s, s.s, 4, 3, 0);  // past the source's end: refused
  EXPECT_EQ(s.Values(), (Values{0, 1, 2, 3, 2, 3}));
}

TEST(SAMPLE, TextFormRoundTrips) {
  SampleHolder s{5, -3, 0};
  char* text = SAMPLEToASCII(s.s);
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "SAMPLE{3\n5\n-3\n0\n}\n");
  SampleHolder back(SAMPLEFromASCII(text));
  std::free(text);
  EXPECT_TRUE(SAMPLEEqual(back.s, s.s));

  SampleHolder extremes{std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), -1};
  text = SAMPLEToASCII(extremes.s);
  SampleHolder back2(SAMPLEFromASCII(text));
  std::free(text);
  EXPECT_TRUE(SAMPLEEqual(back2.s, extremes.s));

  SampleHolder empty(SAMPLENew());
  text = SAMPLEToASCII(empty.s);
  EXPECT_STREQ(text, "SAMPLE{}\n");
  SampleHolder emptyBack(SAMPLEFromASCII(text));
  std::free(text);
  ASSERT_NE(emptyBack.s, nullptr);
  EXPECT_EQ(emptyBack.s->length, 0);
  EXPECT_EQ(emptyBack.s->capacity, 32);
}

TEST(SAMPLE, TextParserTakesAnySeparatorAndRefusesBadText) {
  SampleHolder s(SAMPLEFromASCII("junk SAMPLE { 4: 10, -20;x 30 ; -40 }"));
  ASSERT_NE(s.s, nullptr);
  EXPECT_EQ(s.Values(), (Values{10, -20, 30, -40}));
  EXPECT_EQ(s.s->capacity, 4);
  // A minus sign without digits is a value of its own: 0.
  SampleHolder lone(SAMPLEFromASCII("SAMPLE{2\n-\n7\n}"));
  ASSERT_NE(lone.s, nullptr);
  EXPECT_EQ(lone.Values(), (Values{0, 7}));
  SampleHolder doubled(SAMPLEFromASCII("SAMPLE{2\n--3\n}"));
  ASSERT_NE(doubled.s, nullptr);
  EXPECT_EQ(doubled.Values(), (Values{0, -3}));
  const char* refused[] = {
      "",                            // no keyword
      "SAMPLE 3 1 2 3",              // no brace
      "SAMPLE{ }",                   // no count before the closing brace
      "SAMPLE{3\n1\n2\n",            // truncated
      "SAMPLE{1\n2147483648\n}",     // does not fit
      "SAMPLE{1\n-2147483649\n}",
      "SAMPLE{99999999999999999999\n1\n}",  // count overflows
      "SAMPLE{1000000\n1\n}",        // count beyond what the text can hold
  };
  for (const char* text : refused) EXPECT_EQ(SAMPLEFromASCII(text), nullptr) << text;
  EXPECT_EQ(SAMPLEFromASCII(nullptr), nullptr);
}

TEST(SAMPLE, EqualNeedsTwoRealBuffers) {
  SampleHolder a{1, 2}, b{1, 2}, c{1, 3}, d{1};
  EXPECT_TRUE(SAMPLEEqual(a.s, b.s));
  EXPECT_FALSE(SAMPLEEqual(a.s, c.s));
  EXPECT_FALSE(SAMPLEEqual(a.s, d.s));
  EXPECT_FALSE(SAMPLEEqual(nullptr, nullptr));
  EXPECT_FALSE(SAMPLEEqual(a.s, nullptr));
}

TEST(SAMPLE, CloneSliceAndInsert) {
  SampleHolder s{0, 1, 2, 3, 4};
  SampleHolder clone(SAMPLEClone(s.s));
  EXPECT_TRUE(SAMPLEEqual(clone.s, s.s));
  EXPECT_EQ(clone.s->capacity, 5);

  SampleHolder slice(SAMPLESlice(s.s, -2, 3));
  EXPECT_EQ(slice.Values(), (Values{0, 1, 2}));
  SampleHolder clamped(SAMPLESlice(s.s, 3, 99));
  EXPECT_EQ(clamped.Values(), (Values{3, 4}));
  EXPECT_EQ(SAMPLESlice(s.s, 3, 2), nullptr);

  SampleHolder other{7, 8};
  SAMPLEInsert(s.s, other.s, 2);
  EXPECT_EQ(s.Values(), (Values{0, 1, 7, 8, 2, 3, 4}));
  EXPECT_EQ(s.s->capacity, 7);  // exactly the new length, even from a larger block
  SampleHolder three(SAMPLEFromASCII("SAMPLE{3\n1\n2\n3\n}"));
  SAMPLEInsert(three.s, other.s, 3);
  EXPECT_EQ(three.Values(), (Values{1, 2, 3, 7, 8}));
  EXPECT_EQ(three.s->capacity, 5);
  SampleHolder small{1, 2};
  SAMPLEInsert(small.s, small.s, 1);
  EXPECT_EQ(small.Values(), (Values{1, 1, 2, 2}));
  SAMPLEInsert(small.s, other.s, 5);  // past the end: refused
  EXPECT_EQ(small.s->length, 4);
}

TEST(SAMPLE, InsertValueRemoveAtAndFind) {
  SampleHolder s{1, 2, 3};
  SAMPLEReserve(s.s, 3);
  EXPECT_EQ(SAMPLEInsertValue(s.s, 9, 1), 9);
  EXPECT_EQ(s.s->capacity, 6);
  EXPECT_EQ(s.Values(), (Values{1, 9, 2, 3}));
  SAMPLEInsertValue(s.s, 4, 4);
  EXPECT_EQ(s.Values(), (Values{1, 9, 2, 3, 4}));
  SAMPLERemoveAt(s.s, 0);
  EXPECT_EQ(s.Values(), (Values{9, 2, 3, 4}));
  SAMPLERemoveAt(s.s, 4);
  EXPECT_EQ(s.s->length, 4);
  EXPECT_EQ(SAMPLEFind(s.s, 3, 0), 2);
  EXPECT_EQ(SAMPLEFind(s.s, 9, 1), -1);
  EXPECT_EQ(SAMPLEFind(s.s, 9, 4), -1);
}

TEST(SAMPLE, MinMaxMultiplyModulateReverse) {
  SampleHolder s{3, -7, 12, 0};
  EXPECT_EQ(SAMPLEMin(s.s), -7);
  EXPECT_EQ(SAMPLEMax(s.s), 12);
  EXPECT_EQ(SAMPLEMin(nullptr), 0);
  SAMPLEMultiply(s.s, -2);
  EXPECT_EQ(s.Values(), (Values{-6, 14, -24, 0}));
  SampleHolder other{2, 3};
  SAMPLEModulate(s.s, other.s);
  EXPECT_EQ(s.Values(), (Values{-12, 42, -24, 0}));
  SAMPLEReverse(s.s);
  EXPECT_EQ(s.Values(), (Values{0, -24, 42, -12}));
}

TEST(SAMPLE, ScaleRangeMapsExtremesToTheBounds) {
  SampleHolder s{-100, 0, 100};
  SAMPLEScaleRange(s.s, 0, 1000);
  EXPECT_EQ(s.Values(), (Values{0, 500, 1000}));
  SampleHolder wide{-1000000, 0, 1000000};
  SAMPLEScaleRange(wide.s, 0, 100000);  // k = 3276; offset * k passes 2^32
  EXPECT_EQ(wide.Values(), (Values{0, 49987, 99975}));
  // A span too wide for the 16.16 factor gives k = 0: everything is lo.
  SampleHolder coarse{0, 50000, 100000};
  SAMPLEScaleRange(coarse.s, 0, 1);
  EXPECT_EQ(coarse.Values(), (Values{0, 0, 0}));
  SampleHolder flat{5, 5};
  SAMPLEScaleRange(flat.s, -1, 1);
  EXPECT_EQ(flat.Values(), (Values{-1, -1}));
}

TEST(SAMPLE, ResampleStretchesByTheAccumulatorAndShrinksInOrder) {
  SampleHolder two{10, 20};
  SAMPLEResample(two.s, 4);
  EXPECT_EQ(two.Values(), (Values{10, 10, 20, 20}));
  EXPECT_EQ(two.s->capacity, 4);
  SampleHolder three{1, 2, 3};
  SAMPLEResample(three.s, 4);
  EXPECT_EQ(three.Values(), (Values{1, 2, 3, 3}));
  SampleHolder six{1, 2, 3, 4, 5, 6};
  SAMPLEResample(six.s, 3);
  EXPECT_EQ(six.Values(), (Values{1, 3, 5}));
  SAMPLEResample(six.s, 3);  // same length: refused
  SAMPLEResample(six.s, 0);
  EXPECT_EQ(six.s->length, 3);
}

TEST(SAMPLE, MatchCountAndBestOffset) {
  SampleHolder a{1, 2, 3, 4, 5};
  SampleHolder b{3, 4, 9};
  EXPECT_EQ(SAMPLEMatchCount(a.s, b.s, 2), 2);
  EXPECT_EQ(SAMPLEMatchCount(a.s, b.s, -2), 0);
  EXPECT_EQ(SAMPLEMatchCount(a.s, b.s, 5), 0);  // outside the allowed offsets
  EXPECT_EQ(SAMPLEBestOffset(a.s, b.s), 2);
  SampleHolder head{0, 1, 2};
  EXPECT_EQ(SAMPLEBestOffset(a.s, head.s), -1);  // b[1..2] = a[0..1]
  SampleHolder none{42};
  EXPECT_EQ(SAMPLEBestOffset(a.s, none.s), -1);
}

TEST(SAMPLE, WriteClampsAndLaysOutBytesPerWidthAndOrder) {
  SampleHolder s{1, -2};
  struct Case {
    int width;
    char order;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {16, 'l', {0x01, 0x00, 0xFE, 0xFF}},
      {16, 'b', {0x00, 0x01, 0xFF, 0xFE}},
      {8, 'b', {0x01, 0xFE}},
      {24, 'l', {0x01, 0x00, 0x00, 0xFE, 0xFF, 0xFF}},
      {24, 'b', {0x00, 0x00, 0x01, 0xFF, 0xFF, 0xFE}},
      {32, 'l', {0x01, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF}},
      {32, 'b', {0x00, 0x00, 0x00, 0x01, 0xFF, 0xFF, 0xFF, 0xFE}},
      {12, 'x', {0x01, 0x00, 0xFE, 0xFF}},
  };
  for (const Case& c : cases) {
    TempFile file;
    EXPECT_EQ(SAMPLEWrite(s.s, file.path.c_str(), c.width, c.order), 2);
    EXPECT_EQ(file.Bytes(), c.bytes) << c.width << c.order;
  }
  SampleHolder loud{40000, -40000, 200, std::numeric_limits<int32_t>::min()};
  TempFile w16, w8, w32;
  SAMPLEWrite(loud.s, w16.path.c_str(), 16, 'l');
  EXPECT_EQ(w16.Bytes(), (std::vector<uint8_t>{0xFF, 0x7F, 0x00, 0x80, 0xC8, 0x00, 0x00, 0x80}));
  SAMPLEWrite(loud.s, w8.path.c_str(), 8, 'l');
  EXPECT_EQ(w8.Bytes(), (std::vector<uint8_t>{0x7F, 0x80, 0x7F, 0x80}));
  SAMPLEWrite(loud.s, w32.path.c_str(), 32, 'b');
  const auto bytes32 = w32.Bytes();
  ASSERT_EQ(bytes32.size(), 16u);
  EXPECT_EQ(std::vector<uint8_t>(bytes32.begin() + 12, bytes32.end()),
            (std::vector<uint8_t>{0x80, 0x00, 0x00, 0x01}));
  EXPECT_EQ(SAMPLEWrite(loud.s, "/nonexistent-dir/x.raw", 16, 'l'), 0);
}

TEST(SAMPLE, ReadDecodesEveryWidthOrderAndSign) {
  TempFile file;
  file.Write({0x01, 0x00, 0xFE, 0xFF, 0x7F});  // odd trailing byte
  SampleHolder little(SAMPLERead(file.path.c_str(), 16, 'l', 's'));
  ASSERT_NE(little.s, nullptr);
  EXPECT_EQ(little.Values(), (Values{1, -2}));
  EXPECT_EQ(little.s->capacity, 1024);
  SampleHolder big(SAMPLERead(file.path.c_str(), 16, 'b', 's'));
  EXPECT_EQ(big.Values(), (Values{256, -257}));
  SampleHolder unsignedWords(SAMPLERead(file.path.c_str(), 16, 'l', 'u'));
  EXPECT_EQ(unsignedWords.Values(), (Values{1 - 32768, 65534 - 32768}));
  SampleHolder bytes(SAMPLERead(file.path.c_str(), 8, 'l', 's'));
  EXPECT_EQ(bytes.Values(), (Values{256, 0, -512, -256, 127 * 256}));
  SampleHolder unsignedBytes(SAMPLERead(file.path.c_str(), 8, 'b', 'u'));
  EXPECT_EQ(unsignedBytes.Values(), (Values{256 - 32768, -32768, 254 * 256 - 32768, 255 * 256 - 32768, 127 * 256 - 32768}));
  EXPECT_EQ(SAMPLERead(file.path.c_str(), 24, 'l', 's'), nullptr);
  EXPECT_EQ(SAMPLERead(file.path.c_str(), 16, 'x', 's'), nullptr);
  EXPECT_EQ(SAMPLERead(file.path.c_str(), 16, 'l', 'x'), nullptr);
  EXPECT_EQ(SAMPLERead("/nonexistent-dir/x.raw", 16, 'l', 's'), nullptr);
}

TEST(SAMPLE, ReadGrowsByDoublingAndMatchesTheWriter) {
  SampleHolder s(SAMPLENew());
  SAMPLESetLength(s.s, 5000);
  for (int i = 0; i < 5000; ++i) s.s->values[i] = (i * 7919) % 65536 - 32768;
  for (char order : {'l', 'b'}) {
    TempFile file;
    ASSERT_EQ(SAMPLEWrite(s.s, file.path.c_str(), 16, order), 5000);
    SampleHolder back(SAMPLERead(file.path.c_str(), 16, order, 's'));
    EXPECT_TRUE(SAMPLEEqual(back.s, s.s)) << order;
    EXPECT_EQ(back.s->capacity, 8192);
  }
  // The in-memory reader agrees with the file reader.
  const uint8_t data[] = {0x10, 0x80, 0xFF};
  SampleHolder mem(SAMPLEReadBuffer(data, sizeof data, 16, 'l', 's'));
  EXPECT_EQ(mem.Values(), (Values{-32752}));
  SampleHolder none(SAMPLEReadBuffer(nullptr, 0, 8, 'l', 's'));
  ASSERT_NE(none.s, nullptr);
  EXPECT_EQ(none.s->length, 0);
}
