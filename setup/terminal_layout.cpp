#include "terminal_layout.h"

#include "setup_paths.h"

TerminalLayout DetectTerminalLayout(const std::string& terminal, const FolderCheck& is_folder) {
  if (is_folder(AppendPath(terminal, "experts"))) return TerminalLayout::kExperts;
  if (is_folder(AppendPath(terminal, "MQL4"))) return TerminalLayout::kDataFolder;
  return is_folder(AppendPath(terminal, "MQL5")) ? TerminalLayout::kMql5DataFolder
                                                  : TerminalLayout::kExperts;
}
