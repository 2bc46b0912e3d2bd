// MQL4's arrays: dynamic (`T a[]`, sized by ArrayResize) or static (`T a[N]`), and
// two-dimensional ones with a fixed second dimension (`T a[][N]`, an array of rows). Every
// index is checked: one outside the array is the terminal's critical error, which stops the
// expert, never a read or write beside it.
#pragma once
#include <cstddef>
#include <type_traits>
#include <vector>

#include "mql_critical_error.h"
#include "mql_types.h"

namespace mql {

[[noreturn]] void ArrayOutOfRange();

// One row of a two-dimensional array.
template <typename T, int N>
struct Row {
  T cells[N] = {};
  T& operator[](mlong i) {
    if (i < 0 || i >= N) ArrayOutOfRange();
    return cells[i];
  }
  const T& operator[](mlong i) const {
    if (i < 0 || i >= N) ArrayOutOfRange();
    return cells[i];
  }
};

struct FixedSize {
  int size;
};

template <typename T>
class Array {
  static_assert(!std::is_same_v<T, bool>, "bool arrays are outside the emulated subset");

 public:
  Array() = default;  // dynamic, empty
  explicit Array(FixedSize fixed) : items_(static_cast<size_t>(fixed.size)), fixed_(true) {}

  int Size() const { return static_cast<int>(items_.size()); }
  bool IsDynamic() const { return !fixed_; }
  // ArrayResize: the new size, or -1 for a static array or a negative size.
  int Resize(int size) {
    if (fixed_ || size < 0) return -1;
    items_.resize(static_cast<size_t>(size));
    return size;
  }
  void Reserve(int reserve) {
    if (!fixed_ && reserve > 0) items_.reserve(items_.size() + static_cast<size_t>(reserve));
  }

  T& operator[](mlong i) {
    if (i < 0 || i >= Size()) ArrayOutOfRange();
    return items_[static_cast<size_t>(i)];
  }
  const T& operator[](mlong i) const {
    if (i < 0 || i >= Size()) ArrayOutOfRange();
    return items_[static_cast<size_t>(i)];
  }

  // What a library gets for `T &a[]`: the first element (nullptr for an empty array).
  T* Data() { return items_.empty() ? nullptr : items_.data(); }
  std::vector<T>& Items() { return items_; }
  const std::vector<T>& Items() const { return items_; }

 private:
  std::vector<T> items_;
  bool fixed_ = false;
};

}  // namespace mql
