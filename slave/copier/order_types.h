// The terminal's order types and what reversing does to them.
#pragma once
#include <cstdint>

enum OrderType : int32_t { kBuy, kSell, kBuyLimit, kSellLimit, kBuyStop, kSellStop };

constexpr bool IsKnownType(int32_t type) { return type >= kBuy && type <= kSellStop; }
constexpr bool IsMarketType(int32_t type) { return type == kBuy || type == kSell; }
constexpr bool IsBuyType(int32_t type) { return type == kBuy || type == kBuyLimit || type == kBuyStop; }

// A reversed limit sits on the wrong side of the market for a limit: it becomes a stop.
constexpr int32_t ReversedType(int32_t type) {
  constexpr int32_t kReversed[] = {kSell, kBuy, kSellStop, kBuyStop, kSellLimit, kBuyLimit};
  return IsKnownType(type) ? kReversed[type] : type;
}

constexpr const char* OrderTypeName(int32_t type) {
  constexpr const char* kNames[] = {"buy", "sell", "buy limit", "sell limit", "buy stop", "sell stop"};
  return IsKnownType(type) ? kNames[type] : "unknown type";
}
