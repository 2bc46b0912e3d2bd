// White space as the settings readers and the reports see it: space, tab, CR, LF, vertical tab,
// form feed.
#pragma once
#include <string_view>

// The text without the white space at either end.
std::string_view TrimWhiteSpace(std::string_view text);
