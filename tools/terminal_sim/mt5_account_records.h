// What a simulated MT5 account holds, with the properties an expert reads through
// PositionGet*, OrderGet*, HistoryOrderGet* and HistoryDealGet*. Times are server time in seconds.
#pragma once
#include <cstdint>
#include <string>

#include "mt5_trade_request.h"

enum class Mt5MarginMode { kNetting, kHedging };

enum class Mt5DealEntry { kIn, kOut, kInOut };

// Why a deal was made: by the expert's request, or by the server when a stop was hit.
enum class Mt5DealReason { kExpert, kStopLoss, kTakeProfit };

struct Mt5Position {
  uint64_t ticket = 0;
  uint64_t identifier = 0;  // kept for the position's life, through a netting reversal
  std::string symbol;
  bool buy = true;
  double volume = 0;
  double price_open = 0, sl = 0, tp = 0;
  uint64_t magic = 0;
  std::string comment;
  int64_t time = 0;
};

// An active order is placed; one of the history was filled, cancelled or expired.
enum class Mt5OrderState { kPlaced, kFilled, kCanceled, kExpired };

// A pending order while it is active; in the history also a deal's market order, or the
// server's order that closed a position whose stop was hit.
struct Mt5Order {
  uint64_t ticket = 0;
  std::string symbol;
  Mt5OrderType type = Mt5OrderType::kBuyLimit;
  double volume = 0;
  double price_open = 0, sl = 0, tp = 0;
  int64_t expiration = 0;  // 0: good till cancelled
  uint64_t magic = 0;
  std::string comment;
  int64_t time_setup = 0;
  Mt5OrderState state = Mt5OrderState::kPlaced;
  int64_t time_done = 0;  // when it left the active orders
};

struct Mt5Deal {
  uint64_t ticket = 0;
  uint64_t order = 0;
  uint64_t position_id = 0;
  std::string symbol;
  Mt5DealEntry entry = Mt5DealEntry::kIn;
  bool buy = true;
  double volume = 0;
  double price = 0;
  double profit = 0;  // of the volume it closes
  int64_t time = 0;
  uint64_t magic = 0;
  std::string comment;
  Mt5DealReason reason = Mt5DealReason::kExpert;
};

struct Mt5SymbolFacts {
  double volume_min = 0, volume_max = 0, volume_step = 0;
  int stops_level = 0, freeze_level = 0;
  int digits = 0;
  double point = 0;
  double bid = 0, ask = 0;
  bool fill_fok = false, fill_ioc = false;  // SYMBOL_FILLING_MODE's two flags
  bool trade_allowed = true;
};
