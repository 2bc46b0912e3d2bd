// The terminal's distance rules for stops and pending prices, and price comparison on the
// symbol's grid.
#pragma once
#include <cstdint>

#include "slave_state.h"

// Symbol facts the copier can work with: a point, digits, a lot grid.
bool SymbolFactsUsable(const SymbolFacts& facts);

double RoundToDigits(double price, int32_t digits);

// Prices that round to the same point are equal.
bool PricesDiffer(double a, double b, const SymbolFacts& facts);

// How far stops and pending prices must keep from the market: the stops level, at least a point.
double MinStopDistance(const SymbolFacts& facts);

// A market order's stops are measured from the price it closes at: bid for a buy, ask for a sell.
double StopReference(int32_t type, const SymbolFacts& facts);

// Whether a stop loss (take profit) of an order of `type` keeps the distance from `reference`
// (the market for a market order, its price for a pending order). 0, no stop, always does.
bool StopLossFits(int32_t type, double reference, double stop_loss, const SymbolFacts& facts);
bool TakeProfitFits(int32_t type, double reference, double take_profit, const SymbolFacts& facts);

// The nearest stop loss (take profit) that keeps the distance from `reference`.
double WidenedStopLoss(int32_t type, double reference, const SymbolFacts& facts);
double WidenedTakeProfit(int32_t type, double reference, const SymbolFacts& facts);

// Whether a pending order of `type` at `price` keeps the distance from the market.
bool PendingPriceFits(int32_t type, double price, const SymbolFacts& facts);
