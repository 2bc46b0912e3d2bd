// SHA-256 and HMAC-SHA256 by the system's provider against published test vectors (RFC 4231
// for HMAC, FIPS 180-2's examples for SHA-256).
#include "hmac_sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const uint8_t* Bytes(const std::string& text) {
  return reinterpret_cast<const uint8_t*>(text.data());
}

std::string Counting(int from, int to) {
  std::string bytes;
  for (int b = from; b <= to; b++) bytes += static_cast<char>(b);
  return bytes;
}

struct HmacCase {
  const char* name;
  std::string key;
  std::string data;
  std::string expected;  // hex; shorter than 64 digits where the vector is truncated
};
void PrintTo(const HmacCase& h, std::ostream* out) { *out << h.name; }

class HmacSha256Vectors : public testing::TestWithParam<HmacCase> {};

TEST_P(HmacSha256Vectors, MatchesThePublishedTag) {
  const HmacCase& c = GetParam();
  Sha256Digest digest;
  ASSERT_TRUE(HmacSha256(Bytes(c.key), c.key.size(), Bytes(c.data), c.data.size(), digest));
  EXPECT_EQ(DigestHex(digest).substr(0, c.expected.size()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rfc4231, HmacSha256Vectors,
    testing::Values(
        HmacCase{"ShortKey", std::string(20, '\x0b'), "Hi There",
                 "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7"},
        HmacCase{"KeyShorterThanTag", "Jefe", "what do ya want for nothing?",
                 "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843"},
        HmacCase{"BinaryKeyAndData", std::string(20, '\xaa'), std::string(50, '\xdd'),
                 "773ea91e36800e46854db8ebd09181a72959098b3ef8c122d9635514ced565fe"},
        HmacCase{"CountingKey", Counting(1, 25), std::string(50, '\xcd'),
                 "82558a389a443c0ea4cc819899f2083a85f0faa3e578f8077a2e3ff46729665b"},
        HmacCase{"Truncated", std::string(20, '\x0c'), "Test With Truncation",
                 "a3b6167473100ee06e0c796c2955552b"},
        HmacCase{"KeyLongerThanBlock", std::string(131, '\xaa'),
                 "Test Using Larger Than Block-Size Key - Hash Key First",
                 "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54"},
        HmacCase{"KeyAndDataLongerThanBlock", std::string(131, '\xaa'),
                 "This is a test using a larger than block-size key and a larger than block-size "
                 "data. The key needs to be hashed before being used by the HMAC algorithm.",
                 "9b09ffa71b942fcb27635fbcd5b0e944bfdc63644f0713938a7f51535c3a35e2"},
        // Not in RFC 4231: an empty secret still signs (the settings may leave it empty).
        HmacCase{"EmptyKeyAndData", "", "",
                 "b613679a0814d9ec772f95d778c35fc5ff1697c493715653c6c712144292c5ad"}),
    [](const testing::TestParamInfo<HmacCase>& info) { return std::string(info.param.name); });

struct HashCase {
  const char* name;
  std::string data;
  std::string expected;
};
void PrintTo(const HashCase& h, std::ostream* out) { *out << h.name; }

class Sha256Vectors : public testing::TestWithParam<HashCase> {};

TEST_P(Sha256Vectors, MatchesThePublishedDigest) {
  const HashCase& c = GetParam();
  Sha256Digest digest;
  ASSERT_TRUE(Sha256(Bytes(c.data), c.data.size(), digest));
  EXPECT_EQ(DigestHex(digest), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fips180, Sha256Vectors,
    testing::Values(
        HashCase{"Empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        HashCase{"OneBlock", "abc",
                 "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        HashCase{"TwoBlocks", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
                 "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        HashCase{"MillionBytes", std::string(1000000, 'a'),
                 "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}),
    [](const testing::TestParamInfo<HashCase>& info) { return std::string(info.param.name); });

}  // namespace
