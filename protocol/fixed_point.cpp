#include "fixed_point.h"

#include <charconv>

void AppendFixed(std::string& out, double value, int decimals) {
  // 309 integer digits for the largest double, a sign, a point and the decimals.
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  out.append(buf, r.ptr);
}

void AppendInt(std::string& out, long long value) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, r.ptr);
}
