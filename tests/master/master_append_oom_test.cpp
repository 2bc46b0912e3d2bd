// An append that runs out of memory: whichever allocation fails, the image keeps the text and
// checksum it had, so that the expert's next send does not carry a half-written line. Its own
// program: it replaces the global operator new.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "master_image.h"
#include "../support/allocation_failure.h"

namespace {

OrderFields Order(int32_t num1) {
  OrderFields o;
  o.num1 = num1;
  o.lots = 0.1;
  o.symbol = "EURUSD";
  o.price6 = 1.2345;
  o.close_time = 1252972920;
  o.close_price = 1.248;
  o.comment = "a comment long enough to need memory of its own";
  return o;
}

struct AppendCase {
  const char* name;
  int pool;
  int lines_before;  // already in the section appended to
};

class MasterAppendOutOfMemory : public testing::TestWithParam<AppendCase> {};

TEST_P(MasterAppendOutOfMemory, LeavesThePreviousImageIntact) {
  const AppendCase& c = GetParam();
  for (long allowed = 0;; allowed++) {
    ASSERT_LT(allowed, 1000);
    MasterImage image;
    image.Set("qelv_channel_1", "4711");
    image.Append(kHistoryOrders == c.pool ? kMarketOrders : kHistoryOrders, 5, 2, Order(1));
    for (int i = 0; i < c.lines_before; i++) image.Append(c.pool, 5, 2, Order(10 + i));
    const std::string text = image.Text();
    const uint32_t checksum = image.Checksum();

    g_allocations_left = allowed;
    g_failed = false;
    bool threw = false;
    try {
      image.Append(c.pool, 5, 2, Order(99));
    } catch (const std::bad_alloc&) {
      threw = true;
    }
    const bool ran_out = g_failed;
    g_allocations_left = -1;

    if (!ran_out) {
      EXPECT_FALSE(threw);
      EXPECT_NE(image.Text(), text);
      break;
    }
    EXPECT_TRUE(threw) << allowed;
    EXPECT_EQ(image.Text(), text) << allowed;
    EXPECT_EQ(image.Checksum(), checksum) << allowed;
  }
}

INSTANTIATE_TEST_SUITE_P(Sections, MasterAppendOutOfMemory, testing::Values(
    AppendCase{"FirstMarketLine", kMarketOrders, 0},
    AppendCase{"ThirdMarketLine", kMarketOrders, 2},
    AppendCase{"FirstHistoryLine", kHistoryOrders, 0},
    AppendCase{"SecondHistoryLine", kHistoryOrders, 1}),
    [](const testing::TestParamInfo<AppendCase>& info) { return std::string(info.param.name); });

}  // namespace
