// Pattern lists ("*.exe|*.xml") and the order in which the names they find are copied.
#pragma once
#include <string>
#include <vector>

// The patterns between the "|", each trimmed; empty ones are kept, so "" gives one empty pattern.
void SplitPatterns(const std::string& list, std::vector<std::string>& patterns);

// Descending and ignoring case (b.dll before A.dll); names equal but for case keep no set order.
void SortFileNames(std::vector<std::string>& names);

// The names joined by ", ", as the "Files to copy:" fields show them.
std::string JoinFileNames(const std::vector<std::string>& names);
