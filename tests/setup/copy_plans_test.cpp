#include "copy_plans.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The "Files to copy:" fields list what the plans copy, in their order.
TEST(CopyPlans, DisplayPatternsAreThePlansStepsInOrder) {
  EXPECT_EQ(DisplayPatterns(GetCopyPlan(Plan::kCore)), "*.exe|*.xml");
  EXPECT_EQ(DisplayPatterns(GetCopyPlan(Plan::kMaster)), "e-*.mq4|e-*.ex4|s-*.mq4|s-*.ex4|*.dll");
  EXPECT_EQ(DisplayPatterns(GetCopyPlan(Plan::kSlave)),
            "e-*.mq4|e-*.ex4|s-*.mq4|s-*.ex4|*.dll|*.txt");
}

TEST(CopyPlans, NamedByTheirSourceFolder) {
  const struct {
    const char* name;
    Plan plan;
  } cases[] = {{"core", Plan::kCore}, {"master", Plan::kMaster}, {"slave", Plan::kSlave}};
  for (const auto& c : cases) {
    Plan plan{};
    ASSERT_TRUE(PlanFromName(c.name, plan));
    EXPECT_EQ(plan, c.plan);
    EXPECT_EQ(GetCopyPlan(plan).source, c.name);
  }
  Plan plan;
  EXPECT_FALSE(PlanFromName("Core", plan));
  EXPECT_FALSE(PlanFromName("", plan));
}

struct StepsCase {
  Plan plan;
  TerminalLayout layout;
  std::vector<std::string> steps;  // source, subfolder and patterns of each step
};

void PrintTo(const StepsCase& c, std::ostream* out) {
  const char* layouts[] = {" experts", " data folder", " MQL5 data folder"};
  *out << GetCopyPlan(c.plan).source << layouts[static_cast<int>(c.layout)];
}

std::vector<std::string> Steps(const CopyPlan& plan) {
  std::vector<std::string> steps;
  for (const CopyStep& step : plan.steps) {
    steps.push_back(step.source + " > " + step.subfolder + " : " + step.patterns);
  }
  return steps;
}

class CopyPlanSteps : public testing::TestWithParam<StepsCase> {};

TEST_P(CopyPlanSteps, LayoutPicksTheFoldersAndKeepsThePatterns) {
  const StepsCase& c = GetParam();
  const CopyPlan& plan = GetCopyPlan(c.plan, c.layout);
  EXPECT_EQ(Steps(plan), c.steps);
  // Only a 64-bit terminal's master and slave plans insist on libraries of their own.
  EXPECT_EQ(plan.needs_64_bit_libraries,
            c.layout == TerminalLayout::kMql5DataFolder && c.plan != Plan::kCore);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, CopyPlanSteps,
    testing::Values(
        StepsCase{Plan::kCore, TerminalLayout::kExperts, {"core >  : *.exe|*.xml"}},
        StepsCase{Plan::kCore, TerminalLayout::kDataFolder, {"core >  : *.exe|*.xml"}},
        StepsCase{Plan::kMaster,
                  TerminalLayout::kExperts,
                  {"master > experts : e-*.mq4|e-*.ex4", "master > experts\\scripts : s-*.mq4|s-*.ex4",
                   "master > experts\\libraries : *.dll"}},
        StepsCase{Plan::kSlave,
                  TerminalLayout::kExperts,
                  {"slave > experts : e-*.mq4|e-*.ex4", "slave > experts\\scripts : s-*.mq4|s-*.ex4",
                   "slave > experts\\libraries : *.dll", "slave > experts\\files : *.txt"}},
        StepsCase{Plan::kMaster,
                  TerminalLayout::kDataFolder,
                  {"master > MQL4\\Experts : e-*.mq4|e-*.ex4", "master > MQL4\\Scripts : s-*.mq4|s-*.ex4",
                   "master > MQL4\\Libraries : *.dll", "include > MQL4\\Include : *.mqh"}},
        StepsCase{Plan::kSlave,
                  TerminalLayout::kDataFolder,
                  {"slave > MQL4\\Experts : e-*.mq4|e-*.ex4", "slave > MQL4\\Scripts : s-*.mq4|s-*.ex4",
                   "slave > MQL4\\Libraries : *.dll", "slave > MQL4\\Files : *.txt",
                   "include > MQL4\\Include : *.mqh"}},
        StepsCase{Plan::kCore, TerminalLayout::kMql5DataFolder, {"core >  : *.exe|*.xml"}},
        StepsCase{Plan::kMaster,
                  TerminalLayout::kMql5DataFolder,
                  {"master\\mt5 > MQL5\\Experts : e-*.mq5|e-*.ex5",
                   "master\\mt5 > MQL5\\Scripts : s-*.mq5|s-*.ex5",
                   "master\\mt5 > MQL5\\Libraries : *.dll", "include > MQL5\\Include : *.mqh"}},
        StepsCase{Plan::kSlave,
                  TerminalLayout::kMql5DataFolder,
                  {"slave\\mt5 > MQL5\\Experts : e-*.mq5|e-*.ex5",
                   "slave\\mt5 > MQL5\\Scripts : s-*.mq5|s-*.ex5",
                   "slave\\mt5 > MQL5\\Libraries : *.dll", "slave\\mt5 > MQL5\\Files : *.txt",
                   "include > MQL5\\Include : *.mqh"}}));

}  // namespace
