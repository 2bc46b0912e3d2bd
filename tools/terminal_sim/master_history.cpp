#include "master_history.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <utility>

namespace {

const int kRecentSeconds = 3600;
const size_t kMaxRecentClosed = 200;

// The ticket a comment "from #<ticket>" ("to #<ticket>") names, 0 for another comment.
int LinkedTicket(const std::string& comment, const char* prefix) {
  const std::string p = prefix;
  if (comment.compare(0, p.size(), p) != 0) return 0;
  const long ticket = std::strtol(comment.c_str() + p.size(), nullptr, 10);
  return ticket > 0 && ticket <= 0x7fffffff ? static_cast<int>(ticket) : 0;
}

struct Chooser {
  TradeServer& server;
  int history_total;
  std::map<int, int> closed_part_of;  // remainder -> the closed part commented "to #remainder"
  std::vector<int> chosen;

  bool Add(int ticket) {
    if (std::find(chosen.begin(), chosen.end(), ticket) != chosen.end()) return false;
    chosen.push_back(ticket);
    return true;
  }

  void AddAncestors(int ticket, std::string comment) {
    for (int steps = 0; steps <= history_total; steps++) {
      const auto part = closed_part_of.find(ticket);
      int parent = part != closed_part_of.end() ? part->second : 0;
      if (parent == 0) parent = LinkedTicket(comment, "from #");
      if (parent == 0) return;
      comment.clear();
      SimOrder o;
      if (server.OrderSelectByTicket(parent, o) && o.close_time > 0) {
        if (!Add(parent)) return;  // already published: its own walk adds the rest
        comment = o.comment;
      }
      ticket = parent;
    }
  }
};

}  // namespace

std::vector<int> ChooseHistory(TradeServer& server) {
  Chooser c{server, server.OrdersHistoryTotal(), {}, {}};
  std::vector<std::pair<int, int>> recent;  // close time, ticket
  const int since = server.TimeCurrent() - kRecentSeconds;
  for (int i = 0; i < c.history_total; i++) {
    SimOrder o;
    if (!server.OrderSelectByPos(i, kModeHistory, o) || o.type > 5) continue;
    if (const int remainder = LinkedTicket(o.comment, "to #")) c.closed_part_of[remainder] = o.ticket;
    if (o.close_time >= since) recent.emplace_back(o.close_time, o.ticket);
  }
  std::sort(recent.begin(), recent.end(), std::greater<>());  // newest first
  for (size_t r = 0; r < recent.size() && r < kMaxRecentClosed; r++) c.Add(recent[r].second);
  const size_t published = c.chosen.size();
  for (size_t p = 0; p < published; p++) {
    SimOrder o;
    if (server.OrderSelectByTicket(c.chosen[p], o)) c.AddAncestors(o.ticket, o.comment);
  }
  const int open_total = server.OrdersTotal();
  for (int i = 0; i < open_total; i++) {
    SimOrder o;
    if (server.OrderSelectByPos(i, kModeTrades, o)) c.AddAncestors(o.ticket, o.comment);
  }
  return c.chosen;
}

int PriceDigits(TradeServer& server, const std::string& symbol) {
  const int digits = static_cast<int>(server.MarketInfo(symbol, kModeDigits));
  server.GetLastError();
  return digits > 0 ? digits : 8;
}

int LotsDigits(TradeServer& server, const std::string& symbol, int at_least) {
  const double step = server.MarketInfo(symbol, kModeLotStep);
  server.GetLastError();
  if (step <= 0) return 8;
  int digits = 0;
  while (digits < 8 && std::fabs(step * std::pow(10, digits) - std::round(step * std::pow(10, digits))) > 1e-6)
    digits++;
  return std::max(digits, at_least);
}
