// Texts as translated experts see them: UTF-16 inside, UTF-8 or the ANSI code page at a
// library's byte arrays, numbers written as the terminal writes them, and the string
// functions' answers at their edges.
#include <gtest/gtest.h>

#include <string>

#include "mql_builtins.h"

namespace {

using namespace mql::builtin;
using mql::operator""_mq;
using mql::Array;
using mql::uchar;

std::string BytesOf(const Array<uchar>& array) {
  return std::string(array.Items().begin(), array.Items().end());
}

Array<uchar> ArrayOf(const std::string& bytes) {
  Array<uchar> array;
  array.Resize(static_cast<int>(bytes.size()));
  std::copy(bytes.begin(), bytes.end(), array.Items().begin());
  return array;
}

TEST(MqlText, ToUtf8BytesCopiesTheWholeTextWithItsZeroAndCountsIt) {
  Array<uchar> bytes;
  EXPECT_EQ(StringToCharArray("café €"_mq, bytes, 0, -1, CP_UTF8), 10);
  EXPECT_EQ(BytesOf(bytes), std::string("caf\xC3\xA9 \xE2\x82\xAC", 9) + '\0');
  EXPECT_EQ(CharArrayToString(bytes, 0, -1, CP_UTF8), "café €"_mq);
}

TEST(MqlText, ToCharArrayWithACountCopiesThatManyCharactersWithoutTheZero) {
  Array<uchar> bytes;
  EXPECT_EQ(StringToCharArray("abcdef"_mq, bytes, 0, 3, CP_UTF8), 3);
  EXPECT_EQ(BytesOf(bytes), "abc");
  // WHOLE_ARRAY is 0 in MQL4: as a count it copies nothing, not the whole text.
  Array<uchar> none;
  EXPECT_EQ(StringToCharArray("abc"_mq, none, 0, WHOLE_ARRAY, CP_UTF8), 0);
  EXPECT_EQ(ArraySize(none), 0);
}

TEST(MqlText, ToCharArrayGrowsADynamicArrayButNeverShrinksItAndFillsAStaticOneAsFarAsItGoes) {
  Array<uchar> grown = ArrayOf("xxxxxxxx");
  EXPECT_EQ(StringToCharArray("ab"_mq, grown, 2, -1, CP_UTF8), 3);
  EXPECT_EQ(BytesOf(grown), std::string("xxab\0xxx", 8));

  Array<uchar> fixed(mql::FixedSize{4});
  EXPECT_EQ(StringToCharArray("abcdef"_mq, fixed, 0, -1, CP_UTF8), 4);
  EXPECT_EQ(BytesOf(fixed), "abcd");
  EXPECT_EQ(StringToCharArray("abc"_mq, fixed, 5, -1, CP_UTF8), 0);
}

TEST(MqlText, TheAnsiCodePageIsLatinOneWithAQuestionMarkForTheRest) {
  Array<uchar> bytes;
  EXPECT_EQ(StringToCharArray("é€"_mq, bytes), 3);
  EXPECT_EQ(BytesOf(bytes), std::string("\xE9?\0", 3));
  EXPECT_EQ(CharArrayToString(ArrayOf("caf\xE9")), "café"_mq);
}

TEST(MqlText, FromCharArrayStopsAtTheFirstZeroAndReadsBrokenUtf8AsReplacementCharacters) {
  EXPECT_EQ(CharArrayToString(ArrayOf(std::string("ab\0cd", 5)), 0, -1, CP_UTF8), "ab"_mq);
  EXPECT_EQ(CharArrayToString(ArrayOf("abcd"), 1, 2, CP_UTF8), "bc"_mq);
  EXPECT_EQ(CharArrayToString(ArrayOf("abcd"), 4, -1, CP_UTF8), ""_mq);
  EXPECT_EQ(CharArrayToString(ArrayOf("caf\xE9"), 0, -1, CP_UTF8), "caf\xEF\xBF\xBD"_mq);
  EXPECT_EQ(CharArrayToString(ArrayOf("\xE2\x82"), 0, -1, CP_UTF8).Length(), 2);  // cut short
}

TEST(MqlText, CharactersBeyondTheBasicPlaneTakeTwoUnitsAndComeBackWhole) {
  const mql::string emoji = "\xF0\x9F\x98\x80"_mq;
  EXPECT_EQ(StringLen(emoji), 2);
  Array<uchar> bytes;
  StringToCharArray(emoji, bytes, 0, -1, CP_UTF8);
  EXPECT_EQ(CharArrayToString(bytes, 0, -1, CP_UTF8), emoji);
}

TEST(MqlText, ConcatenationWritesNumbersAsPrintDoes) {
  EXPECT_EQ(("n="_mq + 5 + " "_mq + -3LL).Utf8(), "n=5 -3");
  EXPECT_EQ(("x"_mq + 1.5).Utf8(), "x1.5");
  EXPECT_EQ(("x"_mq + 76.671).Utf8(), "x76.67100000000001");  // 16 digits, as the terminal
  EXPECT_EQ(("x"_mq + 1e20).Utf8(), "x1E+20");
  EXPECT_EQ(("x"_mq + true).Utf8(), "xtrue");
  EXPECT_EQ(("at "_mq + mql::datetime(1252972800 + 3661)).Utf8(), "at 2009.09.15 01:01:01");
  EXPECT_EQ((7 + "x"_mq).Utf8(), "7x");
}

TEST(MqlText, StringFunctionsAnswerAtTheirEdges) {
  EXPECT_EQ(StringFind("to #1234"_mq, "to #"_mq), 0);
  EXPECT_EQ(StringFind("from #12"_mq, "to #"_mq), -1);
  EXPECT_EQ(StringFind("abcabc"_mq, "c"_mq, 3), 5);
  EXPECT_EQ(StringSubstr("from #12"_mq, 6), "12"_mq);       // length 0: to the end
  EXPECT_EQ(StringSubstr("abcdef"_mq, 2, 2), "cd"_mq);
  EXPECT_EQ(StringSubstr("abc"_mq, 3), ""_mq);
  EXPECT_EQ(StringToInteger(" 1234abc"_mq), 1234);
  EXPECT_EQ(StringToInteger("-42"_mq), -42);
  EXPECT_EQ(StringToInteger("abc"_mq), 0);
  EXPECT_DOUBLE_EQ(StringToDouble("1.25x"_mq), 1.25);
  EXPECT_EQ(IntegerToString(42, 5, '0'), "00042"_mq);
  EXPECT_EQ(IntegerToString(123456, 3), "123456"_mq);
  EXPECT_EQ(TimeToString(1252972800 + 3661), "2009.09.15 01:01"_mq);
  EXPECT_EQ(TimeToString(1252972800 + 3661, TIME_SECONDS), "01:01:01"_mq);
  EXPECT_EQ(TimeToString(1252972800, TIME_DATE), "2009.09.15"_mq);
}

TEST(MqlText, DoubleToStringWritesTheDecimalsAskedWhateverTheLocale) {
  EXPECT_EQ(DoubleToString(2.0), "2.00000000"_mq);
  EXPECT_EQ(DoubleToString(1.08345, 5), "1.08345"_mq);
  EXPECT_EQ(DoubleToString(1234.5, -2), "1.23e+03"_mq);
  EXPECT_EQ(DoubleToString(0.5, 40), "0.50000000"_mq);  // out of range: 8
}

TEST(MqlText, NormalizeDoubleRoundsToAtMostEightDecimals) {
  EXPECT_DOUBLE_EQ(NormalizeDouble(1.083456, 5), 1.08346);
  EXPECT_DOUBLE_EQ(NormalizeDouble(0.123456789123, 12), 0.12345679);
  EXPECT_DOUBLE_EQ(NormalizeDouble(2.5, -1), 3);
}

}  // namespace
