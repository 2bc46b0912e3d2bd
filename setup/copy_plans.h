// The three copy plans of the setup tool: which folder beside the executable is copied where,
// and by which patterns.
#pragma once
#include <string>
#include <vector>

enum class Plan { kCore, kMaster, kSlave };

struct CopyStep {
  std::string subfolder;  // below the destination folder; empty: the destination itself
  std::string patterns;
};

struct CopyPlan {
  std::string source;  // the setup name of the source folder
  std::vector<CopyStep> steps;
};

const CopyPlan& GetCopyPlan(Plan plan);

// The patterns of all steps in order: the names a plan's "Files to copy:" field lists are
// exactly the names it copies, in the order it copies them.
std::string DisplayPatterns(const CopyPlan& plan);

// "core", "master" or "slave"; false for any other name.
bool PlanFromName(const std::string& name, Plan& plan);
