#include "master_image.h"

#include "image_checksum.h"
#include "image_text.h"

void MasterImage::Clear() {
  channel_id_.clear();
  login_.clear();
  market_.clear();
  history_.clear();
}

void MasterImage::Set(std::string_view channel_id, std::string_view login) {
  channel_id_ = channel_id;
  login_ = login;
}

void MasterImage::Append(int pool, int price_digits, int lots_digits, OrderFields order) {
  if (pool != kMarketOrders && pool != kHistoryOrders) return;
  if (pool == kMarketOrders) {
    order.close_time = 0;
    order.close_price = 0.0;
  }
  std::string& section = pool == kMarketOrders ? market_ : history_;
  const std::string line = FormatOrderLine(order, price_digits, lots_digits);
  // Room first: running out of memory then leaves the section as it was, not ending in a
  // line feed that the next send would carry as an empty line.
  section.reserve(section.size() + 1 + line.size());
  if (!section.empty()) section += '\n';
  section += line;
}

std::string MasterImage::Text() const {
  return BuildImageText(channel_id_, login_, market_, history_);
}

uint32_t MasterImage::Checksum() const {
  std::string text = Text();
  return image_checksum(text.data(), static_cast<int32_t>(text.size()));
}
