// Reads the hub's qelv.xml.
#pragma once
#include <string>

#include "hub_settings.h"

// Replaces `settings` with those of the file at `path`. A file that cannot be opened is
// reported in a message box and leaves `settings` as they were.
void LoadXml(const std::string& path, HubSettings& settings);
