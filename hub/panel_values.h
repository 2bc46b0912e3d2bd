// What the status panel shows, computed apart from the drawing.
#pragma once
#include <cstdint>
#include <string>

#include "terminal_registry.h"

// "2m/3s" for two masters and three slaves.
std::string TerminalsValue(TerminalCounts counts);
// The shown checksum in unsigned decimal; "n/a" while it is 0.
std::string ChecksumValue(uint32_t checksum);

// The gradient rule under the values: columns kRuleFirst to kRuleLast, rows kRuleTop and the
// one below it, in red and green RuleLevel(column) and blue 255.
inline constexpr int kRuleFirst = 25;
inline constexpr int kRuleLast = 460;
inline constexpr int kRuleTop = 155;
// 170 at the first column rising to 255 at the last.
int RuleLevel(int column);
