// What the terminal's error code after a trade call means for the copier. An MT5 trade server's
// retcode reads here too (trade_retcodes.h): the two share no number.
#pragma once
#include <cstdint>
#include <string>

enum class TradeErrorKind {
  kTransient,       // busy, requote, no connection: worth a bounded retry
  kUnknownOutcome,  // trade timeout: the order may or may not exist
  kPermanent,       // this order will not go through as it is; codes not listed count here
};

TradeErrorKind ClassifyTradeError(int32_t error);

// Market closed, trade disabled, trade not allowed: refusals that pass when trading opens again.
bool MeansTradingIsOff(int32_t error);

// "134 not enough money"; a code not listed reads "error 4051".
std::string TradeErrorText(int32_t error);
