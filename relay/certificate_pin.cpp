#include "certificate_pin.h"

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<Sha256Digest> ParseCertificatePin(std::string_view text) {
  const bool colons = text.size() == 3 * 32 - 1;
  if (text.size() != 2 * 32 && !colons) return std::nullopt;
  const size_t stride = colons ? 3 : 2;
  Sha256Digest digest{};
  for (size_t i = 0; i < digest.size(); i++) {
    const size_t at = i * stride;
    if (colons && i > 0 && text[at - 1] != ':') return std::nullopt;
    const int high = HexValue(text[at]);
    const int low = HexValue(text[at + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    digest[i] = static_cast<uint8_t>(high * 16 + low);
  }
  return digest;
}
