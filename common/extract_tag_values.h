// The tag search with which the settings files are read (no XML parser: plain byte search).
#pragma once
#include <string>
#include <vector>

// Collects, in order, the values of all elements <open>...</close> in `source`: each value is
// the text up to the first `close` after its `open`, trimmed of white space; empty values are
// left out. An `open` without a later `close` is skipped. `source` is seen only up to its
// first zero byte. Returns 1 when a text is missing (null), 0 otherwise.
int ExtractTagValues(const char* source, const char* open, const char* close,
                     std::vector<std::string>& values);

// The first value of the elements <name>...</name> in `source`, as above; false when there is none.
bool FirstTagValue(const std::string& source, const std::string& name, std::string& value);
