// Locale-independent number readers for the texts the programs exchange: the fields of an order
// line and the values of a settings file. A terminal process may have switched the C runtime's
// locale to a decimal comma, so nothing here consults it.
#pragma once
#include <cstdint>
#include <string_view>

// Leading blanks (space, tab, CR, LF, vertical tab, form feed), an optional sign, then decimal
// digits up to the first other character; no digits gives 0. Values beyond the 32-bit range saturate at INT32_MIN / INT32_MAX, as the
// C runtime's atoi does on Windows.
int32_t ReadInt32(std::string_view text);

// Leading blanks, an optional sign, then a decimal number with "." as its point and an optional
// exponent ("1.5", ".5", "5.", "2e-3"); whatever follows is ignored and nothing readable gives
// 0. Words such as "inf" or "nan" and hexadecimal are no decimal numbers and also give 0.
// A value too large for a double gives an infinity of its sign, one too small a zero.
double ReadReal(std::string_view text);
