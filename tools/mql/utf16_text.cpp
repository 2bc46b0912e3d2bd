#include "utf16_text.h"

namespace mql {

namespace {

const char32_t kReplacement = 0xFFFD;

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
    return;
  }
  c -= 0x10000;
  out += static_cast<char16_t>(0xD800 + (c >> 10));
  out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The character starting at bytes[i] and its length; kReplacement and 1 for a byte that
// starts no valid sequence (overlong forms and surrogates included).
char32_t DecodeAt(std::string_view bytes, size_t i, size_t& length) {
  const unsigned char lead = static_cast<unsigned char>(bytes[i]);
  length = 1;
  if (lead < 0x80) return lead;
  size_t more;
  char32_t c, least;
  if (lead >= 0xC2 && lead <= 0xDF) more = 1, c = lead & 0x1F, least = 0x80;
  else if (lead >= 0xE0 && lead <= 0xEF) more = 2, c = lead & 0x0F, least = 0x800;
  else if (lead >= 0xF0 && lead <= 0xF4) more = 3, c = lead & 0x07, least = 0x10000;
  else return kReplacement;
  if (i + more >= bytes.size()) return kReplacement;  // cut short
  for (size_t k = 1; k <= more; k++) {
    const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
    if ((next & 0xC0) != 0x80) return kReplacement;
    c = (c << 6) | (next & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kReplacement;
  length = more + 1;
  return c;
}

}  // namespace

std::u16string Utf16OfUtf8(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    size_t length;
    AppendUtf16(out, DecodeAt(bytes, i, length));
    i += length;
  }
  return out;
}

std::string Utf8OfUtf16(std::u16string_view units) {
  std::string out;
  out.reserve(units.size());
  for (size_t i = 0; i < units.size(); i++) {
    char32_t c = units[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      i++;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::u16string Utf16OfLatin1(std::string_view bytes) {
  std::u16string out;
  for (char b : bytes) out += static_cast<char16_t>(static_cast<unsigned char>(b));
  return out;
}

std::string Latin1OfUtf16(std::u16string_view units) {
  std::string out;
  for (char16_t u : units) out += u <= 0xFF ? static_cast<char>(u) : '?';
  return out;
}

}  // namespace mql
