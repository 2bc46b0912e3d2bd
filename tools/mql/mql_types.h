// The value types of MQL4 (build 600 and later) as C++ types: the translator writes these names
// for the language's own, so that sizes and conversions are the terminal's whatever the
// compiler's `long` is.
#pragma once
#include <cstdint>

// DLL imports are __stdcall in the terminal; only 32-bit Windows tells conventions apart.
#if defined(_WIN32) && !defined(_WIN64)
#define MQL_STDCALL __stdcall
#else
#define MQL_STDCALL
#endif

namespace mql {

using uchar = unsigned char;
using ushort = uint16_t;
using uint = uint32_t;
using mlong = int64_t;  // MQL4's long: 8 bytes
using ulong = uint64_t;
using color = uint32_t;

// Seconds since 1970, 8 bytes; converts to and from whole numbers as MQL4 lets it.
struct datetime {
  mlong seconds = 0;
  datetime() = default;
  datetime(mlong s) : seconds(s) {}
  operator mlong() const { return seconds; }
};

// NULL where MQL4 takes it: an empty string, or 0.
struct null_value {};

}  // namespace mql
