// The three copy plans of the setup tool: which folder beside the executable is copied where,
// and by which patterns.
#pragma once
#include <string>
#include <vector>

#include "terminal_layout.h"

enum class Plan { kCore, kMaster, kSlave };

struct CopyStep {
  std::string source;     // the setup name of the folder copied from
  std::string subfolder;  // below the destination folder; empty: the destination itself
  std::string patterns;
};

struct CopyPlan {
  std::string source;  // the setup name of the plan's own folder, which must exist
  std::vector<CopyStep> steps;
  // A 64-bit terminal cannot load the 32-bit libraries: without the plan's own, nothing is
  // copied.
  bool needs_64_bit_libraries = false;
};

// The plan for the Dremont folder and for terminals with the experts layout.
const CopyPlan& GetCopyPlan(Plan plan);

// The plan for a terminal of that layout. A data folder gets the plan's files in the MQL4
// folders, then the experts' include files; a 64-bit terminal's data folder gets those of the
// plan's "mt5" subfolder (master\mt5, slave\mt5) in the MQL5 folders, then the include files.
// The core plan is the same for all.
const CopyPlan& GetCopyPlan(Plan plan, TerminalLayout layout);

// The patterns of all steps in order: the names a plan's "Files to copy:" field lists are
// exactly the names it copies into a terminal with the experts layout, in the same order.
std::string DisplayPatterns(const CopyPlan& plan);

// "core", "master" or "slave"; false for any other name.
bool PlanFromName(const std::string& name, Plan& plan);
