#include "copy_plans.h"

namespace {

const CopyPlan kPlans[] = {
    {"core", {{"", "*.exe|*.xml"}}},
    {"master",
     {{"experts", "e-*.mq4|e-*.ex4"},
      {"experts\\scripts", "s-*.mq4|s-*.ex4"},
      {"experts\\libraries", "*.dll"}}},
    {"slave",
     {{"experts", "e-*.mq4|e-*.ex4"},
      {"experts\\scripts", "s-*.mq4|s-*.ex4"},
      {"experts\\libraries", "*.dll"},
      {"experts\\files", "*.txt"}}},
};

}  // namespace

const CopyPlan& GetCopyPlan(Plan plan) { return kPlans[static_cast<int>(plan)]; }

std::string DisplayPatterns(const CopyPlan& plan) {
  std::string patterns;
  for (const CopyStep& step : plan.steps) {
    if (!patterns.empty()) patterns += '|';
    patterns += step.patterns;
  }
  return patterns;
}

bool PlanFromName(const std::string& name, Plan& plan) {
  for (Plan candidate : {Plan::kCore, Plan::kMaster, Plan::kSlave}) {
    if (GetCopyPlan(candidate).source == name) {
      plan = candidate;
      return true;
    }
  }
  return false;
}
