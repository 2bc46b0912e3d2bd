#include "mt5_position_lots.h"

#include <cmath>
#include <deque>
#include <utility>

namespace mt5 {
namespace {

// What is left of a lot, without the rounding errors of the subtractions that left it.
double Rounded(double volume) { return std::round(volume * 1e8) / 1e8; }

// The deals of one order in a row, as one: their volume, its mean price, the last one's time.
struct Fill {
  const Deal* deal;
  double volume;
  double price;
  int64_t last_time;
};

std::vector<Fill> MergeFills(std::span<const Deal* const> deals) {
  std::vector<Fill> fills;
  for (const Deal* deal : deals) {
    if (!fills.empty() && fills.back().deal->order == deal->order &&
        fills.back().deal->entry == deal->entry) {
      Fill& fill = fills.back();
      const double total = fill.volume + deal->volume;
      if (total > 0) fill.price = (fill.price * fill.volume + deal->price * deal->volume) / total;
      fill.volume = total;
      fill.last_time = deal->time;
      continue;
    }
    fills.push_back({deal, deal->volume, deal->price, deal->time});
  }
  return fills;
}

class LotQueue {
 public:
  void Open(const Fill& fill, double volume) {
    Lot lot;
    lot.ticket = fill.deal->order;
    lot.side = fill.deal->type;
    lot.volume = volume;
    lot.symbol = fill.deal->symbol;
    lot.open_time = fill.deal->time;
    lot.open_price = fill.price;
    lot.magic = fill.deal->magic;
    lot.comment = fill.deal->comment;
    open_.push_back(lot);
  }

  // Closes `volume` from the front; answers what was left over with no lot open to close.
  double Close(const Fill& fill, double volume) {
    while (volume > kVolumeTolerance && !open_.empty()) {
      Lot& front = open_.front();
      if (front.volume <= volume + kVolumeTolerance) {
        volume -= front.volume;
        front.close_time = fill.last_time;
        front.close_price = fill.price;
        closed_.push_back(std::move(front));
        open_.pop_front();
        continue;
      }
      Lot part = front;
      part.volume = volume;
      part.close_time = fill.last_time;
      part.close_price = fill.price;
      part.to_ticket = fill.deal->order;
      closed_.push_back(std::move(part));
      front.volume = Rounded(front.volume - volume);
      front.from_ticket = front.ticket;
      front.ticket = fill.deal->order;
      front.parent = static_cast<int32_t>(closed_.size() - 1);
      volume = 0;
    }
    return volume;
  }

  double OpenVolume() const {
    double volume = 0;
    for (const Lot& lot : open_) volume += lot.volume;
    return volume;
  }

  PositionLots Finish(bool complete) && {
    return {std::move(closed_), std::vector<Lot>(open_.begin(), open_.end()), complete};
  }

 private:
  std::deque<Lot> open_;
  std::vector<Lot> closed_;
};

}  // namespace

PositionLots ReadPositionLots(std::span<const Deal* const> deals) {
  LotQueue lots;
  bool complete = true;
  for (const Fill& fill : MergeFills(deals)) {
    switch (fill.deal->entry) {
      case kEntryIn:
        lots.Open(fill, fill.volume);
        break;
      case kEntryOut:
      case kEntryOutBy:
        if (lots.Close(fill, fill.volume) > kVolumeTolerance) complete = false;
        break;
      case kEntryInOut: {
        const double reversed = lots.OpenVolume();
        if (reversed <= kVolumeTolerance) complete = false;
        lots.Close(fill, reversed);
        const double rest = Rounded(fill.volume - reversed);
        if (rest > kVolumeTolerance) lots.Open(fill, rest);
        break;
      }
    }
  }
  return std::move(lots).Finish(complete);
}

}  // namespace mt5
