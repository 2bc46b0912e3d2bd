#include "plan_runner.h"

#include "copy_engine.h"
#include "setup_paths.h"

void RunPlan(Plan plan, const std::string& module_path, const std::string& destination,
             Prompter& prompter) {
  if (!FolderExists(SetupPath(module_path, GetCopyPlan(plan).source), prompter)) return;
  // Joined with a subfolder, a blank field would name a folder in the root of the current
  // drive: it is reported once as the missing folder it is.
  if (IsBlankFolder(destination)) {
    FolderExists(destination, prompter);
    return;
  }
  const CopyPlan& layout_plan = GetCopyPlan(plan, DetectTerminalLayout(destination, IsFolder));
  // Copying the experts without their libraries would leave a terminal that cannot run them.
  if (layout_plan.needs_64_bit_libraries &&
      !LibrariesExist(SetupPath(module_path, layout_plan.source), prompter)) {
    return;
  }
  for (const CopyStep& step : layout_plan.steps) {
    const std::string folder =
        step.subfolder.empty() ? destination : AppendPath(destination, step.subfolder);
    // Only the plan's own folder is checked: an include folder that is missing or empty is
    // silent, as is any pattern that matches nothing.
    if (FolderExists(folder, prompter)) {
      CopyFiles(SetupPath(module_path, step.source), folder, step.patterns, prompter);
    }
  }
}
