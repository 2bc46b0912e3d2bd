#include "order_line.h"

#include <gtest/gtest.h>

#include <clocale>
#include <algorithm>
#include <string>

namespace {

OrderFields Sample() {
  OrderFields o;
  o.num1 = 123456;
  o.num2 = -7;
  o.type = 5;
  o.lots = 0.1;
  o.symbol = "EURUSD";
  o.price6 = 1.2345;
  o.price7 = 1.3;
  o.price8 = 0;
  o.close_time = 1262304000;
  o.close_price = 1.23456789;
  o.num11 = 0;
  o.num12 = 42;
  o.comment = "copy me";
  return o;
}

TEST(OrderLine, WritesThirteenTabSeparatedFields) {
  EXPECT_EQ(FormatOrderLine(Sample(), 5, 2),
            "123456\t-7\t5\t0.10\tEURUSD\t1.23450\t1.30000\t0.00000\t1262304000\t1.23457\t0\t42\t"
            "copy me");
}

TEST(OrderLine, ZeroLotsDigitsWritesNoDecimalPoint) {
  OrderFields o = Sample();
  o.lots = 1;
  EXPECT_EQ(FormatOrderLine(o, 0, 0).substr(0, 14), "123456\t-7\t5\t1\t");
}

TEST(OrderLine, RoundsToTheNearestValueWithTheGivenDecimals) {
  OrderFields o = Sample();
  o.lots = 2.675;  // 2.67499999... in binary
  o.price6 = 0.125;
  o.price7 = -0.0004;
  std::string line = FormatOrderLine(o, 2, 2);
  EXPECT_NE(line.find("\t2.67\t"), std::string::npos) << line;
  EXPECT_NE(line.find("\t0.12\t-0.00\t"), std::string::npos) << line;
}

TEST(OrderLine, IgnoresACommaLocale) {
  // Whatever locale the terminal set, the point stays a point.
  const char* old = std::setlocale(LC_ALL, nullptr);
  std::string saved = old ? old : "C";
  bool switched = std::setlocale(LC_ALL, "de_DE.UTF-8") || std::setlocale(LC_ALL, "German");
  EXPECT_EQ(FormatOrderLine(Sample(), 5, 2).substr(0, 17), "123456\t-7\t5\t0.10\t");
  std::setlocale(LC_ALL, saved.c_str());
  if (!switched) GTEST_SKIP() << "no comma locale on this machine";
}

TEST(OrderLine, ClampsPrecisionToZeroThroughSixteen) {
  OrderFields o = Sample();
  o.lots = 1.5;
  EXPECT_EQ(FormatOrderLine(o, 5, -3).substr(0, 14), "123456\t-7\t5\t2\t");
  EXPECT_NE(FormatOrderLine(o, 5, 400).find("\t1.5000000000000000\t"), std::string::npos);
}

TEST(OrderLine, TabsAndLineFeedsInTextsBecomeBlanks) {
  OrderFields o = Sample();
  o.symbol = "EUR\tUSD";
  o.comment = "two\nlines\r";
  std::string line = FormatOrderLine(o, 5, 2);
  EXPECT_NE(line.find("\tEUR USD\t"), std::string::npos);
  EXPECT_EQ(line.substr(line.size() - 10), "two lines\r");
}

TEST(OrderLine, OverlongLineShortensCommentThenSymbolAndKeepsEveryField) {
  OrderFields o = Sample();
  std::string comment(2000, 'c');
  std::string symbol(2000, 's');
  o.comment = comment;
  std::string line = FormatOrderLine(o, 5, 2);
  EXPECT_EQ(line.size(), kMaxOrderLineLength);
  EXPECT_NE(line.find("\tEURUSD\t"), std::string::npos);  // the symbol kept whole

  o.symbol = symbol;
  line = FormatOrderLine(o, 5, 2);
  EXPECT_EQ(line.size(), kMaxOrderLineLength);
  EXPECT_EQ(line.back(), '\t');  // comment gone, the 13th field still there (empty)
  EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 12);
}

}  // namespace
