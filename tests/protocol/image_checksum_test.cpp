#include "image_checksum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

// A second, deliberately literal reading of the definition, kept apart from the real one.
uint32_t ReferenceChecksum(const std::vector<uint8_t>& bytes) {
  uint32_t table[256];
  for (uint32_t i = 0; i < 256; i++) {
    uint32_t c = i;
    for (int k = 0; k < 8; k++) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  uint32_t h = 0xFFFFFFFFu;
  for (size_t i = 0; i < bytes.size() + 4; i++) {
    uint32_t idx = h >> 24;
    int b = i < bytes.size() ? bytes[i] : 0;
    uint32_t widened = b >= 0x80 ? 0xFFFFFF00u | b : b;
    h = (h << 8) | widened;
    h ^= table[idx];
  }
  return h;
}

struct Worked {
  std::string text;
  uint32_t expected;
};

void PrintTo(const Worked& w, std::ostream* os) { *os << std::hex << w.expected; }

class ImageChecksumWorkedValues : public testing::TestWithParam<Worked> {};

TEST_P(ImageChecksumWorkedValues, MatchesTheDefinition) {
  const Worked& w = GetParam();
  EXPECT_EQ(image_checksum(w.text.data(), static_cast<int32_t>(w.text.size())), w.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ImageChecksumWorkedValues,
    testing::Values(Worked{"", 0x53F2F62Du}, Worked{"abc", 0x6953736Bu},
                    Worked{"a", 0x3A217C80u}, Worked{"a\xE9", 0x490E5E56u},
                    Worked{"<image>\n", 0xC5E530D5u}));

TEST(ImageChecksum, TopBitTravelsAsANegativeInteger) {
  EXPECT_EQ(static_cast<int32_t>(image_checksum("<image>\n", 8)), -974835499);
}

TEST(ImageChecksum, AgreesWithALiteralReadingOnRandomBytesWithHighBytes) {
  // From all-ASCII runs (the folded eight-byte path) to dense high bytes (the byte path).
  std::mt19937 rng(12345);
  for (int round = 0; round < 3000; round++) {
    std::vector<uint8_t> bytes(rng() % 300);
    const unsigned high_one_in = 1 + round % 64;
    for (auto& b : bytes)
      b = static_cast<uint8_t>(rng() % high_one_in == 0 ? 0x80 + rng() % 128 : rng() % 128);
    ASSERT_EQ(image_checksum(bytes.data(), static_cast<int32_t>(bytes.size())),
              ReferenceChecksum(bytes))
        << "length " << bytes.size();
  }
}

TEST(ImageChecksum, OneHighByteInEveryPositionAndAlignment) {
  std::vector<uint8_t> buffer(64 + 8);
  for (size_t offset = 0; offset < 8; offset++) {
    for (size_t length = 0; length <= 40; length++) {
      for (size_t high = 0; high <= length; high++) {  // high == length: none
        std::vector<uint8_t> bytes(length);
        for (size_t i = 0; i < length; i++) bytes[i] = static_cast<uint8_t>('A' + i % 26);
        if (high < length) bytes[high] = 0xE9;
        std::copy(bytes.begin(), bytes.end(), buffer.begin() + offset);
        ASSERT_EQ(image_checksum(buffer.data() + offset, static_cast<int32_t>(length)),
                  ReferenceChecksum(bytes))
            << "offset " << offset << " length " << length << " high " << high;
      }
    }
  }
}

}  // namespace
