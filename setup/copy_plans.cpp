#include "copy_plans.h"

namespace {

const CopyPlan kPlans[] = {
    {"core", {{"core", "", "*.exe|*.xml"}}},
    {"master",
     {{"master", "experts", "e-*.mq4|e-*.ex4"},
      {"master", "experts\\scripts", "s-*.mq4|s-*.ex4"},
      {"master", "experts\\libraries", "*.dll"}}},
    {"slave",
     {{"slave", "experts", "e-*.mq4|e-*.ex4"},
      {"slave", "experts\\scripts", "s-*.mq4|s-*.ex4"},
      {"slave", "experts\\libraries", "*.dll"},
      {"slave", "experts\\files", "*.txt"}}},
};

// A data folder has no "experts"; the experts' include files are copied there as well, since
// such a terminal compiles the experts against its own MQL4\Include.
const CopyPlan kDataFolderPlans[] = {
    kPlans[0],
    {"master",
     {{"master", "MQL4\\Experts", "e-*.mq4|e-*.ex4"},
      {"master", "MQL4\\Scripts", "s-*.mq4|s-*.ex4"},
      {"master", "MQL4\\Libraries", "*.dll"},
      {"include", "MQL4\\Include", "*.mqh"}}},
    {"slave",
     {{"slave", "MQL4\\Experts", "e-*.mq4|e-*.ex4"},
      {"slave", "MQL4\\Scripts", "s-*.mq4|s-*.ex4"},
      {"slave", "MQL4\\Libraries", "*.dll"},
      {"slave", "MQL4\\Files", "*.txt"},
      {"include", "MQL4\\Include", "*.mqh"}}},
};

// A 64-bit terminal's libraries share their names with the 32-bit ones: they and the experts
// for that terminal live in a folder of their own.
const CopyPlan kMql5DataFolderPlans[] = {
    kPlans[0],
    {"master\\mt5",
     {{"master\\mt5", "MQL5\\Experts", "e-*.mq5|e-*.ex5"},
      {"master\\mt5", "MQL5\\Scripts", "s-*.mq5|s-*.ex5"},
      {"master\\mt5", "MQL5\\Libraries", "*.dll"},
      {"include", "MQL5\\Include", "*.mqh"}},
     true},
    {"slave\\mt5",
     {{"slave\\mt5", "MQL5\\Experts", "e-*.mq5|e-*.ex5"},
      {"slave\\mt5", "MQL5\\Scripts", "s-*.mq5|s-*.ex5"},
      {"slave\\mt5", "MQL5\\Libraries", "*.dll"},
      {"slave\\mt5", "MQL5\\Files", "*.txt"},
      {"include", "MQL5\\Include", "*.mqh"}},
     true},
};

}  // namespace

const CopyPlan& GetCopyPlan(Plan plan) { return GetCopyPlan(plan, TerminalLayout::kExperts); }

const CopyPlan& GetCopyPlan(Plan plan, TerminalLayout layout) {
  const CopyPlan* plans = kPlans;
  if (layout == TerminalLayout::kDataFolder) plans = kDataFolderPlans;
  if (layout == TerminalLayout::kMql5DataFolder) plans = kMql5DataFolderPlans;
  return plans[static_cast<int>(plan)];
}

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
