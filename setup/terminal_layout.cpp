#include "terminal_layout.h"

#include "setup_paths.h"

TerminalLayout DetectTerminalLayout(const std::string& terminal, const FolderCheck& is_folder) {
  if (is_folder(AppendPath(terminal, "experts"))) return TerminalLayout::kExperts;
  return is_folder(AppendPath(terminal, "MQL4")) ? TerminalLayout::kDataFolder
                                                  : TerminalLayout::kExperts;
}
