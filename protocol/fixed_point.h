// Locale-independent decimal text for the numbers of an order line.
#pragma once
#include <string>

// Appends `value` in fixed notation with exactly `decimals` digits after a "." (none and no
// point when `decimals` is 0), rounded to the nearest such value. Never depends on the C
// runtime's locale: the terminal process may have switched it to a comma.
void AppendFixed(std::string& out, double value, int decimals);

// Appends a signed decimal integer.
void AppendInt(std::string& out, long long value);
