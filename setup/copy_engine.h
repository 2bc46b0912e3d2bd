// Lists and copies files by pattern list, asking before any file is overwritten. Every message
// goes through the prompter under the caption "Warning"; nothing is thrown.
#pragma once
#include <string>
#include <vector>

#include "prompter.h"

// The names one search path (folder, "\" and one pattern) finds, "." and ".." left out;
// folders that match count like files. Returns 1 when the search found entries, 0 otherwise.
// Nothing found and a missing folder are silent; other failures are reported.
int GetFilesAsArray(const std::string& search_path, std::vector<std::string>& names,
                    Prompter& prompter);

// Sets `text` to the names the patterns find in the folder, in copy order, joined by ", ".
// Returns the number of names.
int GetFilesAsString(const std::string& folder, const std::string& patterns, std::string& text,
                     Prompter& prompter);

// Copies every name the patterns find in `source` into `destination`, pattern by pattern, each
// pattern's names in descending order. An existing file is replaced only when the user says
// Yes; every failure is reported and the next file follows. Returns 0.
int CopyFiles(const std::string& source, const std::string& destination,
              const std::string& patterns, Prompter& prompter);

// Returns 1 unless the path is missing, blank or too long, which is reported and gives 0.
// An existing file counts as present.
int FolderExists(const std::string& path, Prompter& prompter);

// Returns 1 when the folder holds a library (*.dll); otherwise reports that the 64-bit libraries
// are missing there and returns 0.
int LibrariesExist(const std::string& folder, Prompter& prompter);
