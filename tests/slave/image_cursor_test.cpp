#include "image_cursor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
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
  const std::string id(300, 'i'), login(kLoginCapacity, 'l');
  const std::string symbol(kSymbolCapacity - 1, 's'), comment(kCommentCapacity - 1, 'c');
  std::string text;
  AppendImageSetHeader(text, 1, 0);
  Split(text + BuildImageText(id, login, Line(1, symbol, comment), ""));
  ASSERT_EQ(split_result_, 1);
  // Buffers larger than the capacity show that nothing is written past it.
  Slot id_slot(400), login_slot(400);
  ASSERT_EQ(cursor_.GetImageInfo(&id_slot.slot, &login_slot.slot), 1);
  EXPECT_EQ(id_slot.Text(), std::string(kChannelIdCapacity - 1, 'i'));
  EXPECT_EQ(login_slot.Text(), std::string(kLoginCapacity - 1, 'l'));
  EXPECT_EQ(id_slot.storage[kChannelIdCapacity], '#');
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

// --- the byte-buffer reads (texts as UTF-8 byte arrays with their sizes) ---

// A caller's byte buffer of `size` bytes inside storage that reaches `margin` bytes further,
// all filled beforehand.
struct Bytes {
  explicit Bytes(int32_t size, size_t margin = 0)
      : size(size), storage(static_cast<size_t>(std::max(size, 0)) + margin, '#') {}
  TextBuffer Buffer() { return {storage.data(), size}; }
  std::string Text() const { return storage.c_str(); }
  int32_t size;
  std::string storage;
};

// Everything _order_get_a can write, preset to values no split produces.
struct OrderBytesRead {
  int32_t num1 = -99, num2 = -99, type = -99, close_time = -99, num11 = -99, num12 = -99;
  double lots = -99, price6 = -99, price7 = -99, price8 = -99, close_price = -99;
  Bytes symbol{kSymbolCapacity}, comment{kCommentCapacity};
  OrderBytesOut Out() {
    return {&num1, &num2, &type, &lots, symbol.Buffer(), &price6, &price7, &price8,
            &close_time, &close_price, &num11, &num12, comment.Buffer()};
  }
  bool Untouched() const {
    for (int32_t n : {num1, num2, type, close_time, num11, num12})
      if (n != -99) return false;
    for (double d : {lots, price6, price7, price8, close_price})
      if (d != -99) return false;
    return symbol.storage == std::string(symbol.storage.size(), '#') &&
           comment.storage == std::string(comment.storage.size(), '#');
  }
};

TEST_F(ImageCursorTest, ByteReadsGiveWhatTheStringElementReadsGive) {
  std::string text;
  AppendImageSetHeader(text, 2, 1);
  Split(text +
        BuildImageText("Zürich", "4711", Line(1, "EURUSD", "Gewinn €") + "\n" + Line(2, "DAX40"),
                       Line(3)) +
        BuildImageText("b", "2", Line(4, "XAUUSD", std::string(127, 'c')), ""));
  ASSERT_EQ(split_result_, 1);
  for (int32_t image = 0; image < cursor_.ImagesTotal(); image++) {
    ASSERT_EQ(cursor_.SelectImage(image), 1);
    Slot id(kChannelIdCapacity), login(kLoginCapacity);
    Bytes id_bytes(kChannelIdCapacity), login_bytes(kLoginCapacity);
    ASSERT_EQ(cursor_.GetImageInfo(&id.slot, &login.slot), 1);
    ASSERT_EQ(cursor_.GetImageInfo(id_bytes.Buffer(), login_bytes.Buffer()), 1);
    EXPECT_EQ(id_bytes.Text(), id.Text());
    EXPECT_EQ(login_bytes.Text(), login.Text());
    for (int32_t pool : {kMarketOrders, kHistoryOrders}) {
      for (int32_t index = 0; index < cursor_.OrdersTotal(pool); index++) {
        ASSERT_EQ(cursor_.SelectOrder(index, pool), 1);
        OrderRead r;
        OrderBytesRead b;
        ASSERT_EQ(cursor_.GetOrder(r.Out()), 1);
        ASSERT_EQ(cursor_.GetOrder(b.Out()), 1);
        EXPECT_EQ(b.num1, r.num1);
        EXPECT_EQ(b.num2, r.num2);
        EXPECT_EQ(b.type, r.type);
        EXPECT_EQ(b.lots, r.lots);
        EXPECT_EQ(b.symbol.Text(), r.symbol.Text());
        EXPECT_EQ(b.price6, r.price6);
        EXPECT_EQ(b.price7, r.price7);
        EXPECT_EQ(b.price8, r.price8);
        EXPECT_EQ(b.close_time, r.close_time);
        EXPECT_EQ(b.close_price, r.close_price);
        EXPECT_EQ(b.num11, r.num11);
        EXPECT_EQ(b.num12, r.num12);
        EXPECT_EQ(b.comment.Text(), r.comment.Text());
      }
    }
  }
  ASSERT_EQ(cursor_.SelectImage(0), 1);
  ASSERT_EQ(cursor_.SelectOrder(0, kMarketOrders), 1);
  OrderBytesRead b;
  ASSERT_EQ(cursor_.GetOrder(b.Out()), 1);
  EXPECT_EQ(b.comment.Text(), "Gewinn €");
}

TEST_F(ImageCursorTest, StringElementsAreCutAnywhereAndByteBuffersBetweenCharacters) {
  // 254 bytes and a two-byte character: the 256-byte buffers keep 255 bytes.
  const std::string id = std::string(kChannelIdCapacity - 2, 'i') + "é";
  std::string text;
  AppendImageSetHeader(text, 1, 0);
  Split(text + BuildImageText(id, "1", Line(1), ""));
  ASSERT_EQ(split_result_, 1);
  Slot id_slot(kChannelIdCapacity), login_slot(kLoginCapacity);
  Bytes id_bytes(kChannelIdCapacity), login_bytes(kLoginCapacity);
  ASSERT_EQ(cursor_.GetImageInfo(&id_slot.slot, &login_slot.slot), 1);
  ASSERT_EQ(cursor_.GetImageInfo(id_bytes.Buffer(), login_bytes.Buffer()), 1);
  EXPECT_EQ(id_slot.Text(), id.substr(0, kChannelIdCapacity - 1));  // as it always was
  EXPECT_EQ(id_bytes.Text(), std::string(kChannelIdCapacity - 2, 'i'));
}

// One text written into a byte buffer of `size` bytes.
struct ByteCut {
  const char* name;
  std::string stored;
  int32_t size;
  std::string written;
};

const ByteCut kByteCuts[] = {
    {"Whole", "Gewinn €", 32, "Gewinn €"},
    {"SizeOneWritesOnlyTheZero", "Gewinn €", 1, ""},
    {"ExactFitOfTheLastCharacter", "Gewinn €", 11, "Gewinn €"},
    {"OneShortInsideTheEuro", "Gewinn €", 10, "Gewinn "},
    {"InsideTheEuroAfterItsLead", "Gewinn €", 9, "Gewinn "},
    {"BeforeTheEuro", "Gewinn €", 8, "Gewinn "},
    {"InsideATwoByteCharacter", "Grüße", 4, "Gr"},
    {"InsideAFourByteCharacter", "ok 😀 fine", 6, "ok "},
    {"AfterAFourByteCharacter", "ok 😀 fine", 8, "ok 😀"},
    {"NotUtf8PassesThrough", "caf\xE9 ok", 8, "caf\xE9 ok"},
    {"NotUtf8CutOneByOne", "caf\xFF ok", 5, "caf\xFF"},
};

void PrintTo(const ByteCut& cut, std::ostream* os) { *os << cut.name; }

class CursorByteCut : public ImageCursorTest, public testing::WithParamInterface<ByteCut> {};

TEST_P(CursorByteCut, WritesWholeCharactersAndTheZeroAndNothingAfter) {
  const ByteCut& c = GetParam();
  std::string text;
  AppendImageSetHeader(text, 1, 0);
  Split(text + BuildImageText(c.stored, c.stored, Line(1, c.stored, c.stored), ""));
  ASSERT_EQ(split_result_, 1);
  const size_t margin = 8;
  Bytes id(c.size, margin), login(c.size, margin);
  ASSERT_EQ(cursor_.GetImageInfo(id.Buffer(), login.Buffer()), 1);
  OrderBytesRead r;
  r.symbol = Bytes(c.size, margin);
  r.comment = Bytes(c.size, margin);
  ASSERT_EQ(cursor_.GetOrder(r.Out()), 1);
  for (const Bytes* b : {&id, &login, &r.symbol, &r.comment}) {
    const std::string expected = c.written + '\0';
    EXPECT_EQ(b->storage.substr(0, expected.size()), expected);
    EXPECT_EQ(b->storage.substr(expected.size()), std::string(b->storage.size() - expected.size(), '#'));
  }
}

INSTANTIATE_TEST_SUITE_P(Cuts, CursorByteCut, testing::ValuesIn(kByteCuts),
                         [](const testing::TestParamInfo<ByteCut>& info) { return info.param.name; });

// The split keeps 31 bytes of a symbol and 127 of a comment, wherever they fall; a byte read
// that has room for them all still ends before the character the split cut in two.
TEST_F(ImageCursorTest, ByteReadsDropACharacterTheSplitCutInTwo) {
  std::string text;
  AppendImageSetHeader(text, 1, 0);
  const std::string symbol = std::string(29, 'S') + "\xE2\x82\xAC";
  const std::string comment = std::string(126, 'x') + "\xE2\x82\xAC";
  Split(text + BuildImageText("c", "1", Line(1, symbol, comment), ""));
  ASSERT_EQ(split_result_, 1);
  OrderBytesRead r;
  ASSERT_EQ(cursor_.GetOrder(r.Out()), 1);
  EXPECT_EQ(r.symbol.storage.substr(0, 30), std::string(29, 'S') + '\0');
  EXPECT_EQ(r.comment.storage.substr(0, 127), std::string(126, 'x') + '\0');
}

// A way to make the byte reads fail: a selection outside the set, a missing pointer or a size
// below 1. Each row says which of the two reads it refuses; a refused read writes nothing.
enum Selection { kOrderOfImageA, kOrderOutsideItsPool, kImageOutsideTheSet };
struct ByteReads {
  OrderBytesOut out;
  TextBuffer id, login;
};
using Spoil = void (*)(ByteReads& reads);
struct Refusal {
  const char* name;
  Selection selection;
  Spoil spoil;
  bool refuses_order, refuses_image;
};

void KeepAll(ByteReads&) {}

const Refusal kRefusals[] = {
    {"OrderOutsideItsPool", kOrderOutsideItsPool, KeepAll, true, false},
    {"ImageOutsideTheSet", kImageOutsideTheSet, KeepAll, true, true},
    {"NullNum1", kOrderOfImageA, [](ByteReads& r) { r.out.num1 = nullptr; }, true, false},
    {"NullNum2", kOrderOfImageA, [](ByteReads& r) { r.out.num2 = nullptr; }, true, false},
    {"NullType", kOrderOfImageA, [](ByteReads& r) { r.out.type = nullptr; }, true, false},
    {"NullLots", kOrderOfImageA, [](ByteReads& r) { r.out.lots = nullptr; }, true, false},
    {"NullSymbol", kOrderOfImageA, [](ByteReads& r) { r.out.symbol.bytes = nullptr; }, true, false},
    {"NullPrice6", kOrderOfImageA, [](ByteReads& r) { r.out.price6 = nullptr; }, true, false},
    {"NullPrice7", kOrderOfImageA, [](ByteReads& r) { r.out.price7 = nullptr; }, true, false},
    {"NullPrice8", kOrderOfImageA, [](ByteReads& r) { r.out.price8 = nullptr; }, true, false},
    {"NullCloseTime", kOrderOfImageA, [](ByteReads& r) { r.out.close_time = nullptr; }, true, false},
    {"NullClosePrice", kOrderOfImageA, [](ByteReads& r) { r.out.close_price = nullptr; }, true, false},
    {"NullNum11", kOrderOfImageA, [](ByteReads& r) { r.out.num11 = nullptr; }, true, false},
    {"NullNum12", kOrderOfImageA, [](ByteReads& r) { r.out.num12 = nullptr; }, true, false},
    {"NullComment", kOrderOfImageA, [](ByteReads& r) { r.out.comment.bytes = nullptr; }, true, false},
    {"SymbolSizeZero", kOrderOfImageA, [](ByteReads& r) { r.out.symbol.size = 0; }, true, false},
    {"SymbolSizeNegative", kOrderOfImageA, [](ByteReads& r) { r.out.symbol.size = -1; }, true, false},
    {"CommentSizeZero", kOrderOfImageA, [](ByteReads& r) { r.out.comment.size = 0; }, true, false},
    {"CommentSizeLowest", kOrderOfImageA, [](ByteReads& r) { r.out.comment.size = INT32_MIN; }, true, false},
    {"NullChannelId", kOrderOfImageA, [](ByteReads& r) { r.id.bytes = nullptr; }, false, true},
    {"NullLogin", kOrderOfImageA, [](ByteReads& r) { r.login.bytes = nullptr; }, false, true},
    {"ChannelIdSizeZero", kOrderOfImageA, [](ByteReads& r) { r.id.size = 0; }, false, true},
    {"ChannelIdSizeNegative", kOrderOfImageA, [](ByteReads& r) { r.id.size = -256; }, false, true},
    {"LoginSizeZero", kOrderOfImageA, [](ByteReads& r) { r.login.size = 0; }, false, true},
    {"LoginSizeNegative", kOrderOfImageA, [](ByteReads& r) { r.login.size = -1; }, false, true},
};

void PrintTo(const Refusal& refusal, std::ostream* os) { *os << refusal.name; }

class CursorByteRefusal : public ImageCursorTest, public testing::WithParamInterface<Refusal> {
 protected:
  void Select(Selection selection) {
    SplitTwoImages();
    if (selection == kOrderOutsideItsPool) {
      ASSERT_EQ(cursor_.SelectOrder(4, kHistoryOrders), 1);  // image "a" has five
      ASSERT_EQ(cursor_.SelectImage(1), 1);                  // image "b" has three
    }
    if (selection == kImageOutsideTheSet) {
      ASSERT_EQ(cursor_.SelectImage(1), 1);
      std::string shorter;
      AppendImageSetHeader(shorter, 1, 0);
      Split(shorter + BuildImageText("only", "9", Lines(900, 1), ""));
    }
  }
};

TEST_P(CursorByteRefusal, AnswersZeroAndWritesNothing) {
  const Refusal& r = GetParam();
  Select(r.selection);
  OrderBytesRead order;
  Bytes id_bytes(kChannelIdCapacity), login_bytes(kLoginCapacity);
  ByteReads reads{order.Out(), id_bytes.Buffer(), login_bytes.Buffer()};
  r.spoil(reads);
  if (r.refuses_order) {
    EXPECT_EQ(cursor_.GetOrder(reads.out), 0);
    EXPECT_TRUE(order.Untouched());
  }
  if (r.refuses_image) {
    EXPECT_EQ(cursor_.GetImageInfo(reads.id, reads.login), 0);
    EXPECT_EQ(id_bytes.storage, std::string(kChannelIdCapacity, '#'));
    EXPECT_EQ(login_bytes.storage, std::string(kLoginCapacity, '#'));
  }
}

INSTANTIATE_TEST_SUITE_P(Refusals, CursorByteRefusal, testing::ValuesIn(kRefusals),
                         [](const testing::TestParamInfo<Refusal>& info) { return info.param.name; });

TEST_F(ImageCursorTest, BeforeTheFirstSplitByteReadsAnswerZeroAndWriteNothing) {
  OrderBytesRead r;
  Bytes id(kChannelIdCapacity), login(kLoginCapacity);
  EXPECT_EQ(cursor_.GetOrder(r.Out()), 0);
  EXPECT_EQ(cursor_.GetImageInfo(id.Buffer(), login.Buffer()), 0);
  EXPECT_TRUE(r.Untouched());
  EXPECT_EQ(id.storage, std::string(kChannelIdCapacity, '#'));
}

}  // namespace
