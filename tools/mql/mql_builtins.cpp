#include "mql_builtins.h"

#include <charconv>
#include <cstdlib>

#include "utf16_text.h"

namespace mql {

void ArrayOutOfRange() { throw CriticalError("array out of range"); }

}  // namespace mql

namespace mql::common {

namespace {

std::string Encode(std::u16string_view units, uint codepage) {
  return codepage == CP_UTF8 ? Utf8OfUtf16(units) : Latin1OfUtf16(units);
}

std::u16string Decode(std::string_view bytes, uint codepage) {
  return codepage == CP_UTF8 ? Utf16OfUtf8(bytes) : Utf16OfLatin1(bytes);
}

// The leading blanks of a text read as a number, and its sign.
size_t NumberStart(std::string_view text, bool& negative) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) i++;
  negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) i++;
  return i;
}

}  // namespace

int StringToCharArray(const string& text, Array<uchar>& array, int start, int count, uint codepage) {
  const std::u16string& units = text.Units();
  if (start < 0) return 0;
  const bool whole = count < 0 || static_cast<size_t>(count) > units.size();
  std::string bytes = Encode(whole ? std::u16string_view(units) : std::u16string_view(units).substr(0, count), codepage);
  if (whole) bytes += '\0';
  int copied = static_cast<int>(bytes.size());
  if (array.IsDynamic()) {
    if (array.Size() < start + copied) array.Resize(start + copied);
  } else {
    if (start > array.Size()) return 0;
    copied = std::min(copied, array.Size() - start);
  }
  std::copy(bytes.begin(), bytes.begin() + copied, array.Items().begin() + start);
  return copied;
}

string CharArrayToString(const Array<uchar>& array, int start, int count, uint codepage) {
  const auto& items = array.Items();
  if (start < 0 || start >= array.Size()) return string();
  size_t end = count < 0 ? items.size() : std::min(items.size(), static_cast<size_t>(start) + count);
  for (size_t i = start; i < end; i++)
    if (items[i] == 0) {
      end = i;
      break;
    }
  const std::string_view bytes(reinterpret_cast<const char*>(items.data()) + start, end - start);
  return string(Decode(bytes, codepage));
}

int StringLen(const string& text) { return text.Length(); }

int StringFind(const string& text, const string& match, int start) {
  if (start < 0 || match.Length() == 0) return -1;
  const size_t at = text.Units().find(match.Units(), static_cast<size_t>(start));
  return at == std::u16string::npos ? -1 : static_cast<int>(at);
}

string StringSubstr(const string& text, int start, int length) {
  if (start < 0 || start >= text.Length()) return string();
  const size_t count = length <= 0 ? std::u16string::npos : static_cast<size_t>(length);
  return string(text.Units().substr(static_cast<size_t>(start), count));
}

mlong StringToInteger(const string& text) {
  const std::string bytes = text.Utf8();
  bool negative = false;
  const size_t i = NumberStart(bytes, negative);
  ulong value = 0;
  std::from_chars(bytes.data() + i, bytes.data() + bytes.size(), value);
  return negative ? -static_cast<mlong>(value) : static_cast<mlong>(value);
}

double StringToDouble(const string& text) {
  const std::string bytes = text.Utf8();
  bool negative = false;
  const size_t i = NumberStart(bytes, negative);
  double value = 0;
  std::from_chars(bytes.data() + i, bytes.data() + bytes.size(), value);
  return negative ? -value : value;
}

string IntegerToString(mlong number, int str_len, ushort fill_symbol) {
  std::u16string units = string::FromUtf8(std::to_string(number)).Units();
  if (str_len > static_cast<int>(units.size())) units.insert(0, str_len - units.size(), static_cast<char16_t>(fill_symbol));
  return string(units);
}

string DoubleToString(double value, int digits) {
  if (digits < -16 || digits > 16) digits = 8;
  char text[400];
  const auto format = digits < 0 ? std::chars_format::scientific : std::chars_format::fixed;
  const int precision = digits < 0 ? -digits : digits;
  const auto end = std::to_chars(text, text + sizeof text, value, format, precision).ptr;
  return string::FromUtf8(std::string_view(text, end - text));
}

string TimeToString(datetime value, int mode) {
  const std::string text = TimeText(value);  // yyyy.mm.dd hh:mi:ss
  std::string shown = mode & TIME_DATE ? text.substr(0, 10) : "";
  const std::string time = mode & TIME_SECONDS ? text.substr(11) : mode & TIME_MINUTES ? text.substr(11, 5) : "";
  if (!shown.empty() && !time.empty()) shown += ' ';
  return string::FromUtf8(shown + time);
}

double NormalizeDouble(double value, int digits) {
  digits = std::clamp(digits, 0, 8);
  const double scale = std::pow(10.0, digits);
  return std::round(value * scale) / scale;
}

}  // namespace mql::common
