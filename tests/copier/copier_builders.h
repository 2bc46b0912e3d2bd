// Small builders that keep the copier's test tables readable: master orders and images, slave
// orders and symbols, a one-line text per action, and a slave terminal that runs actions.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "copy_action.h"
#include "copy_link.h"
#include "image_set_model.h"
#include "order_types.h"
#include "slave_state.h"

constexpr int64_t kNow = 1'700'000'000;

// A master order: Master(1001, kBuy, 1.0, "EURUSD", 1.08340).Sl(1.075).Tp(1.095)
struct Master {
  Master(int32_t ticket, int32_t type, double lots, const char* symbol, double price);
  Master& Sl(double value) { return order.price7 = value, *this; }
  Master& Tp(double value) { return order.price8 = value, *this; }
  Master& Magic(int32_t value) { return order.num11 = value, *this; }
  Master& Opened(int64_t time) { return order.num2 = int32_t(time), *this; }
  Master& Expires(int64_t time) { return order.num12 = int32_t(time), *this; }
  Master& Closed(int64_t time) { return order.close_time = int32_t(time), *this; }
  Master& Comment(const char* text);
  Master& From(int32_t parent);  // the remainder of a partial close of `parent`
  Master& To(int32_t remainder);  // a closed part whose remainder is `remainder`
  operator TOrder() const { return order; }
  TOrder order;
};

TImage Image(const char* login, std::vector<TOrder> open, std::vector<TOrder> closed = {});

// A slave order; Of("4711", 1001) gives it the magic of that master chain.
struct Slave {
  Slave(int32_t ticket, int32_t type, double lots, const char* symbol, double price);
  Slave& Sl(double value) { return order.sl = value, *this; }
  Slave& Tp(double value) { return order.tp = value, *this; }
  Slave& Expires(int64_t time) { return order.expiration = int32_t(time), *this; }
  Slave& Of(const char* login, int32_t root) { return order.magic = CopyMagic(login, root), *this; }
  operator SlaveOrder() const { return order; }
  SlaveOrder order;
};

// Five digits, lots 0.01..100 by 0.01, stops level 10 points, bid 1.08340 ask 1.08350.
SymbolFacts Eurusd(const char* name = "EURUSD");
// Two digits, lots 0.1..50 by 0.1, stops level 50 points, bid 1950.00 ask 1950.50.
SymbolFacts Gold(const char* name = "XAUUSD");

// The facts with another minimum lot.
SymbolFacts MinimumLots(SymbolFacts facts, double lots);

SlaveState Account(std::vector<SlaveOrder> open, std::vector<SlaveOrder> history = {},
                   std::vector<SymbolFacts> symbols = {Eurusd(), Gold()});

// "open 4711 #1001: buy 0.20 EURUSD at 1.08350 sl 1.07500 tp 1.09500", "close #5001 0.20",
// "partial close #5001 0.10", "modify #5001 at 1.08000 sl 0 tp 1.09000 exp 0", "delete #5001".
// Prices with five decimals, trailing zeros of prices and lots cut ("0.2", "1.0835").
std::string Describe(const CopyAction& action);
std::vector<std::string> Describe(const std::vector<CopyAction>& actions);

// Runs actions as a terminal would, new tickets from 9001 on; a partial close leaves the closed
// part in the history and reopens the rest under a new ticket with the same magic.
class TestTerminal {
 public:
  void Run(const CopyAction& action, SlaveState& slave);

 private:
  int32_t next_ticket_ = 9001;
};
