#include "plan_runner.h"

#include "copy_engine.h"
#include "setup_paths.h"

void RunPlan(Plan plan, const std::string& source_folder, const std::string& destination,
             Prompter& prompter) {
  if (!FolderExists(source_folder, prompter)) return;
  // Joined with a subfolder, a blank field would name a folder in the root of the current
  // drive: it is reported once as the missing folder it is.
  if (IsBlankFolder(destination)) {
    FolderExists(destination, prompter);
    return;
  }
  for (const CopyStep& step : GetCopyPlan(plan).steps) {
    const std::string folder =
        step.subfolder.empty() ? destination : AppendPath(destination, step.subfolder);
    if (FolderExists(folder, prompter)) CopyFiles(source_folder, folder, step.patterns, prompter);
  }
}
