// An input's value as the expert's properties dialog takes it: a number, true or false, a text.
// False, with the value unchanged, for a text that does not read whole as the input's type.
#pragma once
#include <string>

#include "mql_string.h"

namespace mql {

bool ReadInput(const std::string& text, int& value);
bool ReadInput(const std::string& text, uint& value);
bool ReadInput(const std::string& text, mlong& value);
bool ReadInput(const std::string& text, double& value);
bool ReadInput(const std::string& text, bool& value);  // true/false, 1/0
bool ReadInput(const std::string& text, string& value);
bool ReadInput(const std::string& text, datetime& value);  // seconds since 1970

}  // namespace mql
