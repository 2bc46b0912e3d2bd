#include "copy_plans.h"

#include <gtest/gtest.h>

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

}  // namespace
