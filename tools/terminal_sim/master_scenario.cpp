// The master's scenario: one step per line, blank lines and text after '#' ignored.
//
//   login 4711                          the account's login (default 0)
//   open 1001 buy 0.10 EURUSD 1.08345   an order: ticket, type (buy, sell, buylimit,
//                                       selllimit, buystop, sellstop or 0-5), lots, symbol,
//                                       price (a pending order's own price)
//   open 1002 sell 1 GBPUSD 1.5 1.6 1.4 hi there
//                                       ... then stop loss, take profit and a comment: the
//                                       rest of the line
//   open 1003 buylimit 0.5 EURUSD 1.07 1.06 1.09 magic=7 expiration=1252990000 grid 2
//                                       ... with magic=N and expiration=T (unix seconds)
//                                       between the stops and the comment
//   modify 1001 1.07 1.10               new stop loss and take profit
//   modify 1003 1.06 1.09 1.071         ... and a pending order's new price
//   modify 1003 1.06 1.09 1.071 0       ... and its new expiration (0: none)
//   close 1001 1.08500                  closes the order at that price
//   close 1002 1.4 0.4                  closes 0.4 lots of it: the rest goes on under the next
//                                       ticket with the comment "from #1002"
//   delete 1003                         removes a pending order
//   trigger 1003                        moves the market to a pending order's price: it becomes
//                                       a market order under the same ticket
//   price EURUSD 1.08100                moves the market: the symbol's bid (stops may be hit)
//   wait 2000                           lets that many milliseconds pass
//
// Tickets are the account's real tickets. A trade server numbers new orders one after the
// other from its first ticket (the next after the highest it has seen), the remainder of a
// partial close included; an open line names the ticket the order gets, and a player that
// drives a server reports any other ticket as a fault of the scenario. SimAccount numbers a
// remainder the same way.
#include "master_scenario.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>

namespace {

// Order times are fixed so that a scenario always gives the same images and checksums.
const int kFirstOpenTime = 1252972800;  // 2009-09-15 00:00:00 UTC
const int kStepSeconds = 60;

const char* const kTypeNames[] = {"buy", "sell", "buylimit", "selllimit", "buystop", "sellstop"};

bool ReadType(const std::string& word, int& type) {
  for (int i = 0; i < 6; i++)
    if (word == kTypeNames[i]) return type = i, true;
  char* end = nullptr;
  long value = std::strtol(word.c_str(), &end, 10);
  if (word.empty() || *end || value < 0 || value > 5) return false;
  return type = static_cast<int>(value), true;
}

template <typename T>
bool Read(std::istringstream& in, T& value) {
  return static_cast<bool>(in >> value);
}

bool AtEnd(std::istringstream& in) { return (in >> std::ws).eof(); }

// A value that may end the line: absent is fine, anything else must read as a T.
template <typename T>
bool ReadOptional(std::istringstream& in, std::optional<T>& value) {
  if (AtEnd(in)) return true;
  T read{};
  if (!Read(in, read)) return false;
  value = read;
  return true;
}

// The rest of the line after the fields read so far, without blanks around it.
std::string Rest(std::istringstream& in) {
  std::string rest;
  std::getline(in, rest);
  rest.erase(0, rest.find_first_not_of(" \t"));
  rest.erase(rest.find_last_not_of(" \t") + 1);
  return rest;
}

// "magic=7": false when `word` is that option but its value is no whole number.
bool ReadOption(const std::string& word, const std::string& name, int& value, bool& matched) {
  matched = word.rfind(name, 0) == 0;
  if (!matched) return true;
  const std::string digits = word.substr(name.size());
  char* end = nullptr;
  long long read = std::strtoll(digits.c_str(), &end, 10);
  if (digits.empty() || *end || read < INT32_MIN || read > INT32_MAX) return false;
  value = static_cast<int>(read);
  return true;
}

// After an open's stops: the options magic=N and expiration=T, then the comment.
bool ReadOpenTail(std::istringstream& in, SimOrder& o) {
  std::string rest = Rest(in);
  for (;;) {
    const size_t blank = rest.find_first_of(" \t");
    const std::string word = rest.substr(0, blank);
    bool magic = false, expiration = false;
    if (!ReadOption(word, "magic=", o.magic, magic) ||
        !ReadOption(word, "expiration=", o.expiration, expiration))
      return false;
    if (!magic && !expiration) break;
    rest = blank == std::string::npos ? "" : rest.substr(rest.find_first_not_of(" \t", blank));
  }
  o.comment = rest;
  return true;
}

bool ParseStep(const std::string& line, ScenarioStep& step) {
  std::istringstream in(line);
  in.imbue(std::locale::classic());
  std::string verb, type;
  in >> verb;
  SimOrder& o = step.order;
  if (verb == "login") {
    step.kind = ScenarioStep::kLogin;
    return Read(in, step.login);
  }
  if (verb == "open") {
    step.kind = ScenarioStep::kOpen;
    if (!Read(in, o.ticket) || !Read(in, type) || !ReadType(type, o.type) || !Read(in, o.lots) ||
        !Read(in, o.symbol) || !Read(in, o.open_price))
      return false;
    if (Read(in, o.stop_loss) && Read(in, o.take_profit)) return ReadOpenTail(in, o);
    return true;
  }
  if (verb == "modify") {
    step.kind = ScenarioStep::kModify;
    std::optional<double> price;
    if (!Read(in, o.ticket) || !Read(in, o.stop_loss) || !Read(in, o.take_profit) ||
        !ReadOptional(in, price))
      return false;
    o.open_price = price.value_or(0);
    return (!price || ReadOptional(in, step.expiration)) && AtEnd(in);
  }
  if (verb == "close") {
    step.kind = ScenarioStep::kClose;
    std::optional<double> lots;
    if (!Read(in, o.ticket) || !Read(in, o.close_price) || !ReadOptional(in, lots)) return false;
    o.lots = lots.value_or(0);
    return o.lots >= 0 && AtEnd(in);
  }
  if (verb == "delete" || verb == "trigger") {
    step.kind = verb == "delete" ? ScenarioStep::kDelete : ScenarioStep::kTrigger;
    return Read(in, o.ticket) && AtEnd(in);
  }
  if (verb == "price") {
    step.kind = ScenarioStep::kPrice;
    return Read(in, o.symbol) && Read(in, step.bid) && step.bid > 0 && AtEnd(in);
  }
  if (verb == "wait") {
    step.kind = ScenarioStep::kWait;
    return Read(in, step.wait_ms) && step.wait_ms >= 0;
  }
  return false;
}

bool IsPending(const SimOrder& o) { return o.type >= 2; }

int NextTicket(const SimAccount& account) {
  int highest = 0;
  for (const auto* pool : {&account.market, &account.history})
    for (const SimOrder& o : *pool) highest = std::max(highest, o.ticket);
  return highest + 1;
}

}  // namespace

bool ParseScenario(std::string_view text, std::vector<ScenarioStep>& steps, std::string& error) {
  steps.clear();
  std::istringstream lines{std::string(text)};
  std::string line;
  for (int number = 1; std::getline(lines, line); number++) {
    line = line.substr(0, line.find('#'));
    line.erase(line.find_last_not_of(" \t\r") + 1);
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    ScenarioStep step{};
    if (!ParseStep(line, step)) {
      error = "line " + std::to_string(number) + ": cannot read \"" + line + "\"";
      return false;
    }
    steps.push_back(std::move(step));
  }
  return true;
}

void SimAccount::Apply(const ScenarioStep& step) {
  const int now = kFirstOpenTime + kStepSeconds * static_cast<int>(market.size() + history.size());
  auto open = std::find_if(market.begin(), market.end(),
                           [&](const SimOrder& o) { return o.ticket == step.order.ticket; });
  const bool known = open != market.end();
  switch (step.kind) {
    case ScenarioStep::kLogin:
      login = step.login;
      break;
    case ScenarioStep::kOpen:
      market.push_back(step.order);
      market.back().open_time = now;
      break;
    case ScenarioStep::kModify:
      if (!known) break;
      open->stop_loss = step.order.stop_loss;
      open->take_profit = step.order.take_profit;
      if (IsPending(*open) && step.order.open_price != 0) open->open_price = step.order.open_price;
      if (IsPending(*open) && step.expiration) open->expiration = *step.expiration;
      break;
    case ScenarioStep::kClose: {
      if (!known) break;
      const int next_ticket = NextTicket(*this);
      SimOrder closed = *open;
      market.erase(open);
      if (step.order.lots > 0 && LotUnits(step.order.lots) < LotUnits(closed.lots))
        market.push_back(SplitOff(closed, step.order.lots, next_ticket));
      closed.close_time = now;
      closed.close_price = step.order.close_price;
      history.push_back(closed);
      break;
    }
    case ScenarioStep::kDelete:
      if (!known || !IsPending(*open)) break;
      open->close_time = now;
      open->close_price = open->open_price;
      history.push_back(*open);
      market.erase(open);
      break;
    case ScenarioStep::kTrigger:
      if (!known || !IsPending(*open)) break;
      open->type %= 2;  // limits and stops of a side become that side's market order
      open->open_time = now;
      break;
    case ScenarioStep::kPrice:
    case ScenarioStep::kWait:
      break;
  }
}

void SimAccount::OpenGenerated(int count) {
  const char* const symbols[] = {"EURUSD", "GBPUSD", "USDJPY", "USDCHF", "AUDUSD"};
  for (int i = 0; i < count; i++) {
    SimOrder o;
    o.ticket = 1000 + i;
    o.open_time = kFirstOpenTime + kStepSeconds * i;
    o.type = i % 2;
    o.lots = 0.1 * (1 + i % 5);
    o.symbol = symbols[i % 5];
    o.open_price = 1.2 + 0.0001 * i;
    o.comment = "sim";
    market.push_back(o);
  }
}
