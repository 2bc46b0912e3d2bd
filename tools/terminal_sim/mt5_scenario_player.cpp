#include "mt5_scenario_player.h"

#include "order_types.h"
#include "trade_retcodes.h"

namespace {

std::string Failure(const char* verb, int ticket, const std::string& what) {
  return std::string(verb) + " " + std::to_string(ticket) + ": " + what;
}

Mt5OrderType TypeOf(int mt4_type) {
  switch (mt4_type) {
    case kSell: return Mt5OrderType::kSell;
    case kBuyLimit: return Mt5OrderType::kBuyLimit;
    case kSellLimit: return Mt5OrderType::kSellLimit;
    case kBuyStop: return Mt5OrderType::kBuyStop;
    case kSellStop: return Mt5OrderType::kSellStop;
    default: return Mt5OrderType::kBuy;
  }
}

bool FindPosition(Mt5TradeServer& server, uint64_t ticket, Mt5Position& position) {
  return ticket != 0 && server.PositionByTicket(ticket, position);
}

bool FindOrder(Mt5TradeServer& server, uint64_t ticket, Mt5Order& order) {
  for (int i = 0; ticket != 0 && server.OrderByIndex(i, order); i++)
    if (order.ticket == ticket) return true;
  return false;
}

}  // namespace

uint64_t Mt5ScenarioPlayer::TicketOf(int scenario_ticket) const {
  auto found = tickets_.find(scenario_ticket);
  return found == tickets_.end() ? 0 : found->second;
}

bool Mt5ScenarioPlayer::MoveAskTo(const std::string& symbol, double price) {
  Mt5SymbolFacts facts;
  return server_.SymbolInfo(symbol, facts) && server_.SetBid(symbol, price - (facts.ask - facts.bid));
}

std::string Mt5ScenarioPlayer::Send(const char* verb, int scenario_ticket, Mt5TradeRequest request,
                                    Mt5TradeResult& result) {
  Mt5SymbolFacts facts;
  if (!server_.SymbolInfo(request.symbol, facts)) return Failure(verb, scenario_ticket, "no such symbol");
  request.type_filling = facts.fill_fok ? kFillingFok : facts.fill_ioc ? kFillingIoc : kFillingReturn;
  if (!server_.OrderSend(request, result)) return Failure(verb, scenario_ticket, RetcodeText(result.retcode));
  return "";
}

std::string Mt5ScenarioPlayer::Open(const SimOrder& o) {
  Mt5TradeRequest request;
  request.symbol = o.symbol;
  request.type = TypeOf(o.type);
  request.volume = o.lots;
  request.sl = o.stop_loss;
  request.tp = o.take_profit;
  request.comment = o.comment;
  request.magic = static_cast<uint32_t>(o.magic);
  if (IsMarketType(o.type)) {
    if (!(IsBuyType(o.type) ? MoveAskTo(o.symbol, o.open_price) : server_.SetBid(o.symbol, o.open_price)))
      return Failure("open", o.ticket, "no such symbol");
    request.action = Mt5Action::kDeal;
  } else {
    request.action = Mt5Action::kPending;
    request.price = o.open_price;
    request.expiration = o.expiration;
  }
  Mt5TradeResult result;
  std::string failure = Send("open", o.ticket, request, result);
  if (failure.empty()) tickets_[o.ticket] = result.order;  // a position is known by its first order
  return failure;
}

std::string Mt5ScenarioPlayer::Close(const SimOrder& step) {
  Mt5Position position;
  if (!FindPosition(server_, TicketOf(step.ticket), position)) return Failure("close", step.ticket, "no such position");
  if (!(position.buy ? server_.SetBid(position.symbol, step.close_price) : MoveAskTo(position.symbol, step.close_price)))
    return Failure("close", step.ticket, "no such symbol");
  Mt5TradeRequest request;
  request.action = Mt5Action::kDeal;
  request.symbol = position.symbol;
  request.type = position.buy ? Mt5OrderType::kSell : Mt5OrderType::kBuy;
  request.volume = step.lots > 0 ? step.lots : position.volume;
  request.position = position.ticket;
  request.magic = position.magic;
  Mt5TradeResult result;
  return Send("close", step.ticket, request, result);
}

std::string Mt5ScenarioPlayer::Modify(const ScenarioStep& step) {
  const int label = step.order.ticket;
  const uint64_t ticket = TicketOf(label);
  Mt5TradeRequest request;
  request.sl = step.order.stop_loss;
  request.tp = step.order.take_profit;
  Mt5Position position;
  Mt5Order order;
  if (FindPosition(server_, ticket, position)) {
    request.action = Mt5Action::kSltp;
    request.symbol = position.symbol;
    request.position = position.ticket;
  } else if (FindOrder(server_, ticket, order)) {
    request.action = Mt5Action::kModify;
    request.symbol = order.symbol;
    request.order = order.ticket;
    request.price = step.order.open_price != 0 ? step.order.open_price : order.price_open;
    request.expiration = step.expiration.value_or(order.expiration);
  } else {
    return Failure("modify", label, "no such position or order");
  }
  Mt5TradeResult result;
  return Send("modify", label, request, result);
}

std::string Mt5ScenarioPlayer::Delete(int scenario_ticket) {
  Mt5Order order;
  if (!FindOrder(server_, TicketOf(scenario_ticket), order)) return Failure("delete", scenario_ticket, "no such order");
  Mt5TradeRequest request;
  request.action = Mt5Action::kRemove;
  request.symbol = order.symbol;
  request.order = order.ticket;
  Mt5TradeResult result;
  return Send("delete", scenario_ticket, request, result);
}

std::string Mt5ScenarioPlayer::Trigger(int scenario_ticket) {
  Mt5Order order;
  if (!FindOrder(server_, TicketOf(scenario_ticket), order)) return Failure("trigger", scenario_ticket, "no such pending order");
  const bool buy = order.type == Mt5OrderType::kBuyLimit || order.type == Mt5OrderType::kBuyStop;
  if (!(buy ? MoveAskTo(order.symbol, order.price_open) : server_.SetBid(order.symbol, order.price_open)))
    return Failure("trigger", scenario_ticket, "no such symbol");
  Mt5Position position;  // a filled order's position carries its ticket
  if (!FindPosition(server_, order.ticket, position)) return Failure("trigger", scenario_ticket, "the order did not trigger");
  return "";
}

std::string Mt5ScenarioPlayer::Play(const ScenarioStep& step) {
  switch (step.kind) {
    case ScenarioStep::kLogin:
      return "";
    case ScenarioStep::kOpen:
      return Open(step.order);
    case ScenarioStep::kModify:
      return Modify(step);
    case ScenarioStep::kClose:
      return Close(step.order);
    case ScenarioStep::kDelete:
      return Delete(step.order.ticket);
    case ScenarioStep::kTrigger:
      return Trigger(step.order.ticket);
    case ScenarioStep::kPrice:
      return server_.SetBid(step.order.symbol, step.bid) ? "" : "price " + step.order.symbol + ": not offered or not a price";
    case ScenarioStep::kWait:
      server_.Advance(step.wait_ms);
      return "";
  }
  return "";
}
