// A symbol as a broker offers it: its price grid, lot grid and the distances orders keep.
#pragma once
#include <cstdint>
#include <string>

struct SymbolRules {
  std::string name;    // as the broker spells it: "EURUSD", "EURUSD.m", ...
  int digits = 5;      // 0..8; the point is 10^-digits
  double lot_min = 0.01, lot_max = 100, lot_step = 0.01;
  int stops_level = 0;   // points that stops and pending prices keep from the market
  int freeze_level = 0;  // points within which an order near the market is frozen (0: none)
  double contract_size = 100000;
};

// Rules the server can trade with: digits 0..8, a positive lot grid, no negative levels.
bool RulesUsable(const SymbolRules& rules);

double PointOf(int digits);

// A price as whole points of the grid, and back: FromPoints gives the double nearest to the
// decimal value, the same one the literal 1.08345 gives.
int64_t ToPoints(double price, int digits);
double FromPoints(int64_t points, int digits);

// A positive finite price within a thousandth of a point of the grid.
bool OnGrid(double price, int digits);

// Lots between the minimum and maximum and a whole number of steps.
bool VolumeFits(const SymbolRules& rules, double lots);
