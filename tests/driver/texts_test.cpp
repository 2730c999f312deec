#include "driver/texts.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view keyHelp =
    "PRESS KEYS:  O,P: SCROLL SPEED  ESC,Q: EXIT  SPACE: NEXT PART  F: FRAMES PER SECOND";

size_t CountOccurrences(std::string_view text, std::string_view part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

size_t LeadingSpaces(std::string_view text) { return text.find_first_not_of(' '); }

size_t TrailingSpaces(std::string_view text) {
  return text.size() - 1 - text.find_last_not_of(' ');
}

// Lengths of the runs of spaces between the first and the last non-space.
std::vector<size_t> InnerSpaceRuns(std::string_view text) {
  std::vector<size_t> runs;
  const size_t end = text.find_last_not_of(' ');
  size_t run = 0;
  for (size_t i = LeadingSpaces(text); i <= end; ++i) {
    if (text[i] == ' ') {
      ++run;
    } else if (run > 0) {
      runs.push_back(run);
      run = 0;
    }
  }
  return runs;
}

// Splits the trimmed text at runs of at least `minimum` spaces.
std::vector<std::string> SplitAtRuns(std::string_view text, size_t minimum) {
  std::vector<std::string> parts(1);
  const size_t end = text.find_last_not_of(' ');
  for (size_t i = LeadingSpaces(text); i <= end;) {
    size_t run = 0;
    while (text[i + run] == ' ') ++run;
    if (run >= minimum) {
      parts.emplace_back();
      i += run;
    } else if (run > 0) {
      parts.back().append(run, ' ');
      i += run;
    } else {
      parts.back() += text[i++];
    }
  }
  return parts;
}

const std::string_view scrollText(TORVELINScrollText);
const std::string_view largeText(TORVELINLargeScrollText);

}  // namespace

TEST(TORVELINScrollText, LengthAndBlankEnds) {
  EXPECT_EQ(scrollText.size(), 931u);
  EXPECT_EQ(static_cast<int>(scrollText.size()), TORVELINScrollTextLength);
  EXPECT_EQ(LeadingSpaces(scrollText), 8u);
  EXPECT_EQ(TrailingSpaces(scrollText), 9u);
}

TEST(TORVELINScrollText, SentencesAreSeparatedByTwoToFourteenSpaces) {
  const std::vector<size_t> runs = InnerSpaceRuns(scrollText);
  size_t separators = 0;
  for (size_t run : runs) {
    EXPECT_LE(run, 14u);
    if (run >= 2) ++separators;
  }
  EXPECT_GE(separators, 8u);
}

TEST(TORVELINScrollText, UsesOnlyTheScrollerAlphabet) {
  const std::string_view allowed = "ABCDEFGHIJKLMNOPQRSTUVWXYZ !(),-.:6c";
  for (size_t i = 0; i < scrollText.size(); ++i) {
    EXPECT_NE(allowed.find(scrollText[i]), std::string_view::npos)
        << "character " << static_cast<int>(static_cast<unsigned char>(scrollText[i])) << " at "
        << i;
  }
  // The only lower-case letter is the one of the copyright sign.
  EXPECT_EQ(CountOccurrences(scrollText, "c"), CountOccurrences(scrollText, "(c)"));
  EXPECT_GE(CountOccurrences(scrollText, "(c)"), 1u);
  EXPECT_GE(CountOccurrences(scrollText, "6"), 1u);
}

TEST(TORVELINScrollText, CarriesTheKeyHelpTwice) {
  EXPECT_EQ(CountOccurrences(scrollText, keyHelp), 2u);
  // Each time it stands as a sentence of its own.
  for (size_t at = scrollText.find(keyHelp); at != std::string_view::npos;
       at = scrollText.find(keyHelp, at + 1)) {
    ASSERT_GE(at, 2u);
    EXPECT_EQ(scrollText.substr(at - 2, 2), "  ");
    EXPECT_EQ(scrollText.substr(at + keyHelp.size(), 2), "  ");
  }
}

TEST(TORVELINLargeScrollText, LengthAndBlankEnds) {
  EXPECT_EQ(largeText.size(), 206u);
  EXPECT_EQ(static_cast<int>(largeText.size()), TORVELINLargeScrollTextLength);
  EXPECT_EQ(LeadingSpaces(largeText), 4u);
  EXPECT_EQ(TrailingSpaces(largeText), 1u);
}

TEST(TORVELINLargeScrollText, NinePhrasesApartByFiveSpaces) {
  for (size_t run : InnerSpaceRuns(largeText)) EXPECT_TRUE(run == 1 || run == 5) << run;
  const std::vector<std::string> phrases = SplitAtRuns(largeText, 2);
  ASSERT_EQ(phrases.size(), 9u);
  EXPECT_EQ(phrases[0], "TORVELIN");
  for (const std::string& phrase : phrases) {
    EXPECT_FALSE(phrase.empty());
    for (char c : phrase) {
      const bool letterOrDigit =
          (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
      EXPECT_TRUE(letterOrDigit || c == ' ') << phrase;
    }
  }
}

TEST(TORVELINGlyphTable, MapsLettersPunctuationAndBlanks) {
  const auto& glyph = TORVELINGlyphTable;
  EXPECT_EQ(glyph[0], 0);
  for (int letter = 0; letter < 26; ++letter) {
    EXPECT_EQ(glyph['A' + letter], 2 + letter);
    EXPECT_EQ(glyph['a' + letter], 2 + letter);
  }
  EXPECT_EQ(glyph['.'], 28);
  EXPECT_EQ(glyph[':'], 29);
  EXPECT_EQ(glyph[';'], 29);
  EXPECT_EQ(glyph[','], 30);
  EXPECT_EQ(glyph['-'], 31);
  EXPECT_EQ(glyph['!'], 32);
  EXPECT_EQ(glyph['?'], 33);
  for (char blank : std::string_view(" 0123456789()\"'*/@[\x7f\x01")) {
    EXPECT_EQ(glyph[static_cast<unsigned char>(blank)], 1) << blank;
  }
  for (int code = 128; code < 256; ++code) EXPECT_EQ(glyph[code], glyph[code - 128]) << code;
}

TEST(TORVELINGlyphTable, TranslatesTheScrollTextIntoFontCells) {
  int blanks = 0;
  for (char c : scrollText) {
    const int cell = TORVELINGlyphTable[static_cast<unsigned char>(c)];
    EXPECT_GE(cell, 1);
    EXPECT_LE(cell, 33);
    if (cell == 1) ++blanks;
  }
  EXPECT_EQ(blanks, static_cast<int>(
                        CountOccurrences(scrollText, " ") + CountOccurrences(scrollText, "(") +
                        CountOccurrences(scrollText, ")") + CountOccurrences(scrollText, "6")));
  EXPECT_EQ(TORVELINGlyphTable['c'], TORVELINGlyphTable['C']);
}

TEST(TORVELINWordTables, CountsAndTheFixedEntries) {
  const auto& windowed = TORVELINWindowedWords;
  const auto& full = TORVELINFullScreenWords;
  ASSERT_EQ(windowed.size(), 24u);
  ASSERT_EQ(full.size(), 28u);

  const std::vector<std::string> windowedFixed = {
      "QUAV",         "LOVE",         "",      "2011",   "",       "",     "",
      "PARTY",        "APRIL",        "FUN",   "SPRING", "FLOWER", "COMP", "DEMO",
      "OBJ ASM",      "SCENE",        "BEACH", "OCEAN",  "SUN",    "PLAY", "\xA0\xA1\xA3\xA1\xA0",
      "\xC9\xC9\xC9", "\xCA\xCA\xCA", "***"};
  for (size_t i = 0; i < windowed.size(); ++i) {
    if (!windowedFixed[i].empty()) {
      EXPECT_EQ(windowed[i], windowedFixed[i]) << i;
    }
  }
  // Our own words keep their lengths: 3, 8, 5 and 3 letters.
  EXPECT_EQ(std::strlen(windowed[2]), 3u);
  EXPECT_EQ(std::strlen(windowed[4]), 8u);
  EXPECT_EQ(std::strlen(windowed[5]), 5u);
  EXPECT_EQ(std::strlen(windowed[6]), 3u);

  // The full-screen table inserts four words after "2011" and otherwise
  // follows the windowed one.
  const char* inserted[] = {"WOODS", "CONCERT", "MUSIC", "ELECTRO"};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_STREQ(full[i], windowed[i]);
    EXPECT_STREQ(full[4 + i], inserted[i]);
  }
  for (size_t i = 4; i < windowed.size(); ++i) EXPECT_STREQ(full[i + 4], windowed[i]) << i;
}

TEST(TORVELINWordTables, EveryWordFitsTheScreenInTheWordFont) {
  for (const char* word : TORVELINFullScreenWords) {
    const size_t length = std::strlen(word);
    EXPECT_GE(length, 1u);
    EXPECT_LE(length * 32, 256u) << word;
  }
}

TEST(TORVELINWordTables, TheLinkedProgramSelectsItsTable) {
  // The tests link the windowed program's flavour.
  EXPECT_EQ(TORVELINWordCount(), 24);
  EXPECT_EQ(TORVELINWords(), TORVELINWindowedWords.data());
}

TEST(TORVELINTintTables, PastelsAndHuesWalkAroundTheColourWheel) {
  // Neighbours, the last wrapping to the first, differ in exactly one channel.
  auto oneChannelApart = [](uint32_t a, uint32_t b) {
    int differing = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      if (((a >> shift) & 0xFF) != ((b >> shift) & 0xFF)) ++differing;
    }
    return differing == 1;
  };
  for (size_t i = 0; i < TORVELINPastel.size(); ++i) {
    const uint32_t colour = TORVELINPastel[i];
    for (int shift = 0; shift < 24; shift += 8) {
      const uint32_t channel = (colour >> shift) & 0xFF;
      EXPECT_TRUE(channel == 0x80 || channel == 0xC0 || channel == 0xFF) << std::hex << colour;
    }
    EXPECT_TRUE(oneChannelApart(colour, TORVELINPastel[(i + 1) % TORVELINPastel.size()])) << i;
  }
  for (size_t i = 0; i < TORVELINHues.size(); ++i) {
    const uint32_t colour = TORVELINHues[i];
    int full = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const uint32_t channel = (colour >> shift) & 0xFF;
      if (channel == 0xFF) ++full;
      EXPECT_TRUE(channel % 0x40 == 0 || channel == 0xFF) << std::hex << colour;
    }
    EXPECT_GE(full, 1) << std::hex << colour;
    EXPECT_TRUE(oneChannelApart(colour, TORVELINHues[(i + 1) % TORVELINHues.size()])) << i;
  }
  EXPECT_EQ(TORVELINPastel[0], 0xFF8080u);
  EXPECT_EQ(TORVELINHues[0], 0xFF0000u);
}

TEST(TORVELINFloorRaster, BlackThenMagentaRedYellow) {
  const RASTER& floor = TORVELINFloorRaster;
  ASSERT_EQ(floor.count, 256);
  EXPECT_EQ(floor.position, 0);
  ASSERT_NE(floor.colours, nullptr);
  for (int i = 0; i <= 208; ++i) EXPECT_EQ(floor.colours[i], 0u) << i;
  EXPECT_EQ(floor.colours[209], 0x100010u);
  EXPECT_EQ(floor.colours[223], 0xF000F0u);
  EXPECT_EQ(floor.colours[224], 0xF000F0u);
  EXPECT_EQ(floor.colours[239], 0xF00000u);
  EXPECT_EQ(floor.colours[240], 0xF00000u);
  EXPECT_EQ(floor.colours[255], 0xF0F000u);
  // Within each ramp one channel moves by 0x10 per row.
  for (int i = 210; i <= 223; ++i) EXPECT_EQ(floor.colours[i] - floor.colours[i - 1], 0x100010u);
  for (int i = 225; i <= 239; ++i) EXPECT_EQ(floor.colours[i - 1] - floor.colours[i], 0x10u);
  for (int i = 241; i <= 255; ++i) EXPECT_EQ(floor.colours[i] - floor.colours[i - 1], 0x1000u);
}
