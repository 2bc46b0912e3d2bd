// The functions that need no terminal, MQL4's and MQL5's alike: arrays, texts and their
// conversions, math; and MQL4's ArraySort. Each has the reference's signature, defaults
// included, so that a translated call of the wrong arity or types does not compile.
#pragma once
#include <algorithm>
#include <cmath>

#include "mql_array.h"
#include "mql_constants.h"
#include "mql_string.h"

namespace mql::common {

// --- Arrays.

template <typename T>
int ArraySize(const Array<T>& array) {
  return array.Size();
}
template <typename T, int N>
int ArraySize(const Array<Row<T, N>>& array) {
  return array.Size() * N;
}

// Sizes the first dimension; answers the number of elements in all dimensions, or -1.
template <typename T>
int ArrayResize(Array<T>& array, int new_size, int reserve_size = 0) {
  if (array.Resize(new_size) < 0) return -1;
  array.Reserve(reserve_size);
  return ArraySize(array);
}

// --- Texts.

// Copies `count` characters of the text into `array` from its element `start`, encoded in
// `codepage` (CP_UTF8, or CP_ACP as Latin-1, '?' for what it cannot hold); count -1, or one
// past the text, copies it all with its terminating zero. A dynamic array grows to what is
// copied (it never shrinks), a static one takes what fits. Answers the number of bytes copied.
// The reference documents no count of 0 (WHOLE_ARRAY in MQL4): it copies nothing here.
int StringToCharArray(const string& text, Array<uchar>& array, int start = 0, int count = -1,
                      uint codepage = CP_ACP);
// The text of `count` bytes from `start` (-1: to the first zero or the end), decoded from
// `codepage`; a sequence that is not UTF-8 becomes U+FFFD.
string CharArrayToString(const Array<uchar>& array, int start = 0, int count = -1, uint codepage = CP_ACP);

int StringLen(const string& text);
// Where `match` starts at or after `start`, -1 when it does not.
int StringFind(const string& text, const string& match, int start = 0);
// `length` 0 or less: to the end.
string StringSubstr(const string& text, int start, int length = 0);
// The leading whole number of the text (after blanks), 0 when there is none.
mlong StringToInteger(const string& text);
double StringToDouble(const string& text);
string IntegerToString(mlong number, int str_len = 0, ushort fill_symbol = ' ');
// digits 0 to 16: that many decimals; -1 to -16: scientific notation; else 8 decimals.
string DoubleToString(double value, int digits = 8);
// "yyyy.mm.dd hh:mi" by default; mode: TIME_DATE, TIME_MINUTES, TIME_SECONDS combined.
string TimeToString(datetime value, int mode = TIME_DATE | TIME_MINUTES);

// --- Math.

double NormalizeDouble(double value, int digits);
inline double MathAbs(double value) { return std::fabs(value); }
inline double MathPow(double base, double exponent) { return std::pow(base, exponent); }
inline double MathRound(double value) { return std::round(value); }
inline double MathFloor(double value) { return std::floor(value); }
inline double MathCeil(double value) { return std::ceil(value); }
inline double MathMax(double a, double b) { return std::max(a, b); }
inline double MathMin(double a, double b) { return std::min(a, b); }

}  // namespace mql::common

namespace mql::builtin {

// Sorts a one-dimensional array, or the rows of a two-dimensional one by their first cell.
// count WHOLE_ARRAY (0): to the end.
template <typename T>
bool ArraySort(Array<T>& array, int count = WHOLE_ARRAY, int start = 0, int direction = MODE_ASCEND) {
  auto& items = array.Items();
  if (start < 0 || start > array.Size() || (direction != MODE_ASCEND && direction != MODE_DESCEND)) return false;
  const int end = count <= 0 ? array.Size() : std::min(array.Size(), start + std::max(count, 0));
  auto key = [](const T& item) -> const auto& {
    if constexpr (requires { item.cells[0]; }) return item.cells[0];
    else return item;
  };
  std::stable_sort(items.begin() + start, items.begin() + end, [&](const T& a, const T& b) {
    return direction == MODE_ASCEND ? key(a) < key(b) : key(b) < key(a);
  });
  return true;
}

}  // namespace mql::builtin
