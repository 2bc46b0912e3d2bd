#include "panel_values.h"

#include <gtest/gtest.h>

#include "time_stamp.h"

namespace {

TEST(PanelValues, Terminals) {
  EXPECT_EQ(TerminalsValue({2, 3}), "2m/3s");
  EXPECT_EQ(TerminalsValue({0, 0}), "0m/0s");
}

TEST(PanelValues, ChecksumIsUnsignedAndNotAvailableWhileZero) {
  EXPECT_EQ(ChecksumValue(0), "n/a");
  EXPECT_EQ(ChecksumValue(1), "1");
  EXPECT_EQ(ChecksumValue(0xFFFFFFFFu), "4294967295");
}

TEST(PanelValues, RuleRunsFrom170To255) {
  EXPECT_EQ(RuleLevel(kRuleFirst), 170);
  EXPECT_EQ(RuleLevel(kRuleLast), 255);
  EXPECT_EQ(RuleLevel(26), 170);  // 170.195 truncated
  EXPECT_EQ(RuleLevel(242), 212);
  EXPECT_EQ(kRuleLast - kRuleFirst + 1, 436);
}

struct Stamp {
  int year, month, day, hour, minute, second;
  const char* text;
};

TEST(TimeStamp, FormatsDateWithPointsAndTimeWithColons) {
  for (const Stamp& s : {Stamp{2009, 9, 15, 8, 5, 3, "2009.09.15  08:05:03"},
                         Stamp{2026, 12, 31, 23, 59, 59, "2026.12.31  23:59:59"},
                         Stamp{1999, 1, 1, 0, 0, 0, "1999.01.01  00:00:00"}}) {
    std::tm t{};
    t.tm_year = s.year - 1900, t.tm_mon = s.month - 1, t.tm_mday = s.day;
    t.tm_hour = s.hour, t.tm_min = s.minute, t.tm_sec = s.second;
    EXPECT_EQ(FormatTimeStamp(t), s.text);
  }
}

}  // namespace
