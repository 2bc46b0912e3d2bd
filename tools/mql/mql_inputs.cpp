#include "mql_inputs.h"

#include <charconv>
#include <cmath>

namespace mql {

namespace {

template <typename N>
bool ReadWhole(const std::string& text, N& value) {
  N read{};
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, read);
  if (text.empty() || error != std::errc() || at != end) return false;
  value = read;
  return true;
}

}  // namespace

bool ReadInput(const std::string& text, int& value) { return ReadWhole(text, value); }
bool ReadInput(const std::string& text, uint& value) { return ReadWhole(text, value); }
bool ReadInput(const std::string& text, mlong& value) { return ReadWhole(text, value); }

bool ReadInput(const std::string& text, double& value) {
  double read = 0;
  if (!ReadWhole(text, read) || !std::isfinite(read)) return false;
  value = read;
  return true;
}

bool ReadInput(const std::string& text, bool& value) {
  if (text != "true" && text != "false" && text != "1" && text != "0") return false;
  value = text == "true" || text == "1";
  return true;
}

bool ReadInput(const std::string& text, string& value) {
  value = string::FromUtf8(text);
  return true;
}

bool ReadInput(const std::string& text, datetime& value) { return ReadWhole(text, value.seconds); }

}  // namespace mql
