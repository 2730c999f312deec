// The data the program carries, byte for byte: each picture file that artgen
// drew and the instrument bank that bankgen synthesized, against digests kept
// in tests/data/data_digests.txt. Both generators run at build time on the
// building machine, so this is what shows that another processor, compiler
// or C library made the same bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "audio/bank.hpp"
#include "driver/pictures.hpp"
#include "../digests.hpp"

namespace {

const char* const kDigestFile = TORVELIN_SOURCE_DIR "/tests/data/data_digests.txt";

struct Stored {
  std::string name;  // the file's name
  std::string line;  // "KIND NAME SIZE DIGEST"
};

// The stored lines of one kind, in the file's order (the pictures' lines
// are in data order).
std::vector<Stored> StoredLines(const std::string& wanted) {
  std::vector<Stored> lines;
  std::ifstream in(kDigestFile);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string kind, name;
    fields >> kind >> name;
    if (kind == wanted) lines.push_back({name, line});
  }
  return lines;
}

std::string Line(const std::string& kind, const std::string& name, size_t size, uint64_t digest) {
  return kind + " " + name + " " + std::to_string(size) + " " + DigestHex(digest);
}

const char* const kIfDeliberate = "If the change is deliberate, put the new line in tests/data/data_digests.txt.";

TEST(EmbeddedData, EveryPictureFileMatchesItsStoredDigest) {
  const std::vector<Stored> stored = StoredLines("picture");
  ASSERT_EQ(stored.size(), static_cast<size_t>(TORVELINPictureCount)) << kDigestFile << " holds a line per picture";
  for (int i = 0; i < TORVELINPictureCount; ++i)
    EXPECT_EQ(Line("picture", stored[i].name, TORVELINPictureSizes[i], Digest(TORVELINPictures[i], TORVELINPictureSizes[i])),
              stored[i].line)
        << "picture " << i << " differs from the stored digest. " << kIfDeliberate;
}

// The values as bank.bin holds them: 32-bit little-endian, whatever the
// byte order of the machine running the test.
TEST(EmbeddedData, TheInstrumentBankMatchesItsStoredDigest) {
  std::string bytes;
  for (int32_t value : TORVELINBankValues) {
    const auto u = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>(u >> shift));
  }
  const std::vector<Stored> stored = StoredLines("bank");
  ASSERT_EQ(stored.size(), 1u) << kDigestFile << " holds one line for the bank";
  EXPECT_EQ(Line("bank", "bank.bin", bytes.size(), Digest(bytes.data(), bytes.size())), stored[0].line) << kIfDeliberate;
}

}  // namespace
