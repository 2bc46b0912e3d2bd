// The folder at which the browser of a terminal field opens.
#pragma once
#include <string>

#include "folder_check.h"

// The field's folder. An empty or blank field opens at the folder that holds the terminals'
// data folders, `app_data`\MetaQuotes\Terminal, when that folder exists.
std::string TerminalBrowseStart(const std::string& field, const std::string& app_data,
                                const FolderCheck& is_folder);

// The same with this process's %APPDATA%.
std::string TerminalBrowseStart(const std::string& field);
