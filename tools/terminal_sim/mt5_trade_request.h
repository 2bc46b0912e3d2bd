// A trade request and its result, with the fields of MQL5's MqlTradeRequest and MqlTradeResult
// that the simulated MT5 account reads and writes. Tickets are 64-bit, as in MQL5.
#pragma once
#include <cstdint>
#include <string>

enum class Mt5Action { kDeal, kPending, kSltp, kModify, kRemove };

enum class Mt5OrderType { kBuy, kSell, kBuyLimit, kSellLimit, kBuyStop, kSellStop };

// ORDER_FILLING_*, with MQL5's numbers.
enum Mt5Filling { kFillingFok = 0, kFillingIoc = 1, kFillingReturn = 2 };

// TRADE_RETCODE_* the simulated account answers with.
enum Mt5Retcode : uint32_t {
  kRetcodeRequote = 10004,
  kRetcodePlaced = 10008,
  kRetcodeDone = 10009,
  kRetcodeInvalid = 10013,
  kRetcodeInvalidVolume = 10014,
  kRetcodeInvalidPrice = 10015,
  kRetcodeInvalidStops = 10016,
  kRetcodeMarketClosed = 10018,
  kRetcodeNoMoney = 10019,
  kRetcodeInvalidExpiration = 10022,
  kRetcodeNoChanges = 10025,
  kRetcodeFrozen = 10029,
  kRetcodeInvalidFill = 10030,
};

struct Mt5TradeRequest {
  Mt5Action action = Mt5Action::kDeal;
  uint64_t magic = 0;
  uint64_t order = 0;  // the pending order to modify or remove
  std::string symbol;
  double volume = 0;
  double price = 0;  // a deal's: 0 takes the market's
  double sl = 0, tp = 0;
  uint64_t deviation = 0;  // points a deal's price may be off the market
  Mt5OrderType type = Mt5OrderType::kBuy;
  Mt5Filling type_filling = kFillingFok;
  int64_t expiration = 0;  // a pending order's, server time in seconds; 0: none
  std::string comment;
  uint64_t position = 0;  // the position a deal closes or SLTP changes
};

struct Mt5TradeResult {
  uint32_t retcode = 0;
  uint64_t deal = 0;
  uint64_t order = 0;
  double volume = 0;
  double price = 0;
  std::string comment;
};
