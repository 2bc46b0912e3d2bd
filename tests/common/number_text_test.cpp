#include "number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

namespace {

struct IntCase {
  const char* text;
  int32_t expected;
};

TEST(ReadInt32, ReadsLikeTheWriterWritesAndToleratesTheRest) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  const IntCase cases[] = {
      {"0", 0},           {"42", 42},           {"-7", -7},
      {"+5", 5},          {"  12", 12},         {"\r\v\f\t9", 9},
      {"12abc", 12},      {"3.9", 3},           {"1 2", 1},
      {"", 0},            {"abc", 0},           {"-", 0},
      {"--5", 0},         {"+-5", 0},           {"- 5", 0},
      {"0007", 7},        {"2147483647", kMax}, {"-2147483648", kMin},
      // Beyond the range: saturated, however many digits follow.
      {"2147483648", kMax}, {"-2147483649", kMin}, {"99999999999999999999999999", kMax},
      {"-99999999999999999999999999", kMin},
  };
  for (const IntCase& c : cases) EXPECT_EQ(ReadInt32(c.text), c.expected) << '"' << c.text << '"';
}

struct RealCase {
  const char* text;
  double expected;
};

TEST(ReadReal, ReadsDecimalNumbersWithAPointAndNothingElse) {
  const double kInf = std::numeric_limits<double>::infinity();
  const RealCase cases[] = {
      {"1.50", 1.5},        {" 1.5", 1.5},     {"-0.25", -0.25}, {"+2", 2},
      {".5", 0.5},          {"5.", 5},         {"1e3", 1000},    {"2.5E-1", 0.25},
      {"1.2345", 1.2345},   {"1.5abc", 1.5},   {"1,5", 1},       {"1.2.3", 1.2},
      {"1e", 1},            {"", 0},           {".", 0},         {"-", 0},
      {"abc", 0},           {"inf", 0},        {"-nan", 0},      {"0x1A", 0},
      {"--1", 0},           {"1e400", kInf},   {"-1e400", -kInf}, {"1e-400", 0},
      {"0.000000000000000000001e-400", 0},     {"123456789012345678901234567890e300", kInf},
      {"1.7976931348623157e308", 1.7976931348623157e308},
  };
  for (const RealCase& c : cases) EXPECT_EQ(ReadReal(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ReadReal, IgnoresACommaLocale) {
  // The terminal may switch the process to a locale with a decimal comma.
  std::string saved = std::setlocale(LC_ALL, nullptr);
  bool switched = std::setlocale(LC_ALL, "de_DE.UTF-8") || std::setlocale(LC_ALL, "German");
  EXPECT_EQ(ReadReal("1.25"), 1.25);
  EXPECT_EQ(ReadReal("1,25"), 1);
  std::setlocale(LC_ALL, saved.c_str());
  if (!switched) GTEST_SKIP() << "no comma locale on this machine";
}

}  // namespace
