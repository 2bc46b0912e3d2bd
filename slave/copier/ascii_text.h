// Settings items as traders type them: blanks around them (space, tab, CR, LF) ignored.
#pragma once
#include <string_view>

std::string_view TrimBlanks(std::string_view text);
