#include "symbol_rules.h"

#include <cmath>

#include "sim_order.h"

namespace {

constexpr double kPowersOfTen[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
constexpr int kMaxDigits = 8;
// Beyond this many points llround would overflow: no price is that large.
constexpr double kMaxPoints = 1e15;
constexpr double kMaxLots = 1e9;

bool LotsInRange(double lots) { return lots > 0 && lots <= kMaxLots; }

}  // namespace

bool RulesUsable(const SymbolRules& r) {
  return !r.name.empty() && r.digits >= 0 && r.digits <= kMaxDigits && LotsInRange(r.lot_step) &&
         LotUnits(r.lot_step) > 0 && LotsInRange(r.lot_min) && LotsInRange(r.lot_max) &&
         r.lot_min <= r.lot_max && r.stops_level >= 0 && r.freeze_level >= 0 &&
         std::isfinite(r.contract_size) && r.contract_size > 0;
}

double PointOf(int digits) { return 1 / kPowersOfTen[digits]; }

int64_t ToPoints(double price, int digits) { return std::llround(price * kPowersOfTen[digits]); }

double FromPoints(int64_t points, int digits) {
  return static_cast<double>(points) / kPowersOfTen[digits];
}

bool OnGrid(double price, int digits) {
  const double points = price * kPowersOfTen[digits];
  if (!(points > 0 && points < kMaxPoints)) return false;
  return std::fabs(points - std::round(points)) <= 1e-3;
}

bool VolumeFits(const SymbolRules& rules, double lots) {
  if (!LotsInRange(lots)) return false;
  const long long units = LotUnits(lots);
  return units >= LotUnits(rules.lot_min) && units <= LotUnits(rules.lot_max) &&
         units % LotUnits(rules.lot_step) == 0;
}
