#include "copier_sim_accounts.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <tuple>

#include "account_options.h"
#include "order_types.h"
#include "temp_file.h"
#include "trade_server.h"

bool Held::operator<(const Held& o) const {
  return std::tie(symbol, type, lots, open_price, stop_loss) <
         std::tie(o.symbol, o.type, o.lots, o.open_price, o.stop_loss);
}

bool Held::operator==(const Held& o) const {
  return symbol == o.symbol && type == o.type && lots == o.lots && open_price == o.open_price &&
         stop_loss == o.stop_loss && take_profit == o.take_profit;
}

std::string Describe(const std::vector<Held>& orders) {
  std::ostringstream out;
  for (const Held& o : orders)
    out << "  " << o.symbol << " type " << o.type << " lots " << o.lots << " price " << o.open_price
        << " sl " << o.stop_loss << " tp " << o.take_profit << "\n";
  return out.str();
}

std::string JournalText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

namespace {

// Replays a copy of the journal (its simulator goes on writing the original).
bool Replay(const std::string& journal, const std::string& symbols, TradeServer& server,
            std::vector<JournalEvent>& events) {
  TempFile copy("journal.txt", JournalText(journal));
  std::vector<OfferedSymbol> offer;
  std::string error;
  return ParseSymbolOffer(symbols, offer, error) && OfferSymbols(server, offer) &&
         ReadJournal(copy.Path(), events, error) && server.OpenJournal(copy.Path(), error);
}

std::vector<SimOrder> OpenOrders(TradeServer& server) {
  std::vector<SimOrder> orders;
  for (int i = 0; i < server.OrdersTotal(); i++) {
    SimOrder o;
    if (server.OrderSelectByPos(i, kModeTrades, o)) orders.push_back(o);
  }
  return orders;
}

Held HeldOf(const SimOrder& o) {
  return {o.symbol, o.type, o.lots, IsMarketType(o.type) ? 0 : o.open_price, o.stop_loss, o.take_profit};
}

double RoundDownToHundredths(double lots) { return std::floor(lots * 100 + 1e-7) / 100; }

}  // namespace

std::vector<Held> AccountOf(const std::string& journal, const std::string& symbols) {
  TradeServer server{AccountSetup{}};
  std::vector<JournalEvent> events;
  if (!Replay(journal, symbols, server, events)) return {};
  std::vector<Held> held;
  for (const SimOrder& o : OpenOrders(server)) held.push_back(HeldOf(o));
  std::sort(held.begin(), held.end());
  return held;
}

namespace {

// The fields of one line of an MT5 account's state: its kind, then key=value items.
std::map<std::string, std::string> Mt5Fields(const std::string& line, std::string& kind) {
  std::istringstream items(line);
  items >> kind;
  std::map<std::string, std::string> fields;
  for (std::string item; items >> item;) {
    size_t equals = item.find('=');
    if (equals != std::string::npos) fields[item.substr(0, equals)] = item.substr(equals + 1);
  }
  return fields;
}

template <typename Visit>
void ForEachMt5Line(const std::string& state, Visit visit) {
  std::istringstream lines(JournalText(state));
  for (std::string line, kind; std::getline(lines, line);) {
    std::map<std::string, std::string> fields = Mt5Fields(line, kind);
    visit(kind, fields);
  }
}

}  // namespace

std::vector<Held> Mt5AccountOf(const std::string& state) {
  std::vector<Held> held;
  ForEachMt5Line(state, [&](const std::string& kind, std::map<std::string, std::string>& f) {
    if (kind != "position" && kind != "order") return;
    const int type = std::stoi(f["type"]);
    held.push_back({f["symbol"], type, std::stod(f["volume"]), IsMarketType(type) ? 0 : std::stod(f["price"]),
                    std::stod(f["sl"]), std::stod(f["tp"])});
  });
  std::sort(held.begin(), held.end());
  return held;
}

std::map<int, int> Mt5OpensByMagic(const std::string& state) {
  std::map<int, int> opens;
  ForEachMt5Line(state, [&](const std::string& kind, std::map<std::string, std::string>& f) {
    if (kind == "deal" && f["entry"] == "0") opens[static_cast<int>(std::stoll(f["magic"]))]++;
  });
  return opens;
}

std::vector<Held> ExpectedCopies(const std::string& master_journal, const CopyRule& rule) {
  TradeServer server{AccountSetup{}};
  std::vector<JournalEvent> events;
  if (!Replay(master_journal, "", server, events)) return {};
  std::map<int, double> original;  // ticket -> the lots its chain opened with
  for (const JournalEvent& e : events) {
    if (e.kind == JournalEvent::kOpen) original[e.order.ticket] = e.order.lots;
    if (e.kind == JournalEvent::kPartialClose) original[e.remainder_ticket] = original[e.order.ticket];
  }
  std::vector<Held> copies;
  for (const SimOrder& o : OpenOrders(server)) {
    Held copy = HeldOf(o);
    copy.symbol += rule.suffix;
    copy.lots = RoundDownToHundredths(rule.fixed_lots > 0 ? rule.fixed_lots * o.lots / original[o.ticket]
                                                          : o.lots * rule.multiplier);
    if (rule.reverse) {
      copy.type = ReversedType(copy.type);
      std::swap(copy.stop_loss, copy.take_profit);
    }
    copies.push_back(copy);
  }
  std::sort(copies.begin(), copies.end());
  return copies;
}

std::map<std::pair<int, bool>, int> OpensByMagic(const std::string& journal) {
  std::vector<JournalEvent> events;
  std::string error;
  std::map<std::pair<int, bool>, int> opens;
  TempFile copy("journal.txt", JournalText(journal));
  if (ReadJournal(copy.Path(), events, error))
    for (const SimOrder& o : JournaledOpens(events)) opens[{o.magic, IsMarketType(o.type)}]++;
  return opens;
}
