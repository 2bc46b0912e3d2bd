// Where a terminal keeps its experts: below "experts" in the folder it was installed in, or,
// in the data folder of a newer terminal (under %APPDATA%\MetaQuotes\Terminal, or the install
// folder of one started with /portable), below "MQL4", or "MQL5" for a 64-bit terminal.
#pragma once
#include <string>

#include "folder_check.h"

enum class TerminalLayout { kExperts, kDataFolder, kMql5DataFolder };

// A folder with "experts" keeps the experts layout whatever else it holds. One without
// "experts" but with "MQL4" is a data folder. One with neither but with "MQL5" is a 64-bit
// terminal's data folder. Anything else, a missing folder too, keeps the experts layout, whose
// missing folders are reported step by step.
TerminalLayout DetectTerminalLayout(const std::string& terminal, const FolderCheck& is_folder);
