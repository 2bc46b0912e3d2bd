// What an MT5 master expert tells the library about its account before each build, with the
// terminal's own numbers: positions, pending orders, deals and finished orders, tickets 64-bit.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace mt5 {

// Position and deal types; deal types from 2 on are balance, credit and other non-trades.
inline constexpr int32_t kBuy = 0;
inline constexpr int32_t kSell = 1;
// Pending order types, numbered as MT4's OP_BUYLIMIT to OP_SELLSTOP. Stop-limit orders (6, 7)
// have no MT4 form.
inline constexpr int32_t kBuyLimit = 2;
inline constexpr int32_t kSellStop = 5;

inline constexpr int32_t kEntryIn = 0;
inline constexpr int32_t kEntryOut = 1;
inline constexpr int32_t kEntryInOut = 2;  // a netting position reversed
inline constexpr int32_t kEntryOutBy = 3;  // closed by an opposite position

inline constexpr int32_t kStateCanceled = 2;
inline constexpr int32_t kStateExpired = 6;

struct Position {
  int64_t identifier = 0;
  int32_t type = kBuy;
  double volume = 0;
  std::string symbol;
  double price_open = 0;
  double sl = 0;
  double tp = 0;
  int64_t time = 0;
  int64_t magic = 0;
  std::string comment;

  bool operator==(const Position&) const = default;
};

struct PendingOrder {
  int64_t ticket = 0;
  int32_t type = kBuyLimit;
  double volume = 0;
  std::string symbol;
  double price_open = 0;
  double sl = 0;
  double tp = 0;
  int64_t time_setup = 0;
  int64_t expiration = 0;
  int64_t magic = 0;
  std::string comment;

  bool operator==(const PendingOrder&) const = default;
};

struct Deal {
  int64_t ticket = 0;
  int64_t order = 0;
  int64_t position_id = 0;
  int32_t entry = kEntryIn;
  int32_t type = kBuy;
  double volume = 0;
  double price = 0;
  int64_t time = 0;
  int64_t magic = 0;
  std::string symbol;
  std::string comment;
};

struct FinishedOrder {
  int64_t ticket = 0;
  int32_t type = kBuyLimit;
  int32_t state = kStateCanceled;
  double volume_initial = 0;
  std::string symbol;
  double price_open = 0;
  double sl = 0;
  double tp = 0;
  int64_t time_setup = 0;
  int64_t time_done = 0;
  int64_t expiration = 0;
  int64_t magic = 0;
  std::string comment;
};

struct AccountFacts {
  std::vector<Position> positions;
  std::vector<PendingOrder> pending_orders;
  std::vector<Deal> deals;
  std::vector<FinishedOrder> finished_orders;
};

}  // namespace mt5
