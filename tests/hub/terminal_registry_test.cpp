#include "terminal_registry.h"

#include <gtest/gtest.h>

namespace {

using Order = std::vector<std::pair<char, uint32_t>>;  // kind and window of each entry

// A registry on a hand-driven tick count.
class Registry : public testing::Test {
 protected:
  uint32_t now_ = 1000;
  TerminalRegistry registry_{[this] { return now_; }};

  Order Entries() const {
    Order order;
    for (const TTerminal& t : registry_.Entries()) order.emplace_back(t.kind, t.window);
    return order;
  }
};

TEST_F(Registry, RefusedMarkerAnswersOneAndChangesNothing) {
  EXPECT_EQ(registry_.Marker('m', 7, 1), MarkerOutcome::kAdded);
  now_ += 20000;
  EXPECT_EQ(registry_.Marker('m', 7, 2), MarkerOutcome::kRefused);
  EXPECT_EQ(MarkerAnswer(MarkerOutcome::kRefused), 1);
  ASSERT_EQ(registry_.Entries().size(), 1u);
  EXPECT_EQ(registry_.Entries()[0].instance, 1);
  EXPECT_EQ(registry_.Entries()[0].last_seen, 1000u);  // the refused marker refreshed nothing
  EXPECT_EQ(registry_.ImageOwner(7)->instance, 1);
}

TEST_F(Registry, SameInstanceRefreshesWithoutReordering) {
  registry_.Marker('m', 1, 5);
  registry_.Marker('m', 2, 5);
  now_ = 9000;
  EXPECT_EQ(registry_.Marker('m', 1, 5), MarkerOutcome::kRefreshed);
  EXPECT_EQ(MarkerAnswer(MarkerOutcome::kRefreshed), 0);
  EXPECT_EQ(MarkerAnswer(MarkerOutcome::kAdded), 0);
  EXPECT_EQ(Entries(), (Order{{'m', 1}, {'m', 2}}));
  EXPECT_EQ(registry_.Entries()[0].last_seen, 9000u);
}

TEST_F(Registry, MasterAndSlaveWithTheSameWindowAreSeparate) {
  EXPECT_EQ(registry_.Marker('m', 5, 1), MarkerOutcome::kAdded);
  EXPECT_EQ(registry_.Marker('s', 5, 1), MarkerOutcome::kAdded);
  EXPECT_EQ(registry_.Marker('s', 5, 2), MarkerOutcome::kRefused);
  EXPECT_EQ(registry_.ImageOwner(5)->kind, 'm');
  EXPECT_TRUE(registry_.Detach('m', 5, 1));
  EXPECT_EQ(Entries(), (Order{{'s', 5}}));
  EXPECT_EQ(registry_.ImageOwner(5), nullptr);  // a slave never owns images
}

TEST_F(Registry, DetachNeedsKindWindowAndInstance) {
  registry_.Marker('m', 3, 4);
  registry_.Marker('s', 8, 9);
  EXPECT_FALSE(registry_.Detach('s', 3, 4));
  EXPECT_FALSE(registry_.Detach('m', 3, 5));
  EXPECT_FALSE(registry_.Detach('m', 4, 4));
  EXPECT_FALSE(registry_.Detach('x', 8, 9));
  EXPECT_EQ(registry_.Entries().size(), 2u);
  EXPECT_TRUE(registry_.Detach('s', 8, 9));
  EXPECT_FALSE(registry_.Detach('s', 8, 9));
}

TEST_F(Registry, ReRegistrationAfterDetachOrExpiryGoesToTheTail) {
  registry_.Marker('m', 1, 1);
  registry_.Marker('m', 2, 1);
  registry_.Marker('s', 3, 1);
  registry_.Detach('m', 1, 1);
  EXPECT_EQ(registry_.Marker('m', 1, 2), MarkerOutcome::kAdded);  // another instance now
  EXPECT_EQ(Entries(), (Order{{'m', 2}, {'s', 3}, {'m', 1}}));

  now_ += 20000;
  registry_.Marker('s', 3, 1);
  registry_.Marker('m', 1, 2);
  now_ += 10000;
  EXPECT_EQ(registry_.Expire(), 1);  // master 2 fell silent
  registry_.Marker('m', 2, 7);
  EXPECT_EQ(Entries(), (Order{{'s', 3}, {'m', 1}, {'m', 2}}));
}

TEST_F(Registry, ImageOwnerIsAMasterWithANonZeroInstance) {
  registry_.Marker('m', 1, 0);
  registry_.Marker('s', 2, 1);
  EXPECT_EQ(registry_.ImageOwner(1), nullptr);
  EXPECT_EQ(registry_.ImageOwner(2), nullptr);
  EXPECT_EQ(registry_.ImageOwner(0), nullptr);
  registry_.Marker('m', 0xFFFFFFFFu, -1);
  ASSERT_NE(registry_.ImageOwner(0xFFFFFFFFu), nullptr);
}

TEST_F(Registry, CountsIncludeMastersWithoutImageOrInstance) {
  registry_.Marker('m', 1, 0);
  registry_.Marker('m', 2, 1);
  registry_.Marker('s', 2, 1);
  registry_.Marker('s', 3, 1);
  registry_.Marker('s', 4, 1);
  TerminalCounts counts = registry_.Counts();
  EXPECT_EQ(counts.masters, 2);
  EXPECT_EQ(counts.slaves, 3);
}

struct Expiry {
  uint32_t last_marker;
  uint32_t check;
  bool kept;
};

void PrintTo(const Expiry& e, std::ostream* os) {
  *os << "marker at " << e.last_marker << ", check at " << e.check;
}

class RegistryExpiry : public testing::TestWithParam<Expiry> {};

TEST_P(RegistryExpiry, DropsAnEntryOnceItsMarkerIs30000MsOld) {
  uint32_t now = GetParam().last_marker;
  TerminalRegistry registry([&] { return now; });
  registry.Marker('s', 1, 1);
  now = GetParam().check;
  EXPECT_EQ(registry.Expire(), GetParam().kept ? 0 : 1);
  EXPECT_EQ(registry.Entries().size(), GetParam().kept ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Ages, RegistryExpiry, testing::Values(
    Expiry{1000, 1000, true},
    Expiry{1000, 30999, true},               // 29999 ms
    Expiry{1000, 31000, false},              // exactly 30000 ms
    Expiry{1000, 900000, false},
    Expiry{0xFFFFF000u, 0x0000652Eu, true},  // the tick count wrapped: 29998 ms
    Expiry{0xFFFFF000u, 0x00006530u, false}, // the tick count wrapped: 30000 ms
    Expiry{0xFFFFFFFFu, 29998u, true},       // 29999 ms across the wrap
    Expiry{0xFFFFFFFFu, 29999u, false}));    // 30000 ms across the wrap

TEST(RegistryExpiryWalk, KeepsTheOthersInOrder) {
  uint32_t now = 0;
  TerminalRegistry registry([&] { return now; });
  for (uint32_t w = 1; w <= 5; w++) {
    now = w * 10000;
    registry.Marker(w % 2 ? 'm' : 's', w, 1);
  }
  now = 60000;  // entries 1, 2 and 3 are 30000 ms old or older
  EXPECT_EQ(registry.Expire(), 3);
  ASSERT_EQ(registry.Entries().size(), 2u);
  EXPECT_EQ(registry.Entries()[0].window, 4u);
  EXPECT_EQ(registry.Entries()[1].window, 5u);
}

}  // namespace
