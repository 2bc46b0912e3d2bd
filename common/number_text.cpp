#include "number_text.h"

#include <charconv>
#include <limits>

namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Skips the blanks and one sign; tells whether the sign was a minus.
size_t SkipBlanksAndSign(std::string_view text, bool& negative) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) i++;
  negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  return i;
}

// from_chars reports a decimal number beyond the range of double without a value; whether it
// was too large or too small follows from the position of its first significant digit.
bool ExceedsDoubleRange(std::string_view number) {
  size_t i = 0;
  long magnitude = 0;  // digits before the point, less leading zeros after it
  bool significant = false;
  for (; i < number.size() && IsDigit(number[i]); i++) {
    if (number[i] != '0') significant = true;
    if (significant) magnitude++;
  }
  if (i < number.size() && number[i] == '.') {
    for (i++; i < number.size() && IsDigit(number[i]); i++) {
      if (significant) continue;
      if (number[i] != '0') significant = true;
      else magnitude--;
    }
  }
  if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
    bool negative = false;
    size_t j = i + 1;
    if (j < number.size() && (number[j] == '+' || number[j] == '-')) negative = number[j++] == '-';
    long exponent = 0;
    for (; j < number.size() && IsDigit(number[j]); j++)
      if (exponent < 1000000) exponent = exponent * 10 + (number[j] - '0');
    magnitude += negative ? -exponent : exponent;
  }
  return magnitude > 0;
}

}  // namespace

int32_t ReadInt32(std::string_view text) {
  bool negative;
  size_t i = SkipBlanksAndSign(text, negative);
  // Accumulated as a negative number: its range holds INT32_MIN itself.
  constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
  int64_t value = 0;
  for (; i < text.size() && IsDigit(text[i]); i++) {
    value = value * 10 - (text[i] - '0');
    if (value < kMin) value = kMin - 1;  // sticks below the range, whatever digits follow
  }
  if (negative) return value < kMin ? std::numeric_limits<int32_t>::min() : static_cast<int32_t>(value);
  if (value < -std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(-value);
}

double ReadReal(std::string_view text) {
  bool negative;
  size_t i = SkipBlanksAndSign(text, negative);
  std::string_view number = text.substr(i);
  if (number.empty() || !(IsDigit(number[0]) || number[0] == '.')) return 0;
  double value = 0;
  auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                std::chars_format::general);
  if (result.ec == std::errc::invalid_argument) return 0;  // "." alone
  if (result.ec == std::errc::result_out_of_range)
    value = ExceedsDoubleRange(number) ? std::numeric_limits<double>::infinity() : 0.0;
  return negative ? -value : value;
}
