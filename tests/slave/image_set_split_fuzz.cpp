// Any received text: the split must neither crash nor read outside it, every stored text must
// fit the expert's buffer, and a walk over the result must stay inside the model. Byte-buffer
// reads of small sizes must write inside their buffers and give a beginning of the text.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "image_cursor.h"
#include "image_set_split.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// A byte buffer of `size` bytes followed by a canary byte.
struct SmallBuffer {
  explicit SmallBuffer(int32_t size) : size(size) { std::memset(bytes, '#', sizeof bytes); }
  TextBuffer Buffer() { return {bytes, size}; }
  // The read wrote a beginning of `whole` and its zero inside the buffer, and nothing after.
  bool HoldsABeginningOf(const char* whole) const {
    const size_t n = strnlen(bytes, static_cast<size_t>(size));
    return n < static_cast<size_t>(size) && std::strncmp(bytes, whole, n) == 0 &&
           bytes[size] == '#';
  }
  char bytes[9];
  int32_t size;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  ImageSet set;
  int result = SplitImageSet(text, set);
  Check(result == 0 || result == 1);
  if (result == 0) Check(std::strcmp(set.error, "[line.size] 13 items required") == 0);

  ImageCursor cursor(set);
  char id[kChannelIdCapacity], login[kLoginCapacity], symbol[kSymbolCapacity], comment[kCommentCapacity];
  TextSlot id_slot{0, id}, login_slot{0, login}, symbol_slot{0, symbol}, comment_slot{0, comment};
  int32_t n[6];
  double d[5];
  OrderOut out{&n[0], &n[1], &n[2], &d[0], &symbol_slot, &d[1], &d[2], &d[3],
               &n[3], &d[4], &n[4], &n[5], &comment_slot};
  size_t orders = 0;
  for (int32_t i = 0; i < cursor.ImagesTotal(); i++) {
    Check(cursor.SelectImage(i) == 1);
    Check(cursor.GetImageInfo(&id_slot, &login_slot) == 1);
    Check(std::memchr(id, 0, sizeof id) && std::memchr(login, 0, sizeof login));
    SmallBuffer small_id(1 + i % 8), small_login(8 - i % 8);
    Check(cursor.GetImageInfo(small_id.Buffer(), small_login.Buffer()) == 1);
    Check(small_id.HoldsABeginningOf(id) && small_login.HoldsABeginningOf(login));
    for (int32_t pool = 0; pool < 2; pool++) {
      int32_t total = cursor.OrdersTotal(pool);
      for (int32_t k = 0; k < total; k++, orders++) {
        Check(cursor.SelectOrder(k, pool) == 1);
        Check(cursor.GetOrder(out) == 1);
        Check(std::memchr(symbol, 0, sizeof symbol) && std::memchr(comment, 0, sizeof comment));
        SmallBuffer small_symbol(1 + k % 8), small_comment(8 - k % 8);
        OrderBytesOut small{&n[0], &n[1], &n[2], &d[0], small_symbol.Buffer(), &d[1], &d[2],
                            &d[3], &n[3], &d[4], &n[4], &n[5], small_comment.Buffer()};
        Check(cursor.GetOrder(small) == 1);
        Check(small_symbol.HoldsABeginningOf(symbol) && small_comment.HoldsABeginningOf(comment));
      }
      Check(cursor.SelectOrder(total, pool) == 0);
    }
  }
  Check(cursor.SelectImage(cursor.ImagesTotal()) == 0);

  // The same text again gives the same model.
  ImageSet again;
  Check(SplitImageSet(text, again) == result);
  Check(again.images.size() == set.images.size() && again.master_count == set.master_count &&
        again.slave_count == set.slave_count);
  for (const TImage& image : again.images) orders -= image.market.size() + image.history.size();
  Check(orders == 0);
  return 0;
}
