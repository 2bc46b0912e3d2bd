#include "mt5_image.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "fixed_point.h"
#include "mt5_image_numbers.h"
#include "mt5_position_lots.h"
#include "order_pool.h"

namespace mt5 {
namespace {

// A closed order the history may carry.
struct Candidate {
  ImageOrder order;
  int64_t close_time;
  // The closed part its chain went on from, as a candidate index, or -1.
  int32_t parent;
};

std::string LinkComment(std::string_view prefix, int64_t ticket) {
  std::string comment(prefix);
  AppendInt(comment, ImageTicket(ticket));
  return comment;
}

// The comments the slaves follow a partial-close chain by (copy_link.h).
std::string LotComment(const Lot& lot) {
  if (lot.to_ticket != 0) return LinkComment("to #", lot.to_ticket);
  if (lot.from_ticket != 0) return LinkComment("from #", lot.from_ticket);
  return std::string(lot.comment);
}

ImageOrder LotOrder(const Lot& lot, int32_t pool) {
  ImageOrder o;
  o.pool = pool;
  o.ticket = ImageTicket(lot.ticket);
  o.open_time = ImageTime(lot.open_time);
  o.type = lot.side;
  o.lots = lot.volume;
  o.symbol = lot.symbol;
  o.open_price = lot.open_price;
  o.magic = ImageMagic(lot.magic);
  o.comment = LotComment(lot);
  if (pool == kHistoryOrders) {
    o.close_time = ImageTime(lot.close_time);
    o.close_price = lot.close_price;
  }
  return o;
}

ImageOrder PositionOrder(const Position& p) {
  ImageOrder o;
  o.ticket = ImageTicket(p.identifier);
  o.open_time = ImageTime(p.time);
  o.type = p.type;
  o.lots = p.volume;
  o.symbol = p.symbol;
  o.open_price = p.price_open;
  o.sl = p.sl;
  o.tp = p.tp;
  o.magic = ImageMagic(p.magic);
  o.comment = p.comment;
  return o;
}

ImageOrder PendingOrderOf(const PendingOrder& p) {
  ImageOrder o;
  o.ticket = ImageTicket(p.ticket);
  o.open_time = ImageTime(p.time_setup);
  o.type = p.type;
  o.lots = p.volume;
  o.symbol = p.symbol;
  o.open_price = p.price_open;
  o.sl = p.sl;
  o.tp = p.tp;
  o.magic = ImageMagic(p.magic);
  o.expiration = ImageTime(p.expiration);
  o.comment = p.comment;
  return o;
}

ImageOrder FinishedOrderOf(const FinishedOrder& f) {
  ImageOrder o;
  o.pool = kHistoryOrders;
  o.ticket = ImageTicket(f.ticket);
  o.open_time = ImageTime(f.time_setup);
  o.type = f.type;
  o.lots = f.volume_initial;
  o.symbol = f.symbol;
  o.open_price = f.price_open;
  o.sl = f.sl;
  o.tp = f.tp;
  o.close_time = ImageTime(f.time_done);
  o.close_price = f.price_open;
  o.magic = ImageMagic(f.magic);
  o.expiration = ImageTime(f.expiration);
  o.comment = f.comment;
  return o;
}

bool IsPublishedPendingType(int32_t type) { return type >= kBuyLimit && type <= kSellStop; }

// Whether the lots left open are the position as the terminal reports it.
bool AddsUp(const PositionLots& lots, const Position& position) {
  if (!lots.complete || lots.open.empty()) return false;
  double volume = 0;
  for (const Lot& lot : lots.open) {
    if (lot.side != position.type) return false;
    volume += lot.volume;
  }
  return std::fabs(volume - position.volume) <= kVolumeTolerance;
}

// The trades among the deals, each position's together in time, then ticket, order.
std::unordered_map<int64_t, std::span<const Deal* const>> TradesByPosition(
    const std::vector<Deal>& deals, std::vector<const Deal*>& trades) {
  for (const Deal& deal : deals)
    if (deal.type == kBuy || deal.type == kSell) trades.push_back(&deal);
  std::sort(trades.begin(), trades.end(), [](const Deal* a, const Deal* b) {
    return std::tie(a->position_id, a->time, a->ticket) < std::tie(b->position_id, b->time, b->ticket);
  });
  std::unordered_map<int64_t, std::span<const Deal* const>> by_position;
  for (size_t start = 0, end = 0; start < trades.size(); start = end) {
    while (end < trades.size() && trades[end]->position_id == trades[start]->position_id) end++;
    by_position.emplace(trades[start]->position_id,
                        std::span<const Deal* const>(trades.data() + start, end - start));
  }
  return by_position;
}

class ImageBuilder {
 public:
  explicit ImageBuilder(const AccountFacts& facts) {
    std::vector<const Deal*> trades;
    auto by_position = TradesByPosition(facts.deals, trades);
    for (const Position& position : facts.positions) {
      auto found = by_position.find(position.identifier);
      if (found == by_position.end()) {
        AddOpen(PositionOrder(position), -1);
        continue;
      }
      PositionLots lots = ReadPositionLots(found->second);
      by_position.erase(found);
      if (!AddsUp(lots, position)) {
        AddOpen(PositionOrder(position), -1);
        continue;
      }
      const int32_t first = AddClosed(lots);
      for (const Lot& lot : lots.open) {
        ImageOrder order = LotOrder(lot, kMarketOrders);
        order.sl = position.sl;
        order.tp = position.tp;
        AddOpen(std::move(order), lot.parent < 0 ? -1 : first + lot.parent);
      }
    }
    for (const PendingOrder& pending : facts.pending_orders)
      if (IsPublishedPendingType(pending.type)) AddOpen(PendingOrderOf(pending), -1);
    // Positions no longer open: their lots closed, the whole of them that the deals tell.
    for (const auto& [identifier, deals] : by_position) AddClosed(ReadPositionLots(deals));
    for (const FinishedOrder& f : facts.finished_orders)
      if (IsPublishedPendingType(f.type) && (f.state == kStateCanceled || f.state == kStateExpired))
        candidates_.push_back({FinishedOrderOf(f), f.time_done, -1});
  }

  std::vector<ImageOrder> Build(const HistoryWindow& window) && {
    ChooseHistory(window);
    std::vector<ImageOrder> orders = std::move(open_);
    orders.reserve(orders.size() + chosen_.size());
    for (int32_t index : chosen_) orders.push_back(std::move(candidates_[index].order));
    return orders;
  }

 private:
  void AddOpen(ImageOrder order, int32_t parent) {
    if (!tickets_.insert(order.ticket).second) return;
    open_.push_back(std::move(order));
    open_parents_.push_back(parent);
  }

  // Answers the candidate index of the first of the closed lots.
  int32_t AddClosed(const PositionLots& lots) {
    const auto first = static_cast<int32_t>(candidates_.size());
    for (const Lot& lot : lots.closed)
      candidates_.push_back(
          {LotOrder(lot, kHistoryOrders), lot.close_time, lot.parent < 0 ? -1 : first + lot.parent});
    return first;
  }

  void ChooseHistory(const HistoryWindow& window) {
    const int64_t since = window.now - window.recent_seconds;
    std::vector<int32_t> recent;
    for (size_t i = 0; i < candidates_.size(); i++)
      if (candidates_[i].close_time >= since) recent.push_back(static_cast<int32_t>(i));
    std::sort(recent.begin(), recent.end(), [this](int32_t a, int32_t b) {
      const Candidate& x = candidates_[a];
      const Candidate& y = candidates_[b];
      return std::tie(x.close_time, x.order.ticket) > std::tie(y.close_time, y.order.ticket);
    });
    taken_.assign(candidates_.size(), false);
    for (size_t r = 0; r < recent.size() && r < static_cast<size_t>(window.max_recent); r++)
      Take(recent[r]);
    const size_t published = chosen_.size();
    for (size_t p = 0; p < published; p++) TakeAncestors(candidates_[chosen_[p]].parent);
    for (int32_t parent : open_parents_) TakeAncestors(parent);
  }

  // Walks back through a chain until an order already taken: its own walk took the rest.
  void TakeAncestors(int32_t index) {
    while (index >= 0 && Take(index)) index = candidates_[index].parent;
  }

  bool Take(int32_t index) {
    if (taken_[index]) return false;
    taken_[index] = true;
    if (!tickets_.insert(candidates_[index].order.ticket).second) return false;
    chosen_.push_back(index);
    return true;
  }

  std::vector<ImageOrder> open_;
  std::vector<int32_t> open_parents_;
  std::vector<Candidate> candidates_;
  std::vector<bool> taken_;
  std::vector<int32_t> chosen_;
  std::unordered_set<int32_t> tickets_;
};

}  // namespace

std::vector<ImageOrder> BuildImageOrders(const AccountFacts& facts, const HistoryWindow& window) {
  return ImageBuilder(facts).Build(window);
}

}  // namespace mt5
