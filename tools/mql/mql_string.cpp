#include "mql_string.h"

#include <charconv>
#include <cstdio>
#include <ctime>

#include "utf16_text.h"

namespace mql {

string string::FromUtf8(std::string_view bytes) { return string(Utf16OfUtf8(bytes)); }

std::string string::Utf8() const { return Utf8OfUtf16(units_); }

std::string NumberText(mlong number) { return std::to_string(number); }

std::string NumberText(ulong number) { return std::to_string(number); }

std::string NumberText(double number, int significant) {
  char text[64];
  const auto end = std::to_chars(text, text + sizeof text, number, std::chars_format::general, significant).ptr;
  std::string written(text, end);
  for (char& c : written)
    if (c == 'e') c = 'E';
  return written;
}

std::string BoolText(bool value) { return value ? "true" : "false"; }

std::string TimeText(datetime time) {
  const std::time_t seconds = static_cast<std::time_t>(time.seconds);
  std::tm utc{};
#ifdef _WIN32
  if (gmtime_s(&utc, &seconds) != 0) return "";
#else
  if (!gmtime_r(&seconds, &utc)) return "";
#endif
  char text[32];
  std::snprintf(text, sizeof text, "%04d.%02d.%02d %02d:%02d:%02d", utc.tm_year + 1900, utc.tm_mon + 1,
                utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
  return text;
}

}  // namespace mql
