#include "ascii_case.h"

#include <gtest/gtest.h>

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

TEST(CompareIgnoringCase, FoldsAsciiLettersToLowerCaseAndComparesBytesUnsigned) {
  const struct {
    const char *a, *b;
    int sign;
  } cases[] = {
      {"", "", 0},
      {"q.DLL", "Q.dll", 0},
      {"b.dll", "A.dll", 1},
      {"A.dll", "b.dll", -1},
      {"a", "ab", -1},              // a name sorts before the longer names it starts
      {"ab", "a.b", 1},
      {"[", "A", -1},               // "[" lies between "Z" and "a": letters fold down, not up
      {"_", "a", -1},
      {"\xc3\xa9", "z", 1},         // bytes above 127 sort after ASCII
      {"\xc3\x89", "\xc3\xa9", -1}, // no folding beyond ASCII
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Sign(CompareIgnoringCase(c.a, c.b)), c.sign) << c.a << " | " << c.b;
    EXPECT_EQ(EqualsIgnoringCase(c.a, c.b), c.sign == 0) << c.a << " | " << c.b;
  }
}

TEST(AsciiCase, FindsPartsIgnoringCase) {
  const struct {
    const char *text, *part;
    bool starts, ends, contains;
  } cases[] = {
      {"EURUSDm", "eurusd", true, false, true},
      {"mEURUSD", "M", true, false, true},
      {"EURUSD.pro", ".PRO", false, true, true},
      {"copied by Qelv", "QELV", false, true, true},
      {"x", "", true, true, true},
      {"", "x", false, false, false},
      {"EUR", "EURUSD", false, false, false},
      {"caf\xc3\xa9", "\xc3\x89", false, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StartsWithIgnoringCase(c.text, c.part), c.starts) << c.text << " | " << c.part;
    EXPECT_EQ(EndsWithIgnoringCase(c.text, c.part), c.ends) << c.text << " | " << c.part;
    EXPECT_EQ(ContainsIgnoringCase(c.text, c.part), c.contains) << c.text << " | " << c.part;
  }
}

}  // namespace
