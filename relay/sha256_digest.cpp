#include "sha256_digest.h"

std::string DigestHex(const Sha256Digest& digest) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  text.reserve(2 * digest.size());
  for (uint8_t b : digest) {
    text += kHex[b >> 4];
    text += kHex[b & 0xF];
  }
  return text;
}
