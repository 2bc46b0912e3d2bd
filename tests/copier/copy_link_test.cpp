#include "copy_link.h"

#include <gtest/gtest.h>

#include <string>
#include <unordered_set>

namespace {

TEST(CopyMagic, StableValuesThatCopiesAlreadyCarry) {
  // These numbers are in the slaves' accounts: a change of the derivation orphans every copy.
  struct Case {
    const char* login;
    int32_t root;
    int32_t magic;
  };
  const Case cases[] = {
      {"4711", 1001, 544134298}, {"4712", 1001, 536420549}, {"4711", 1002, 767000061},
      {"", 0, 303091727},          {"12345678", 2147483647, 736497731},
  };
  for (const Case& c : cases) EXPECT_EQ(CopyMagic(c.login, c.root), c.magic) << c.login << " #" << c.root;
}

TEST(CopyMagic, PositiveAndApartForManyChains) {
  std::unordered_set<int32_t> seen;
  for (int login = 4711; login < 4721; login++)
    for (int32_t root = 1; root <= 2000; root++) {
      int32_t magic = CopyMagic(std::to_string(login), root);
      EXPECT_GT(magic, 0);
      EXPECT_TRUE(seen.insert(magic).second) << login << " #" << root;
    }
}

TEST(CopyComment, ReadableAndCutToTheTerminalsLength) {
  EXPECT_EQ(CopyComment("4711", 1001), "qelv 4711 #1001");
  EXPECT_EQ(CopyComment("a-very-long-login-text-here", 123456789), "qelv a-very-long-login-text-her");
  EXPECT_EQ(CopyComment("ab\xC3\xA9", 1234567890), "qelv ab\xC3\xA9 #1234567890");
  // A two-byte character across the 31st byte goes whole, a character that fits stays.
  EXPECT_EQ(CopyComment("abcdefghijklmnopqrstuvwxy\xC3\xA9", 1), "qelv abcdefghijklmnopqrstuvwxy");
  EXPECT_EQ(CopyComment("abcdefghijklmnopqrstuvwx\xC3\xA9", 1), "qelv abcdefghijklmnopqrstuvwx\xC3\xA9");
}

TEST(PartialCloseLinks, TicketsTheTerminalsCommentsName) {
  struct Case {
    const char* comment;
    int32_t from;
    int32_t to;
  };
  const Case cases[] = {
      {"from #1001", 1001, 0}, {"to #1002", 0, 1002},   {"from #1001 x", 1001, 0},
      {"from #", 0, 0},        {"from #-5", 0, 0},       {"From #1001", 0, 0},
      {" from #1001", 0, 0},   {"from #0", 0, 0},        {"from #99999999999", 0, 0},
      {"", 0, 0},              {"qelv 4711 #1001", 0, 0}, {"to #x", 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FromTicket(c.comment), c.from) << c.comment;
    EXPECT_EQ(ToTicket(c.comment), c.to) << c.comment;
  }
}

}  // namespace
