#include "image_cursor.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "utf8_cut.h"

namespace {

static_assert(sizeof(TOrder::symbol) == kSymbolCapacity &&
                  sizeof(TOrder::comment) == kCommentCapacity,
              "stored texts fit the expert's buffers");

const std::vector<TOrder>* Pool(const TImage& image, int32_t pool) {
  if (pool == kMarketOrders) return &image.market;
  if (pool == kHistoryOrders) return &image.history;
  return nullptr;
}

// How many bytes of a text fit in `room` bytes.
using CutRule = size_t (*)(std::string_view text, size_t room);

// The terminal's string elements hold single-byte texts, which can be cut anywhere.
size_t CutAnywhere(std::string_view text, size_t room) { return std::min(text.size(), room); }

// A string element, with the capacity the expert is required to give it.
TextBuffer BufferOf(const TextSlot* slot, int32_t capacity) {
  return {slot ? slot->buffer : nullptr, capacity};
}

OrderBytesOut BuffersOf(const OrderOut& out) {
  return {out.num1, out.num2, out.type, out.lots, BufferOf(out.symbol, kSymbolCapacity),
          out.price6, out.price7, out.price8, out.close_time, out.close_price, out.num11,
          out.num12, BufferOf(out.comment, kCommentCapacity)};
}

bool Writable(const TextBuffer& to) { return to.bytes && to.size >= 1; }

bool Writable(const OrderBytesOut& out) {
  return out.num1 && out.num2 && out.type && out.lots && Writable(out.symbol) && out.price6 &&
         out.price7 && out.price8 && out.close_time && out.close_price && out.num11 &&
         out.num12 && Writable(out.comment);
}

// Writes as much of the text as the cut rule lets fit and its terminator at the start of the
// buffer; the rest of the buffer stays as it was.
void WriteText(const TextBuffer& to, std::string_view text, CutRule cut) {
  const size_t n = cut(text, static_cast<size_t>(to.size) - 1);
  std::memcpy(to.bytes, text.data(), n);
  to.bytes[n] = '\0';
}

template <size_t n>
std::string_view Stored(const char (&text)[n]) {
  return {text, strnlen(text, n - 1)};
}

int32_t CopyImageInfo(const TImage* image, const TextBuffer& channel_id, const TextBuffer& login,
                      CutRule cut) {
  if (!image || !Writable(channel_id) || !Writable(login)) return 0;
  WriteText(channel_id, image->channel_id, cut);
  WriteText(login, image->login, cut);
  return 1;
}

int32_t CopyOrder(const TOrder* order, const OrderBytesOut& out, CutRule cut) {
  if (!order || !Writable(out)) return 0;
  const TOrder& o = *order;
  *out.num1 = o.num1;
  *out.num2 = o.num2;
  *out.type = o.type;
  *out.lots = o.lots;
  WriteText(out.symbol, Stored(o.symbol), cut);
  *out.price6 = o.price6;
  *out.price7 = o.price7;
  *out.price8 = o.price8;
  *out.close_time = o.close_time;
  *out.close_price = o.close_price;
  *out.num11 = o.num11;
  *out.num12 = o.num12;
  WriteText(out.comment, Stored(o.comment), cut);
  return 1;
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
  return CopyImageInfo(CurrentImage(), BufferOf(channel_id, kChannelIdCapacity),
                       BufferOf(login, kLoginCapacity), CutAnywhere);
}

int32_t ImageCursor::GetImageInfo(const TextBuffer& channel_id, const TextBuffer& login) const {
  return CopyImageInfo(CurrentImage(), channel_id, login, Utf8CutLength);
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
  return CopyOrder(CurrentOrder(), BuffersOf(out), CutAnywhere);
}

int32_t ImageCursor::GetOrder(const OrderBytesOut& out) const {
  return CopyOrder(CurrentOrder(), out, Utf8CutLength);
}

const TImage* ImageCursor::CurrentImage() const {
  if (image_ < 0 || static_cast<size_t>(image_) >= set_.images.size()) return nullptr;
  return &set_.images[static_cast<size_t>(image_)];
}

const TOrder* ImageCursor::CurrentOrder() const {
  const TImage* image = CurrentImage();
  const std::vector<TOrder>* orders = image ? Pool(*image, pool_) : nullptr;
  if (!orders || order_ < 0 || static_cast<size_t>(order_) >= orders->size()) return nullptr;
  return &(*orders)[static_cast<size_t>(order_)];
}
