#include "mt5_account_image.h"

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <utility>

#include "utf8_cut.h"

namespace mt5 {
namespace {

std::optional<std::string_view> Read(TextIn text) {
  if (!text.bytes || text.size < 1) return std::nullopt;
  return std::string_view(text.bytes, strnlen(text.bytes, static_cast<size_t>(text.size)));
}

bool AllFinite(std::initializer_list<double> numbers) {
  for (double n : numbers)
    if (!std::isfinite(n)) return false;
  return true;
}

// Adds `fact` to `to` with its texts, or answers -1 when the texts cannot be read.
template <typename Fact>
int32_t AddWithTexts(std::vector<Fact>& to, Fact fact, TextIn symbol, TextIn comment) {
  auto symbol_text = Read(symbol);
  auto comment_text = Read(comment);
  if (!symbol_text || !comment_text) return -1;
  fact.symbol = *symbol_text;
  fact.comment = *comment_text;
  to.push_back(std::move(fact));
  return 0;
}

bool Writable(const TextBuffer& to) { return to.bytes && to.size >= 1; }

bool Writable(const ImageOrderOut& out) {
  return out.pool && out.ticket && out.open_time && out.type && out.lots && Writable(out.symbol) &&
         out.open_price && out.sl && out.tp && out.close_time && out.close_price && out.magic &&
         out.expiration && Writable(out.comment);
}

void Write(const TextBuffer& to, std::string_view text) {
  WriteUtf8Cut(to.bytes, static_cast<size_t>(to.size), text);
}

}  // namespace

int32_t AccountImage::Begin() {
  facts_.positions.clear();
  facts_.pending_orders.clear();
  orders_.clear();
  return 0;
}

int32_t AccountImage::HistoryBegin() {
  facts_.deals.clear();
  facts_.finished_orders.clear();
  last_.reset();
  return 0;
}

int32_t AccountImage::PositionAdd(Position position, TextIn symbol, TextIn comment) {
  if (!AllFinite({position.volume, position.price_open, position.sl, position.tp})) return -1;
  return AddWithTexts(facts_.positions, std::move(position), symbol, comment);
}

int32_t AccountImage::PendingOrderAdd(PendingOrder order, TextIn symbol, TextIn comment) {
  if (!AllFinite({order.volume, order.price_open, order.sl, order.tp})) return -1;
  return AddWithTexts(facts_.pending_orders, std::move(order), symbol, comment);
}

int32_t AccountImage::DealAdd(Deal deal, TextIn symbol, TextIn comment) {
  if (!AllFinite({deal.volume, deal.price})) return -1;
  last_.reset();
  return AddWithTexts(facts_.deals, std::move(deal), symbol, comment);
}

int32_t AccountImage::FinishedOrderAdd(FinishedOrder order, TextIn symbol, TextIn comment) {
  if (!AllFinite({order.volume_initial, order.price_open, order.sl, order.tp})) return -1;
  last_.reset();
  return AddWithTexts(facts_.finished_orders, std::move(order), symbol, comment);
}

int32_t AccountImage::Build(const HistoryWindow& window) {
  if (window.recent_seconds < 0 || window.max_recent < 0) return -1;
  if (last_ && last_->window == window && last_->positions == facts_.positions &&
      last_->pending_orders == facts_.pending_orders) {
    orders_ = last_->orders;
  } else {
    orders_ = BuildImageOrders(facts_, window);
    last_ = LastBuild{facts_.positions, facts_.pending_orders, window, orders_};
  }
  return static_cast<int32_t>(orders_.size());
}

int32_t AccountImage::OrderGet(int32_t index, const ImageOrderOut& out) const {
  if (index < 0 || static_cast<size_t>(index) >= orders_.size() || !Writable(out)) return 0;
  const ImageOrder& o = orders_[static_cast<size_t>(index)];
  *out.pool = o.pool;
  *out.ticket = o.ticket;
  *out.open_time = o.open_time;
  *out.type = o.type;
  *out.lots = o.lots;
  Write(out.symbol, o.symbol);
  *out.open_price = o.open_price;
  *out.sl = o.sl;
  *out.tp = o.tp;
  *out.close_time = o.close_time;
  *out.close_price = o.close_price;
  *out.magic = o.magic;
  *out.expiration = o.expiration;
  Write(out.comment, o.comment);
  return 1;
}

}  // namespace mt5
