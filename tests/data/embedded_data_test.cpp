// The data the program carries, byte for byte: each picture file that artgen
// drew and the instrument bank that bankgen synthesized, against digests kept
// in tests/data/data_digests.txt. Both generators run at build time on the
// building machine, so this is what shows that another processor, compiler
// or C library made the same bytes.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "audio/bank.hpp"
#include "driver/pictures.hpp"

namespace {

const char* const kDigestFile = TORVELIN_SOURCE_DIR "/tests/data/data_digests.txt";

// In the order of TORVELINPicture.
const char* const kPictureFiles[TORVELINPictureCount] = {
    "characters.pbm", "titlecard.ppm", "scroller_font.ppm", "tiles.ppm",
    "bobs.ppm",       "logo.pbm",      "sparkles.pgm",      "strip.pbm"};

// 64-bit FNV-1a.
uint64_t Digest(const unsigned char* bytes, size_t size) {
  uint64_t hash = 14695981039346656037ull;
  for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
  return hash;
}

// "KIND NAME SIZE DIGEST": the line the file holds for one piece of data.
std::string Line(const std::string& kind, const std::string& name, size_t size, uint64_t digest) {
  char hex[20];
  snprintf(hex, sizeof hex, "%016" PRIx64, digest);
  return kind + " " + name + " " + std::to_string(size) + " " + hex;
}

// The stored lines by "KIND NAME".
std::map<std::string, std::string> StoredLines() {
  std::map<std::string, std::string> lines;
  std::ifstream in(kDigestFile);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string kind, name;
    fields >> kind >> name;
    lines[kind + " " + name] = line;
  }
  return lines;
}

void ExpectStored(const std::map<std::string, std::string>& stored, const std::string& now) {
  const std::string key = now.substr(0, now.find(' ', now.find(' ') + 1));
  const auto found = stored.find(key);
  ASSERT_NE(found, stored.end()) << key << " has no line in " << kDigestFile;
  EXPECT_EQ(found->second, now) << key << " differs from the stored digest. If the change is deliberate, "
                                << "put the new line in tests/data/data_digests.txt.";
}

TEST(EmbeddedData, EveryPictureFileMatchesItsStoredDigest) {
  const auto stored = StoredLines();
  ASSERT_FALSE(stored.empty()) << kDigestFile << " is missing or empty";
  for (int i = 0; i < TORVELINPictureCount; ++i)
    ExpectStored(stored, Line("picture", kPictureFiles[i], TORVELINPictureSizes[i],
                              Digest(TORVELINPictures[i], TORVELINPictureSizes[i])));
}

// The values as bank.bin holds them: 32-bit little-endian, whatever the
// byte order of the machine running the test.
TEST(EmbeddedData, TheInstrumentBankMatchesItsStoredDigest) {
  std::string bytes;
  for (int32_t value : TORVELINBankValues) {
    const auto u = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>(u >> shift));
  }
  ExpectStored(StoredLines(), Line("bank", "bank.bin", bytes.size(),
                                   Digest(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())));
}

}  // namespace
