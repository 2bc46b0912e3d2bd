// MQL4's string: a value of UTF-16 code units, as the terminal holds it since build 600, with
// the language's concatenation of numbers and its comparisons.
#pragma once
#include <string>
#include <string_view>
#include <type_traits>

#include "mql_types.h"

namespace mql {

class string {
 public:
  string() = default;
  string(null_value) {}
  explicit string(std::u16string units) : units_(std::move(units)) {}
  // (string)x: the number as concatenation writes it.
  template <typename N, typename = std::enable_if_t<std::is_arithmetic_v<N>>>
  explicit string(N number);

  static string FromUtf8(std::string_view bytes);

  const std::u16string& Units() const { return units_; }
  std::string Utf8() const;
  int Length() const { return static_cast<int>(units_.size()); }

  string& operator+=(const string& more) {
    units_ += more.units_;
    return *this;
  }
  friend string operator+(string a, const string& b) { return a += b; }
  friend bool operator==(const string& a, const string& b) { return a.units_ == b.units_; }
  friend auto operator<=>(const string& a, const string& b) { return a.units_ <=> b.units_; }

 private:
  std::u16string units_;
};

// "text" in a translated source.
inline string operator""_mq(const char* bytes, std::size_t size) {
  return string::FromUtf8(std::string_view(bytes, size));
}

// How concatenation and (string) casts write values.
std::string NumberText(mlong number);
std::string NumberText(ulong number);
// Up to `significant` digits, fixed or scientific, whichever is shorter (printf's %G): what
// Print() and concatenation write, 16 digits for a double and 5 for a float.
std::string NumberText(double number, int significant = 16);
std::string BoolText(bool value);       // "true" / "false"
std::string TimeText(datetime time);    // "yyyy.mm.dd hh:mi:ss"

template <typename N>
std::string ValueText(N value) {
  if constexpr (std::is_same_v<N, bool>) return BoolText(value);
  else if constexpr (std::is_same_v<N, float>) return NumberText(value, 5);
  else if constexpr (std::is_floating_point_v<N>) return NumberText(static_cast<double>(value));
  else if constexpr (std::is_signed_v<N>) return NumberText(static_cast<mlong>(value));
  else return NumberText(static_cast<ulong>(value));
}

template <typename N, typename>
string::string(N number) : string(FromUtf8(ValueText(number))) {}

template <typename N, typename = std::enable_if_t<std::is_arithmetic_v<N>>>
string operator+(const string& a, N number) {
  return a + string(number);
}
template <typename N, typename = std::enable_if_t<std::is_arithmetic_v<N>>>
string operator+(N number, const string& b) {
  return string(number) + b;
}
inline string operator+(const string& a, datetime t) { return a + string::FromUtf8(TimeText(t)); }
inline string operator+(datetime t, const string& b) { return string::FromUtf8(TimeText(t)) + b; }

}  // namespace mql
