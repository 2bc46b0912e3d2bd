#include "copy_lots.h"

#include <algorithm>
#include <cmath>

double RoundDownToStep(double lots, double step) {
  // 0.3 / 0.1 is 2.9999999999999996: a millionth of a step is taken for whole.
  double steps = std::floor(lots / step + 1e-6);
  return std::round(steps * step * 1e8) / 1e8;
}

double CopyLots(const CopySettings& settings, double remainder, double original, const SymbolFacts& facts) {
  double lots = settings.fixed_lots > 0
                    ? settings.fixed_lots * (original > remainder ? remainder / original : 1)
                    : remainder * settings.lot_multiplier;
  if (settings.max_lots > 0) lots = std::min(lots, settings.max_lots);
  return std::min(RoundDownToStep(lots, facts.lot_step), RoundDownToStep(facts.lot_max, facts.lot_step));
}
