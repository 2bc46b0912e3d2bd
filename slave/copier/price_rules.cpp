#include "price_rules.h"

#include <algorithm>
#include <cmath>

#include "order_types.h"

namespace {

// Distances on the grid are whole points; half a point absorbs the doubles' rounding.
bool AtLeast(double distance, const SymbolFacts& facts) {
  return distance >= MinStopDistance(facts) - facts.point / 2;
}

bool Finite(double value) { return std::isfinite(value); }

}  // namespace

bool SymbolFactsUsable(const SymbolFacts& f) {
  return Finite(f.point) && f.point > 0 && f.digits >= 0 && f.digits <= 16 && Finite(f.lot_step) &&
         f.lot_step > 0 && Finite(f.lot_min) && f.lot_min > 0 && Finite(f.lot_max) &&
         f.lot_max >= f.lot_min && f.stops_level >= 0 && Finite(f.bid) && Finite(f.ask);
}

double RoundToDigits(double price, int32_t digits) {
  double scale = std::pow(10.0, digits);
  return std::round(price * scale) / scale;
}

bool PricesDiffer(double a, double b, const SymbolFacts& facts) {
  return std::fabs(a - b) > facts.point / 2;
}

double MinStopDistance(const SymbolFacts& facts) { return std::max(facts.stops_level, 1) * facts.point; }

double StopReference(int32_t type, const SymbolFacts& facts) {
  return IsBuyType(type) ? facts.bid : facts.ask;
}

bool StopLossFits(int32_t type, double reference, double stop_loss, const SymbolFacts& facts) {
  if (stop_loss == 0) return true;
  return AtLeast(IsBuyType(type) ? reference - stop_loss : stop_loss - reference, facts);
}

bool TakeProfitFits(int32_t type, double reference, double take_profit, const SymbolFacts& facts) {
  if (take_profit == 0) return true;
  return AtLeast(IsBuyType(type) ? take_profit - reference : reference - take_profit, facts);
}

double WidenedStopLoss(int32_t type, double reference, const SymbolFacts& facts) {
  double distance = MinStopDistance(facts);
  return RoundToDigits(IsBuyType(type) ? reference - distance : reference + distance, facts.digits);
}

double WidenedTakeProfit(int32_t type, double reference, const SymbolFacts& facts) {
  double distance = MinStopDistance(facts);
  return RoundToDigits(IsBuyType(type) ? reference + distance : reference - distance, facts.digits);
}

bool PendingPriceFits(int32_t type, double price, const SymbolFacts& facts) {
  switch (type) {
    case kBuyLimit: return AtLeast(facts.ask - price, facts);
    case kSellLimit: return AtLeast(price - facts.bid, facts);
    case kBuyStop: return AtLeast(price - facts.ask, facts);
    case kSellStop: return AtLeast(facts.bid - price, facts);
    default: return false;
  }
}
