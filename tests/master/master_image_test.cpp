#include "master_image.h"

#include <gtest/gtest.h>

#include "image_checksum.h"

namespace {

const char kEmptyImage[] =
    "<image>\n<channel_id></channel_id>\n<login></login>\n<market>\n</market>\n"
    "<history>\n</history>\n</image>\n";

OrderFields Order(int num1, const char* symbol) {
  OrderFields o;
  o.num1 = num1;
  o.lots = 1;
  o.symbol = symbol;
  o.price6 = 1.5;
  o.close_time = 99;
  o.close_price = 2.5;
  o.comment = "c";
  return o;
}

TEST(MasterImage, EmptyImageIs99BytesWithTheKnownChecksum) {
  MasterImage image;
  EXPECT_EQ(image.Text(), kEmptyImage);
  EXPECT_EQ(image.Text().size(), 99u);
  EXPECT_EQ(image.Checksum(), 0x1538F8C8u);
}

TEST(MasterImage, JoinsLinesWithSingleLineFeedsAndNoneAfterTheLast) {
  MasterImage image;
  image.Set("chan", "4711");
  image.Append(kMarketOrders, 1, 0, Order(1, "A"));
  image.Append(kMarketOrders, 1, 0, Order(2, "B"));
  image.Append(kHistoryOrders, 1, 0, Order(3, "C"));
  EXPECT_EQ(image.Text(),
            "<image>\n<channel_id>chan</channel_id>\n<login>4711</login>\n<market>\n"
            "1\t0\t0\t1\tA\t1.5\t0.0\t0.0\t0\t0.0\t0\t0\tc\n"
            "2\t0\t0\t1\tB\t1.5\t0.0\t0.0\t0\t0.0\t0\t0\tc</market>\n<history>\n"
            "3\t0\t0\t1\tC\t1.5\t0.0\t0.0\t99\t2.5\t0\t0\tc</history>\n</image>\n");
}

TEST(MasterImage, MarketLinesCarryZeroCloseTimeAndPrice) {
  MasterImage image;
  image.Append(kMarketOrders, 5, 2, Order(1, "EURUSD"));
  EXPECT_NE(image.Text().find("\t0\t0.00000\t"), std::string::npos);
}

TEST(MasterImage, PoolOutsideZeroAndOneChangesNothing) {
  MasterImage image;
  image.Append(2, 5, 2, Order(1, "X"));
  image.Append(-1, 5, 2, Order(1, "X"));
  EXPECT_EQ(image.Text(), kEmptyImage);
}

TEST(MasterImage, ClearEmptiesEverythingAndSetKeepsTheLines) {
  MasterImage image;
  image.Set("chan", "login");
  image.Append(kHistoryOrders, 5, 2, Order(1, "X"));
  image.Set("other", "me");
  EXPECT_NE(image.Text().find("<history>\n1\t"), std::string::npos);
  EXPECT_NE(image.Text().find("<channel_id>other</channel_id>"), std::string::npos);
  image.Clear();
  EXPECT_EQ(image.Text(), kEmptyImage);
}

TEST(MasterImage, ChecksumIsOverExactlyTheText) {
  MasterImage image;
  image.Set("c", "l");
  image.Append(kMarketOrders, 5, 2, Order(7, "GBPUSD"));
  std::string text = image.Text();
  EXPECT_EQ(image.Checksum(), image_checksum(text.data(), static_cast<int32_t>(text.size())));
}

}  // namespace
