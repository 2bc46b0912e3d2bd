// The lots of a copy.
#pragma once
#include "copy_settings.h"
#include "slave_state.h"

// Lots on the symbol's grid: whole steps, rounded down, so a copy never holds more than asked.
double RoundDownToStep(double lots, double step);

// What a copy of a master position holds when the master holds `remainder` of the `original`
// lots its chain opened with: the multiplier times the remainder, or the fixed lots shared out
// as the master's are; then at most max_lots, rounded down to the step, at most the symbol's
// maximum. The result may be below the symbol's minimum: the caller decides.
double CopyLots(const CopySettings& settings, double remainder, double original, const SymbolFacts& facts);
