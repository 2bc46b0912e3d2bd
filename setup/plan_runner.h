// Runs one copy plan: checks the folders, then copies step by step.
#pragma once
#include <string>

#include "copy_plans.h"
#include "prompter.h"

// `source_folder` is the plan's folder beside the executable, `destination` the folder field's
// text at the moment the plan starts. A missing step folder is reported and skipped; no folder
// is created.
void RunPlan(Plan plan, const std::string& source_folder, const std::string& destination,
             Prompter& prompter);
