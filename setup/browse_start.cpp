#include "browse_start.h"

#include "setup_paths.h"

std::string TerminalBrowseStart(const std::string& field, const std::string& app_data,
                                const FolderCheck& is_folder) {
  // Without an application data folder the joined path would point into the drive's root.
  if (!IsBlankFolder(field) || IsBlankFolder(app_data)) return field;
  const std::string terminals = AppendPath(app_data, "MetaQuotes\\Terminal");
  return is_folder(terminals) ? terminals : field;
}
