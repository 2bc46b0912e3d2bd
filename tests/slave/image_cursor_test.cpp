#include "image_cursor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "image_set_split.h"
#include "image_text.h"

namespace {

std::string Line(int num1, const std::string& symbol = "EURUSD", const std::string& comment = "c") {
  return std::to_string(num1) + "\t-2\t5\t0.10\t" + symbol +
         "\t1.23450\t1.20000\t1.30000\t77\t1.25000\t11\t12\t" + comment;
}

std::string Lines(int first, int count) {
  std::string text;
  for (int i = 0; i < count; i++) text += (i ? "\n" : "") + Line(first + i);
  return text;
}

// A string-array element as the terminal hands it over: a buffer filled beforehand.
struct Slot {
  explicit Slot(size_t size) : storage(size, '#') { slot = {static_cast<int32_t>(size), storage.data()}; }
  std::string Text() const { return storage.c_str(); }
  std::string storage;
  TextSlot slot;
};

// Everything _order_get can write, preset to values no split produces.
struct OrderRead {
  int32_t num1 = -99, num2 = -99, type = -99, close_time = -99, num11 = -99, num12 = -99;
  double lots = -99, price6 = -99, price7 = -99, price8 = -99, close_price = -99;
  Slot symbol{kSymbolCapacity}, comment{kCommentCapacity};
  OrderOut Out() {
    return {&num1, &num2, &type, &lots, &symbol.slot, &price6, &price7, &price8,
            &close_time, &close_price, &num11, &num12, &comment.slot};
  }
  bool Untouched() const { return num1 == -99 && lots == -99 && symbol.storage[0] == '#'; }
};

class ImageCursorTest : public testing::Test {
 protected:
  void Split(const std::string& text) { split_result_ = SplitImageSet(text, set_); }
  // Two images: "a" with 2 market and 5 history orders, "b" with 1 market and 3 history orders.
  void SplitTwoImages() {
    std::string text;
    AppendImageSetHeader(text, 2, 3);
    Split(text + BuildImageText("a", "1", Lines(100, 2), Lines(110, 5)) +
          BuildImageText("b", "2", Lines(200, 1), Lines(210, 3)));
    ASSERT_EQ(split_result_, 1);
  }
  int32_t ReadNum1() {
    OrderRead r;
    return cursor_.GetOrder(r.Out()) ? r.num1 : 0;
  }
  std::string ChannelId() {
    Slot id(kChannelIdCapacity), login(kLoginCapacity);
    return cursor_.GetImageInfo(&id.slot, &login.slot) ? id.Text() : "<none>";
  }

  ImageSet set_;
  ImageCursor cursor_{set_};
  int split_result_ = -1;
};

TEST_F(ImageCursorTest, BeforeTheFirstSplitNothingCanBeRead) {
  EXPECT_EQ(cursor_.ImagesTotal(), 0);
  int32_t masters = -1, slaves = -1;
  EXPECT_EQ(cursor_.GetCounts(&masters, &slaves), 1);
  EXPECT_EQ(masters, 0);
  EXPECT_EQ(slaves, 0);
  EXPECT_EQ(cursor_.SelectImage(0), 0);
  Slot id(kChannelIdCapacity), login(kLoginCapacity);
  EXPECT_EQ(cursor_.GetImageInfo(&id.slot, &login.slot), 0);
  EXPECT_EQ(id.storage[0], '#');
  EXPECT_EQ(cursor_.OrdersTotal(kMarketOrders), 0);
  EXPECT_EQ(cursor_.SelectOrder(0, kMarketOrders), 0);
  OrderRead r;
  EXPECT_EQ(cursor_.GetOrder(r.Out()), 0);
  EXPECT_TRUE(r.Untouched());
}

TEST_F(ImageCursorTest, SelectionStartsAtTheFirstMarketOrderOfTheFirstImage) {
  SplitTwoImages();
  int32_t masters = 0, slaves = 0;
  cursor_.GetCounts(&masters, &slaves);
  EXPECT_EQ(masters, 2);
  EXPECT_EQ(slaves, 3);
  EXPECT_EQ(cursor_.ImagesTotal(), 2);
  EXPECT_EQ(ChannelId(), "a");
  EXPECT_EQ(ReadNum1(), 100);
}

TEST_F(ImageCursorTest, WritesEveryFieldOfTheSelectedOrder) {
  SplitTwoImages();
  ASSERT_EQ(cursor_.SelectImage(1), 1);
  ASSERT_EQ(cursor_.SelectOrder(2, kHistoryOrders), 1);
  OrderRead r;
  ASSERT_EQ(cursor_.GetOrder(r.Out()), 1);
  EXPECT_EQ(r.num1, 212);
  EXPECT_EQ(r.num2, -2);
  EXPECT_EQ(r.type, 5);
  EXPECT_EQ(r.lots, 0.1);
  EXPECT_EQ(r.symbol.Text(), "EURUSD");
  EXPECT_EQ(r.price6, 1.2345);
  EXPECT_EQ(r.price7, 1.2);
  EXPECT_EQ(r.price8, 1.3);
  EXPECT_EQ(r.close_time, 77);
  EXPECT_EQ(r.close_price, 1.25);
  EXPECT_EQ(r.num11, 11);
  EXPECT_EQ(r.num12, 12);
  EXPECT_EQ(r.comment.Text(), "c");
  // Only the text and its terminator are written; the rest of the buffer stays as it was.
  EXPECT_EQ(r.symbol.storage.substr(6), std::string(1, '\0') + std::string(kSymbolCapacity - 7, '#'));
}

TEST_F(ImageCursorTest, RefusedSelectionsChangeNothing) {
  SplitTwoImages();
  ASSERT_EQ(cursor_.SelectImage(1), 1);
  ASSERT_EQ(cursor_.SelectOrder(1, kHistoryOrders), 1);
  struct Select {
    int32_t index, pool;
  };
  for (Select s : {Select{-1, 0}, Select{1, 0}, Select{3, 1}, Select{0, 2}, Select{0, -1}})
    EXPECT_EQ(cursor_.SelectOrder(s.index, s.pool), 0) << s.index << "/" << s.pool;
  for (int32_t index : {-1, 2, 1 << 30}) EXPECT_EQ(cursor_.SelectImage(index), 0) << index;
  EXPECT_EQ(ChannelId(), "b");
  EXPECT_EQ(ReadNum1(), 211);
  EXPECT_EQ(cursor_.OrdersTotal(2), 0);
  EXPECT_EQ(cursor_.OrdersTotal(-1), 0);
  EXPECT_EQ(cursor_.OrdersTotal(kMarketOrders), 1);
  EXPECT_EQ(cursor_.OrdersTotal(kHistoryOrders), 3);
}

TEST_F(ImageCursorTest, OrderSelectionIsKeptWhenAnotherImageIsSelected) {
  SplitTwoImages();
  ASSERT_EQ(cursor_.SelectOrder(3, kHistoryOrders), 1);  // image "a" has five
  EXPECT_EQ(ReadNum1(), 113);
  ASSERT_EQ(cursor_.SelectImage(1), 1);  // image "b" has three: there is no fourth
  EXPECT_EQ(ReadNum1(), 0);
  ASSERT_EQ(cursor_.SelectImage(0), 1);
  EXPECT_EQ(ReadNum1(), 113);
}

TEST_F(ImageCursorTest, SelectionSurvivesASplitAndFailsWhileItDoesNotFit) {
  SplitTwoImages();
  ASSERT_EQ(cursor_.SelectImage(1), 1);
  ASSERT_EQ(cursor_.SelectOrder(0, kMarketOrders), 1);
  std::string shorter;
  AppendImageSetHeader(shorter, 1, 0);
  Split(shorter + BuildImageText("only", "9", Lines(900, 1), ""));
  EXPECT_EQ(ChannelId(), "<none>");
  EXPECT_EQ(cursor_.OrdersTotal(kMarketOrders), 0);
  EXPECT_EQ(ReadNum1(), 0);
  // The same numbers name the new set's entries once they exist again.
  SplitTwoImages();
  EXPECT_EQ(ChannelId(), "b");
  EXPECT_EQ(ReadNum1(), 200);
  Split(shorter + BuildImageText("only", "9", Lines(900, 1), ""));
  ASSERT_EQ(cursor_.SelectImage(0), 1);
  EXPECT_EQ(ReadNum1(), 900);
}

TEST_F(ImageCursorTest, LongestTextsComeBackWholeAndLongerIdsAreCutToTheBuffer) {
  const std::string id(300, 'i'), login(256, 'l'), symbol(31, 's'), comment(127, 'c');
  std::string text;
  AppendImageSetHeader(text, 1, 0);
  Split(text + BuildImageText(id, login, Line(1, symbol, comment), ""));
  ASSERT_EQ(split_result_, 1);
  // Buffers larger than the capacity show that nothing is written past it.
  Slot id_slot(400), login_slot(400);
  ASSERT_EQ(cursor_.GetImageInfo(&id_slot.slot, &login_slot.slot), 1);
  EXPECT_EQ(id_slot.Text(), std::string(255, 'i'));
  EXPECT_EQ(login_slot.Text(), std::string(255, 'l'));
  EXPECT_EQ(id_slot.storage[256], '#');
  OrderRead r;
  ASSERT_EQ(cursor_.GetOrder(r.Out()), 1);
  EXPECT_EQ(r.symbol.Text(), symbol);
  EXPECT_EQ(r.comment.Text(), comment);
}

TEST_F(ImageCursorTest, MissingPointersOrBuffersMakeReadsFailWithoutWriting) {
  SplitTwoImages();
  Slot id(kChannelIdCapacity);
  TextSlot no_buffer{0, nullptr};
  EXPECT_EQ(cursor_.GetImageInfo(&id.slot, nullptr), 0);
  EXPECT_EQ(cursor_.GetImageInfo(&id.slot, &no_buffer), 0);
  EXPECT_EQ(id.storage[0], '#');
  OrderRead r;
  OrderOut out = r.Out();
  out.comment = &no_buffer;
  EXPECT_EQ(cursor_.GetOrder(out), 0);
  out = r.Out();
  out.price8 = nullptr;
  EXPECT_EQ(cursor_.GetOrder(out), 0);
  EXPECT_TRUE(r.Untouched());
  int32_t masters = -1;
  EXPECT_EQ(cursor_.GetCounts(&masters, nullptr), 1);
  EXPECT_EQ(masters, 2);
}

}  // namespace
