#include "panel_values.h"

#include <cstdio>

std::string TerminalsValue(TerminalCounts counts) {
  char text[32];
  std::snprintf(text, sizeof text, "%dm/%ds", counts.masters, counts.slaves);
  return text;
}

std::string ChecksumValue(uint32_t checksum) {
  if (checksum == 0) return "n/a";
  char text[16];
  std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(checksum));
  return text;
}

int RuleLevel(int column) {
  return 170 + 85 * (column - kRuleFirst) / (kRuleLast - kRuleFirst);
}
