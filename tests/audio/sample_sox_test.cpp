// Interoperability of the raw PCM reader and writer with an independent
// tool: sox must read our files to the same values, and we must read its.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "audio/sample.hpp"
#include "audio_test_util.hpp"

namespace {

bool HaveSox() { return std::system("command -v sox >/dev/null 2>&1") == 0; }

bool Sox(const std::string& arguments) {
  return std::system(("sox -D " + arguments + " 2>/dev/null").c_str()) == 0;
}

std::string RawFormat(int width, char order, const char* encoding) {
  return "-t raw -r 44100 -c 1 -e " + std::string(encoding) + " -b " + std::to_string(width) +
         (order == 'b' ? " -B " : " -L ");
}

std::vector<int32_t> LittleEndianWords(const std::vector<uint8_t>& bytes) {
  std::vector<int32_t> words;
  for (size_t i = 0; i + 3 < bytes.size(); i += 4) {
    const uint32_t u = bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 | static_cast<uint32_t>(bytes[i + 3]) << 24;
    words.push_back(static_cast<int32_t>(u));
  }
  return words;
}

}  // namespace

TEST(SAMPLESox, SoxReadsWhatWeWriteAtEveryWidthAndOrder) {
  if (!HaveSox()) GTEST_SKIP() << "sox is not installed";
  SampleHolder s{0,     1,          -1,       100,     -100,      127,        -128,      32767,
                 -32768, 123456,   -8388608, 8388607, 2147483647, -2147483647, 40000, -1000000};
  struct Width {
    int bits;
    int64_t lo, hi;
  };
  const Width widths[] = {{8, -128, 127}, {16, -32768, 32767}, {24, -8388608, 8388607},
                          {32, -2147483647, 2147483647}};
  for (const Width& w : widths) {
    for (char order : {'l', 'b'}) {
      TempFile ours, canonical;
      ASSERT_EQ(SAMPLEWrite(s.s, ours.path.c_str(), w.bits, order), s.s->length);
      ASSERT_TRUE(Sox(RawFormat(w.bits, order, "signed") + ours.path + " " + RawFormat(32, 'l', "signed") +
                      canonical.path));
      const std::vector<int32_t> got = LittleEndianWords(canonical.Bytes());
      ASSERT_EQ(got.size(), static_cast<size_t>(s.s->length)) << w.bits << order;
      for (int i = 0; i < s.s->length; ++i) {
        const int64_t clamped = std::clamp<int64_t>(s.s->values[i], w.lo, w.hi);
        EXPECT_EQ(got[i], static_cast<int32_t>(clamped * (int64_t{1} << (32 - w.bits))))
            << "width " << w.bits << " order " << order << " value " << s.s->values[i];
      }
    }
  }
}

TEST(SAMPLESox, WeReadWhatSoxWritesInEveryOrderAndSign) {
  if (!HaveSox()) GTEST_SKIP() << "sox is not installed";
  // A reference tone from sox itself, then every variant of it converted by sox.
  TempFile reference;
  ASSERT_TRUE(Sox("-n " + RawFormat(16, 'l', "signed") + reference.path + " synth 0.05 sine 440 vol 0.9"));
  SampleHolder expected(SAMPLERead(reference.path.c_str(), 16, 'l', 's'));
  ASSERT_NE(expected.s, nullptr);
  ASSERT_EQ(expected.s->length, 2205);
  EXPECT_GT(SAMPLEMax(expected.s), 25000);
  EXPECT_LT(SAMPLEMin(expected.s), -25000);
  for (char order : {'l', 'b'}) {
    for (char sign : {'s', 'u'}) {
      TempFile variant;
      ASSERT_TRUE(Sox(RawFormat(16, 'l', "signed") + reference.path + " " +
                      RawFormat(16, order, sign == 's' ? "signed" : "unsigned") + variant.path));
      SampleHolder got(SAMPLERead(variant.path.c_str(), 16, order, sign));
      EXPECT_TRUE(SAMPLEEqual(got.s, expected.s)) << "order " << order << " sign " << sign;
    }
  }
  // Eight-bit data comes out in the 16-bit range.
  SampleHolder bytes{-128, -1, 0, 1, 127, 64};
  TempFile ours, unsignedBytes;
  SAMPLEWrite(bytes.s, ours.path.c_str(), 8, 'l');
  ASSERT_TRUE(Sox(RawFormat(8, 'l', "signed") + ours.path + " " + RawFormat(8, 'l', "unsigned") + unsignedBytes.path));
  for (const char* path : {ours.path.c_str(), unsignedBytes.path.c_str()}) {
    SampleHolder got(SAMPLERead(path, 8, 'l', path == ours.path.c_str() ? 's' : 'u'));
    EXPECT_EQ(got.Values(), (std::vector<int32_t>{-32768, -256, 0, 256, 32512, 16384})) << path;
  }
}
