#include "image_cursor.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

const std::vector<TOrder>* Pool(const TImage& image, int32_t pool) {
  if (pool == kMarketOrders) return &image.market;
  if (pool == kHistoryOrders) return &image.history;
  return nullptr;
}

bool Writable(const TextSlot* slot) { return slot && slot->buffer; }

// Writes the text and its terminator at the start of the slot's buffer, at most
// capacity - 1 characters of it; the rest of the buffer stays as it was.
void WriteText(const TextSlot& slot, const char* text, size_t length, int32_t capacity) {
  size_t n = std::min(length, static_cast<size_t>(capacity - 1));
  std::memcpy(slot.buffer, text, n);
  slot.buffer[n] = '\0';
}

void WriteText(const TextSlot& slot, const std::string& text, int32_t capacity) {
  WriteText(slot, text.data(), text.size(), capacity);
}

template <size_t n>
void WriteText(const TextSlot& slot, const char (&text)[n]) {
  WriteText(slot, text, strnlen(text, n - 1), static_cast<int32_t>(n));
}

}  // namespace

int32_t ImageCursor::ImagesTotal() const { return static_cast<int32_t>(set_.images.size()); }

int32_t ImageCursor::GetCounts(int32_t* master_count, int32_t* slave_count) const {
  if (master_count) *master_count = set_.master_count;
  if (slave_count) *slave_count = set_.slave_count;
  return 1;
}

int32_t ImageCursor::SelectImage(int32_t index) {
  if (index < 0 || index >= ImagesTotal()) return 0;
  image_ = index;
  return 1;
}

int32_t ImageCursor::GetImageInfo(TextSlot* channel_id, TextSlot* login) const {
  const TImage* image = CurrentImage();
  if (!image || !Writable(channel_id) || !Writable(login)) return 0;
  WriteText(*channel_id, image->channel_id, kChannelIdCapacity);
  WriteText(*login, image->login, kLoginCapacity);
  return 1;
}

int32_t ImageCursor::OrdersTotal(int32_t pool) const {
  const TImage* image = CurrentImage();
  const std::vector<TOrder>* orders = image ? Pool(*image, pool) : nullptr;
  return orders ? static_cast<int32_t>(orders->size()) : 0;
}

int32_t ImageCursor::SelectOrder(int32_t index, int32_t pool) {
  const TImage* image = CurrentImage();
  const std::vector<TOrder>* orders = image ? Pool(*image, pool) : nullptr;
  if (!orders || index < 0 || static_cast<size_t>(index) >= orders->size()) return 0;
  order_ = index;
  pool_ = pool;
  return 1;
}

int32_t ImageCursor::GetOrder(const OrderOut& out) const {
  const TImage* image = CurrentImage();
  const std::vector<TOrder>* orders = image ? Pool(*image, pool_) : nullptr;
  if (!orders || order_ < 0 || static_cast<size_t>(order_) >= orders->size()) return 0;
  if (!out.num1 || !out.num2 || !out.type || !out.lots || !Writable(out.symbol) || !out.price6 ||
      !out.price7 || !out.price8 || !out.close_time || !out.close_price || !out.num11 ||
      !out.num12 || !Writable(out.comment))
    return 0;
  const TOrder& o = (*orders)[static_cast<size_t>(order_)];
  *out.num1 = o.num1;
  *out.num2 = o.num2;
  *out.type = o.type;
  *out.lots = o.lots;
  WriteText(*out.symbol, o.symbol);
  *out.price6 = o.price6;
  *out.price7 = o.price7;
  *out.price8 = o.price8;
  *out.close_time = o.close_time;
  *out.close_price = o.close_price;
  *out.num11 = o.num11;
  *out.num12 = o.num12;
  WriteText(*out.comment, o.comment);
  return 1;
}

const TImage* ImageCursor::CurrentImage() const {
  if (image_ < 0 || static_cast<size_t>(image_) >= set_.images.size()) return nullptr;
  return &set_.images[static_cast<size_t>(image_)];
}

