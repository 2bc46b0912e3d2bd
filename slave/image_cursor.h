// The expert's walk over the split image set: select an image, then an order within one of its
// pools, and read what is selected. Every read checks the selection against the set of that
// moment and answers 0 instead of reading outside it; a split leaves the selection as it was.
// A missing out-pointer or a string element without a buffer (an expert that forgot to fill
// its array) also makes a read answer 0 and write nothing, rather than crash the terminal.
//
// Texts go out in two ways: into the terminal's string elements, of the sizes the expert is
// required to give them (text_slot.h), cut anywhere; or into byte buffers of the sizes the
// caller names, cut between UTF-8 characters (terminals whose strings are UTF-16 pass texts
// as byte arrays).
#pragma once
#include <cstdint>

#include "image_set_model.h"
#include "order_pool.h"
#include "text_slot.h"
#include "utf8_cut.h"

// Where the thirteen fields of an order are written; `Text` is how a text goes out.
template <typename Text>
struct BasicOrderOut {
  int32_t* num1;
  int32_t* num2;
  int32_t* type;
  double* lots;
  Text symbol;
  double* price6;
  double* price7;
  double* price8;
  int32_t* close_time;
  double* close_price;
  int32_t* num11;
  int32_t* num12;
  Text comment;
};
using OrderOut = BasicOrderOut<TextSlot*>;         // _order_get
using OrderBytesOut = BasicOrderOut<TextBuffer>;   // _order_get_a

class ImageCursor {
 public:
  explicit ImageCursor(const ImageSet& set) : set_(set) {}

  int32_t ImagesTotal() const;
  // Always 1; a missing pointer is skipped.
  int32_t GetCounts(int32_t* master_count, int32_t* slave_count) const;
  int32_t SelectImage(int32_t index);
  // Channel id and login are cut to 255 characters, the expert's 256-byte buffers.
  int32_t GetImageInfo(TextSlot* channel_id, TextSlot* login) const;
  // A buffer of size below 1 makes the read answer 0.
  int32_t GetImageInfo(const TextBuffer& channel_id, const TextBuffer& login) const;
  int32_t OrdersTotal(int32_t pool) const;
  int32_t SelectOrder(int32_t index, int32_t pool);
  int32_t GetOrder(const OrderOut& out) const;
  int32_t GetOrder(const OrderBytesOut& out) const;

 private:
  const TImage* CurrentImage() const;
  const TOrder* CurrentOrder() const;

  const ImageSet& set_;
  int32_t image_ = 0;
  int32_t pool_ = kMarketOrders;
  int32_t order_ = 0;
};
