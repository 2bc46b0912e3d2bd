// The terminal's two encodings of a text: UTF-16 inside, UTF-8 (or the ANSI code page) at a
// library's byte arrays.
#pragma once
#include <string>
#include <string_view>

namespace mql {

// A byte that starts no valid UTF-8 sequence, or a sequence cut short, becomes U+FFFD.
std::u16string Utf16OfUtf8(std::string_view bytes);
// A lone surrogate becomes U+FFFD.
std::string Utf8OfUtf16(std::u16string_view units);

// The ANSI code page as Latin-1: what it cannot hold becomes '?'.
std::u16string Utf16OfLatin1(std::string_view bytes);
std::string Latin1OfUtf16(std::u16string_view units);

}  // namespace mql
