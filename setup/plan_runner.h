// Runs one copy plan: checks the folders, then copies step by step.
#pragma once
#include <string>

#include "copy_plans.h"
#include "prompter.h"

// The plan's folders are those beside the executable at `module_path`; `destination` is the
// folder field's text at the moment the plan starts. A terminal's layout picks the steps. A
// missing plan folder stops the plan, as do missing 64-bit libraries for a 64-bit terminal; a
// missing step folder is reported and skipped; no folder is created.
void RunPlan(Plan plan, const std::string& module_path, const std::string& destination,
             Prompter& prompter);
