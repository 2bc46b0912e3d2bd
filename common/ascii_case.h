// Names compared without case: ASCII letters fold to lower case, as the C runtime compares them
// in its default locale; every other byte (UTF-8 included) compares as itself.
#pragma once
#include <string_view>

bool EqualsIgnoringCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);
bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix);
bool ContainsIgnoringCase(std::string_view text, std::string_view part);

// Negative, zero or positive as `a` sorts before, with or after `b`: byte by byte with bytes
// unsigned, a name before any longer name it starts.
int CompareIgnoringCase(std::string_view a, std::string_view b);
