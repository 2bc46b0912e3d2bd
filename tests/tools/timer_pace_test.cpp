// The simulated terminal's timer keeps its period whatever the expert's handler takes, so that
// a master scans every 10 ms as a real one does, not every 10 ms plus its cycle.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "timer_pace.h"

namespace {

struct PaceCase {
  const char* name;
  std::vector<double> handler_ms;  // what each handler took
  std::vector<double> waits;       // the waits after each
};

void PrintTo(const PaceCase& c, std::ostream* out) { *out << c.name; }

class Pace : public testing::TestWithParam<PaceCase> {};

TEST_P(Pace, WaitsWhatThePeriodLeaves) {
  const PaceCase& c = GetParam();
  double now = 1000;
  TimerPace pace(10, now);  // the first event
  for (size_t i = 0; i < c.handler_ms.size(); i++) {
    now += c.handler_ms[i];
    const double wait = pace.WaitFrom(now);
    EXPECT_DOUBLE_EQ(wait, c.waits[i]) << "after handler " << i;
    now += wait;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Handlers, Pace,
    testing::Values(PaceCase{"instant", {0, 0, 0}, {10, 10, 10}},
                    PaceCase{"short handlers keep the period", {1.5, 3, 0.25}, {8.5, 7, 9.75}},
                    PaceCase{"a handler exactly a period long", {10, 2}, {0, 8}},
                    // 25 ms overran two events: one comes at once, the next a period later
                    PaceCase{"an overrun is not made up", {25, 1, 1}, {0, 9, 9}}),
    [](const testing::TestParamInfo<PaceCase>& info) {
      std::string name = info.param.name;
      for (char& c : name)
        if (c == ' ') c = '_';
      return name;
    });

}  // namespace
