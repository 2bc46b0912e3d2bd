// Where the copy delay goes: each copy is matched with the slave pass that made it, its stages
// add up to its delay, and the figures are those of the benchmark's percentiles.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "delay_breakdown.h"

namespace {

CopyPassTrace Pass(double wait_began, double woke, double fetched, double split, double gathered, double planned,
                   double done) {
  return CopyPassTrace{wait_began, woke, fetched, split, gathered, planned, done, 1};
}

ChangeTimes Change(double changed, double send_began, double sent, std::vector<double> detected) {
  return ChangeTimes{changed, send_began, sent, std::move(detected)};
}

using Stages = std::vector<double>;  // kStageCount of them, in Stage order

struct SplitCase {
  const char* name;
  std::vector<ChangeTimes> changes;
  std::vector<std::vector<CopyPassTrace>> passes;
  std::vector<Stages> copies;
  int unmatched;
};

void PrintTo(const SplitCase& c, std::ostream* out) { *out << c.name; }

class Split : public testing::TestWithParam<SplitCase> {};

TEST_P(Split, CutsEachCopyAtItsPass) {
  const SplitCase& c = GetParam();
  int unmatched = -1;
  const std::vector<CopyStages> copies = SplitDelays(c.changes, c.passes, unmatched);
  EXPECT_EQ(unmatched, c.unmatched);
  ASSERT_EQ(copies.size(), c.copies.size());
  for (size_t i = 0; i < copies.size(); i++)
    for (int s = 0; s < kStageCount; s++)
      EXPECT_DOUBLE_EQ(copies[i].ms[s], c.copies[i][s]) << "copy " << i << ", " << StageName(Stage(s));
}

// scan, send, busy, wake, fetch, split, gather, plan, execute, detect
INSTANTIATE_TEST_SUITE_P(
    Copies, Split,
    testing::Values(
        SplitCase{"slave waiting",
                  {Change(0, 4, 5, {12})},
                  {{Pass(3, 4.5, 6, 6.5, 7, 8, 9)}},
                  {{4, 0.5, 0, 0, 1.5, 0.5, 0.5, 1, 1, 3}},
                  0},
        // the hub published before the master's send returned: the slave woke first
        SplitCase{"woke before the send returned",
                  {Change(0, 4, 6, {12})},
                  {{Pass(1, 5, 6, 6.5, 7, 8, 9)}},
                  {{4, 1, 0, 0, 1, 0.5, 0.5, 1, 1, 3}},
                  0},
        SplitCase{"slave still in its previous pass",
                  {Change(0, 4, 5, {12})},
                  {{Pass(7, 7.25, 8, 8.5, 9, 9.5, 10)}},
                  {{4, 1, 2, 0.25, 0.75, 0.5, 0.5, 0.5, 0.5, 2}},
                  0},
        SplitCase{"line seen before the slave took the time",
                  {Change(0, 4, 5, {9.5})},
                  {{Pass(3, 5, 6, 6.5, 7, 8, 10)}},
                  {{4, 1, 0, 0, 1, 0.5, 0.5, 1, 1.5, 0}},
                  0},
        // a pass that ended before the send began traded something else (a retry, say)
        SplitCase{"earlier pass passed over",
                  {Change(0, 4, 5, {12})},
                  {{Pass(0, 1, 1, 1, 2, 2, 3), Pass(3, 5, 6, 6.5, 7, 8, 9)}},
                  {{4, 1, 0, 0, 1, 0.5, 0.5, 1, 1, 3}},
                  0},
        SplitCase{"no pass planned by the time it was seen",
                  {Change(0, 4, 5, {7})},
                  {{Pass(3, 5, 6, 6.5, 7, 8, 9)}},
                  {},
                  1},
        SplitCase{"a copier without a trace", {Change(0, 4, 5, {12, 12})}, {{Pass(3, 5, 6, 6.5, 7, 8, 9)}},
                  {{4, 1, 0, 0, 1, 0.5, 0.5, 1, 1, 3}}, 1},
        // each pass makes one copy only: the second change must not take the first pass again
        SplitCase{"passes taken in turn",
                  {Change(0, 4, 5, {12}), Change(20, 24, 25, {32})},
                  {{Pass(3, 5, 6, 6.5, 7, 8, 9), Pass(23, 25, 26, 26.5, 27, 28, 29)}},
                  {{4, 1, 0, 0, 1, 0.5, 0.5, 1, 1, 3}, {4, 1, 0, 0, 1, 0.5, 0.5, 1, 1, 3}},
                  0},
        SplitCase{"second pass missing",
                  {Change(0, 4, 5, {12}), Change(20, 24, 25, {32})},
                  {{Pass(3, 5, 6, 6.5, 7, 8, 9)}},
                  {{4, 1, 0, 0, 1, 0.5, 0.5, 1, 1, 3}},
                  1}),
    [](const testing::TestParamInfo<SplitCase>& info) {
      std::string name = info.param.name;
      for (char& c : name)
        if (c == ' ' || c == ',') c = '_';
      return name;
    });

// Whatever the times, the stages of a copy add up to its whole delay.
TEST(Split, StagesAddUpToTheDelay) {
  const std::vector<ChangeTimes> changes = {Change(100, 104.5, 106.25, {117.5, 111})};
  const std::vector<std::vector<CopyPassTrace>> passes = {{Pass(105, 106, 107, 107, 108, 109, 118)},
                                                          {Pass(102, 105, 106.5, 107, 107.5, 110, 110.5)}};
  int unmatched = 0;
  for (const CopyStages& copy : SplitDelays(changes, passes, unmatched)) {
    for (double ms : copy.ms) EXPECT_GE(ms, 0);
    const double whole = std::accumulate(std::begin(copy.ms), std::end(copy.ms), 0.0);
    EXPECT_TRUE(whole == 17.5 || whole == 11) << whole;
  }
  EXPECT_EQ(unmatched, 0);
}

struct PercentileCase {
  std::vector<double> values;
  double q;
  double expected;
};

class At : public testing::TestWithParam<PercentileCase> {};

TEST_P(At, Quantile) {
  EXPECT_DOUBLE_EQ(Percentile(GetParam().values, GetParam().q), GetParam().expected);
}

const std::vector<double> kTen = {7, 3, 10, 1, 9, 2, 8, 4, 6, 5};

INSTANTIATE_TEST_SUITE_P(Values, At,
                         testing::Values(PercentileCase{{}, 0.5, 0}, PercentileCase{{4}, 0.99, 4},
                                         PercentileCase{kTen, 0, 1}, PercentileCase{kTen, 0.5, 6},
                                         PercentileCase{kTen, 0.95, 10}, PercentileCase{kTen, 0.89, 9},
                                         PercentileCase{kTen, 1, 10}, PercentileCase{kTen, 7, 10},
                                         PercentileCase{kTen, -1, 1}));

TEST(Breakdown, ALinePerStageAndTheWholeDelay) {
  CopyStages a, b;
  a.ms[kMasterScan] = 2;
  a.ms[kFetch] = 4;
  b.ms[kMasterScan] = 6;
  b.ms[kFetch] = 8;
  const std::string table = BreakdownTable({a, b});
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), kStageCount + 2);
  EXPECT_NE(table.find("master scan           4.00      6.00      6.00      6.00      6.00\n"), std::string::npos)
      << table;
  EXPECT_NE(table.find("fetch                 6.00      8.00      8.00      8.00      8.00\n"), std::string::npos);
  EXPECT_NE(table.find("whole delay          10.00     14.00     14.00     14.00     14.00\n"), std::string::npos);
}

}  // namespace
