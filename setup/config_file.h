// Reads and writes config.xml on disk. Failures are reported through the prompter.
#pragma once
#include <string>

#include "config_xml.h"
#include "prompter.h"

// Takes the folders the file names into `folders`. Returns 0 when the file was opened (whatever
// it held), 1 when it could not be opened.
int ReadXml(const std::string& path, SetupFolders& folders, Prompter& prompter);

// Replaces the file with the three folders. Returns 0 when it was written, 1 otherwise.
int WriteXml(const std::string& path, const SetupFolders& folders, Prompter& prompter);
