#include "account_options.h"

#include <cstdlib>
#include <sstream>

namespace {

struct CatalogEntry {
  const char* name;
  int digits;
  double bid;
};
const CatalogEntry kCatalog[] = {
    {"EURUSD", 5, 1.08300}, {"GBPUSD", 5, 1.25000}, {"USDJPY", 3, 110.000}, {"XAUUSD", 2, 1800.00}};

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> items;
  std::istringstream in(text);
  for (std::string item; std::getline(in, item, separator);)
    if (!item.empty()) items.push_back(item);
  return items;
}

bool ReadNumber(const std::string& text, double& value) {
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return !text.empty() && *end == 0;
}

bool ReadWhole(const std::string& text, int& value) {
  double read = 0;
  if (!ReadNumber(text, read) || read < 0 || read > 1e9 || read != static_cast<int>(read)) return false;
  value = static_cast<int>(read);
  return true;
}

bool ReadFault(const std::string& name, TradeFault& fault) {
  static const std::pair<const char*, TradeFault> kNames[] = {
      {"none", TradeFault::kNone},
      {"requote", TradeFault::kRequote},
      {"broker-busy", TradeFault::kBrokerBusy},
      {"server-busy", TradeFault::kServerBusy},
      {"context-busy", TradeFault::kTradeContextBusy},
      {"no-connection", TradeFault::kNoConnection},
      {"timeout", TradeFault::kTimeoutWithoutExecution},
      {"timeout-after", TradeFault::kTimeoutAfterExecution}};
  for (const auto& [text, value] : kNames)
    if (name == text) return fault = value, true;
  return false;
}

bool ReadFaults(const std::string& list, std::vector<TradeFault>& faults, std::string& error) {
  for (const std::string& name : Split(list, ',')) {
    TradeFault fault;
    if (!ReadFault(name, fault)) return error = "unknown fault \"" + name + "\"", false;
    faults.push_back(fault);
  }
  return true;
}

// "fok", "ioc" or both, comma separated.
bool ReadFills(const std::string& list, bool& fok, bool& ioc) {
  fok = ioc = false;
  for (const std::string& name : Split(list, ','))
    if (name == "fok") fok = true;
    else if (name == "ioc") ioc = true;
    else return false;
  return fok || ioc;
}

// Splits "key=value"; false without '='.
bool KeyValue(const std::string& item, std::string& key, std::string& value) {
  const size_t at = item.find('=');
  if (at == std::string::npos) return false;
  key = item.substr(0, at);
  value = item.substr(at + 1);
  return true;
}

}  // namespace

bool ParseSymbolOffer(const std::string& text, std::vector<OfferedSymbol>& offer, std::string& error) {
  SymbolRules rules;
  std::string suffix;
  int walk = 0;
  bool fok = true, ioc = true;
  for (const std::string& item : Split(text, ';')) {
    std::string key, value;
    bool read = KeyValue(item, key, value);
    if (read && key == "suffix") suffix = value;
    else if (read && key == "stops") read = ReadWhole(value, rules.stops_level);
    else if (read && key == "walk") read = ReadWhole(value, walk);
    else if (read && key == "lot_min") read = ReadNumber(value, rules.lot_min);
    else if (read && key == "lot_step") read = ReadNumber(value, rules.lot_step);
    else if (read && key == "lot_max") read = ReadNumber(value, rules.lot_max);
    else if (read && key == "fill") read = ReadFills(value, fok, ioc);
    else read = false;
    if (!read) return error = "symbols: cannot read \"" + item + "\"", false;
  }
  offer.clear();
  for (const CatalogEntry& entry : kCatalog) {
    OfferedSymbol s;
    s.rules = rules;
    s.rules.name = entry.name + suffix;
    s.rules.digits = entry.digits;
    s.bid = entry.bid;
    s.spread_points = 2;
    s.walk_points = walk;
    s.fill_fok = fok;
    s.fill_ioc = ioc;
    if (!RulesUsable(s.rules)) return error = "symbols: unusable rules in \"" + text + "\"", false;
    offer.push_back(s);
  }
  return true;
}

bool ParseFaultPlan(const std::string& text, FaultPlan& plan, std::string& error) {
  int seed = 0;
  double rate = 0;
  std::vector<TradeFault> kinds, script;
  bool scripted = false;
  for (const std::string& item : Split(text, ';')) {
    std::string key, value;
    bool read = KeyValue(item, key, value);
    if (read && key == "seed") read = ReadWhole(value, seed);
    else if (read && key == "rate") read = ReadNumber(value, rate) && rate >= 0 && rate <= 1;
    else if (read && key == "kinds") read = ReadFaults(value, kinds, error);
    else if (read && key == "script") read = scripted = ReadFaults(value, script, error);
    else read = false;
    if (!read) {
      if (error.empty()) error = "faults: cannot read \"" + item + "\"";
      return false;
    }
  }
  if (scripted && rate > 0) return error = "faults: a script or a rate, not both", false;
  if (scripted) {
    plan = FaultPlan::Scripted(script);
    return true;
  }
  if (kinds.empty())
    kinds = {TradeFault::kRequote, TradeFault::kBrokerBusy, TradeFault::kServerBusy,
             TradeFault::kNoConnection, TradeFault::kTimeoutWithoutExecution,
             TradeFault::kTimeoutAfterExecution};
  plan = FaultPlan::Random(static_cast<uint64_t>(seed), rate, kinds);
  return true;
}

bool OfferSymbols(TradeServer& server, const std::vector<OfferedSymbol>& offer) {
  for (const OfferedSymbol& s : offer)
    if (!server.AddSymbol(s.rules, s.bid, s.spread_points, s.walk_points)) return false;
  return true;
}

bool OfferSymbols(Mt5TradeServer& server, const std::vector<OfferedSymbol>& offer) {
  for (const OfferedSymbol& s : offer)
    if (!server.AddSymbol(s.rules, s.fill_fok, s.fill_ioc, s.bid, s.spread_points, s.walk_points)) return false;
  return true;
}

bool ParseMarginMode(const std::string& text, Mt5MarginMode& mode, std::string& error) {
  if (text == "netting") return mode = Mt5MarginMode::kNetting, true;
  if (text == "hedging") return mode = Mt5MarginMode::kHedging, true;
  return error = "margin: \"" + text + "\" is neither netting nor hedging", false;
}

std::unique_ptr<Mt5TradeServer> OpenMt5Account(Mt5AccountSetup setup, const std::string& margin,
                                               const std::string& symbols, std::string& error) {
  std::vector<OfferedSymbol> offer;
  if (!ParseMarginMode(margin, setup.margin_mode, error) || !ParseSymbolOffer(symbols, offer, error)) return nullptr;
  auto server = std::make_unique<Mt5TradeServer>(setup);
  if (!OfferSymbols(*server, offer)) return error = "the server refused the symbols", nullptr;
  return server;
}
