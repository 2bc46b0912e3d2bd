// Reading a certificate pin: the hex digests people copy from certificate tools, and what is
// refused rather than half-read.
#include "certificate_pin.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kHex = "769ea5191c75aae4511eda1d9e932b5da1bd8d02fb5e6df01e782499cc0bc4ab";

Sha256Digest Expected() {
  Sha256Digest digest;
  for (size_t i = 0; i < digest.size(); i++)
    digest[i] = static_cast<uint8_t>(std::stoi(kHex.substr(2 * i, 2), nullptr, 16));
  return digest;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return text;
}

// The hex digits in pairs, as certificate tools print a fingerprint.
std::string Paired(const std::string& hex, char separator) {
  std::string text;
  for (size_t i = 0; i < hex.size(); i += 2) {
    if (i > 0) text += separator;
    text += hex.substr(i, 2);
  }
  return text;
}

struct PinCase {
  const char* name;
  std::string text;
  bool accepted;
};
void PrintTo(const PinCase& p, std::ostream* out) { *out << p.name; }

class CertificatePin : public testing::TestWithParam<PinCase> {};

TEST_P(CertificatePin, ReadsTheDigestOrRefusesTheText) {
  const PinCase& c = GetParam();
  const auto pin = ParseCertificatePin(c.text);
  ASSERT_EQ(pin.has_value(), c.accepted);
  if (c.accepted) {
    EXPECT_EQ(*pin, Expected());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CertificatePin,
    testing::Values(PinCase{"LowerHex", kHex, true}, PinCase{"UpperHex", Upper(kHex), true},
                    PinCase{"ColonPairs", Paired(Upper(kHex), ':'), true},
                    PinCase{"Empty", "", false}, PinCase{"OneDigitShort", kHex.substr(1), false},
                    PinCase{"OneDigitLong", kHex + "0", false},
                    PinCase{"NotHex", "g" + kHex.substr(1), false},
                    PinCase{"LastDigitNotHex", kHex.substr(0, 63) + "z", false},
                    PinCase{"SpacesForColons", Paired(kHex, ' '), false},
                    PinCase{"ColonsMisplaced", ":" + Paired(kHex, ':').substr(0, 94), false},
                    PinCase{"Sha1Length", kHex.substr(0, 40), false}),
    [](const testing::TestParamInfo<PinCase>& info) { return std::string(info.param.name); });

}  // namespace
