// The numbers of the planners' log lines.
#pragma once
#include <cstdint>
#include <string>

std::string PriceText(double price, int32_t digits);

// At least two decimals, more only where the lots have them.
std::string LotsText(double lots);
