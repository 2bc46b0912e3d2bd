#include "scenario_player.h"

#include "order_types.h"
#include "trade_errors.h"

namespace {

std::string Failure(const char* verb, int ticket, const std::string& what) {
  return std::string(verb) + " " + std::to_string(ticket) + ": " + what;
}

std::string LastError(TradeServer& server, const char* verb, int ticket) {
  return Failure(verb, ticket, TradeErrorText(server.GetLastError()));
}

// Puts the market where an order of `type` opens (`opening`) or closes at `price`.
bool MoveMarketTo(TradeServer& server, const std::string& symbol, int type, bool opening,
                  double price) {
  return IsBuyType(type) == opening ? server.SetAsk(symbol, price) : server.SetBid(symbol, price);
}

std::string Open(TradeServer& server, const SimOrder& o) {
  if (IsMarketType(o.type)) MoveMarketTo(server, o.symbol, o.type, true, o.open_price);
  const int ticket = server.OrderSend(o.symbol, o.type, o.lots, o.open_price, 0, o.stop_loss,
                                      o.take_profit, o.comment, o.magic, o.expiration);
  if (ticket < 0) return LastError(server, "open", o.ticket);
  if (ticket != o.ticket)
    return Failure("open", o.ticket, "the server gave ticket " + std::to_string(ticket));
  return "";
}

std::string Close(TradeServer& server, const SimOrder& step) {
  SimOrder o;
  if (!server.OrderSelectByTicket(step.ticket, o)) return Failure("close", step.ticket, "no such order");
  MoveMarketTo(server, o.symbol, o.type, false, step.close_price);
  const double lots = step.lots > 0 ? step.lots : o.lots;
  if (!server.OrderClose(step.ticket, lots, step.close_price, 0))
    return LastError(server, "close", step.ticket);
  return "";
}

std::string Modify(TradeServer& server, const ScenarioStep& step) {
  SimOrder o;
  const int ticket = step.order.ticket;
  if (!server.OrderSelectByTicket(ticket, o)) return Failure("modify", ticket, "no such order");
  const double price = step.order.open_price != 0 ? step.order.open_price : o.open_price;
  if (!server.OrderModify(ticket, price, step.order.stop_loss, step.order.take_profit,
                          step.expiration.value_or(o.expiration)))
    return LastError(server, "modify", ticket);
  return "";
}

std::string Trigger(TradeServer& server, int ticket) {
  SimOrder o;
  if (!server.OrderSelectByTicket(ticket, o) || IsMarketType(o.type) || o.close_time != 0)
    return Failure("trigger", ticket, "no such pending order");
  MoveMarketTo(server, o.symbol, o.type, true, o.open_price);
  if (!server.OrderSelectByTicket(ticket, o) || !IsMarketType(o.type))
    return Failure("trigger", ticket, "the order did not trigger");
  return "";
}

}  // namespace

std::string PlayStep(TradeServer& server, const ScenarioStep& step) {
  switch (step.kind) {
    case ScenarioStep::kLogin:
      server.SetLogin(step.login);
      return "";
    case ScenarioStep::kOpen:
      return Open(server, step.order);
    case ScenarioStep::kModify:
      return Modify(server, step);
    case ScenarioStep::kClose:
      return Close(server, step.order);
    case ScenarioStep::kDelete:
      return server.OrderDelete(step.order.ticket) ? "" : LastError(server, "delete", step.order.ticket);
    case ScenarioStep::kTrigger:
      return Trigger(server, step.order.ticket);
    case ScenarioStep::kPrice:
      return server.SetBid(step.order.symbol, step.bid) ? "" : "price " + step.order.symbol + ": not offered or not a price";
    case ScenarioStep::kWait:
      server.Advance(step.wait_ms);
      return "";
  }
  return "";
}
