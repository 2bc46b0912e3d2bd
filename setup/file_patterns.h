// Pattern lists ("*.exe|*.xml") and the order in which the names they find are copied.
#pragma once
#include <string>
#include <vector>

// The patterns between the "|", each trimmed; empty ones are kept, so "" gives one empty pattern.
void SplitPatterns(const std::string& list, std::vector<std::string>& patterns);

// Descending and ignoring case (b.dll before A.dll), by exchanging each name with any later
// higher one. Names equal but for case are never exchanged with each other, but an exchange
// with a third name can carry one past the other: q, a, Q, z give z, Q, q, a.
void SortFileNames(std::vector<std::string>& names);

// The names joined by ", ", as the "Files to copy:" fields show them.
std::string JoinFileNames(const std::vector<std::string>& names);
