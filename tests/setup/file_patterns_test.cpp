#include "file_patterns.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::string>;

TEST(SplitPatterns, KeepsOrderTrimsAndKeepsEmptyPatterns) {
  const struct {
    const char* list;
    Names patterns;
  } cases[] = {
      {"*.exe|*.xml", {"*.exe", "*.xml"}},
      {" e-*.mq4 |\te-*.ex4\r\n", {"e-*.mq4", "e-*.ex4"}},
      {"*.dll", {"*.dll"}},
      {"", {""}},
      {"*.txt|", {"*.txt", ""}},
      {"|", {"", ""}},
      {"a|| b ", {"a", "", "b"}},
  };
  for (const auto& c : cases) {
    Names patterns{"stale"};
    SplitPatterns(c.list, patterns);
    EXPECT_EQ(patterns, c.patterns) << c.list;
  }
}

TEST(SortFileNames, DescendingIgnoringCase) {
  const struct {
    Names names, sorted;
  } cases[] = {
      {{"A.dll", "b.dll"}, {"b.dll", "A.dll"}},
      {{"e-a.mq4", "e-b.mq4", "E-C.MQ4"}, {"E-C.MQ4", "e-b.mq4", "e-a.mq4"}},
      {{"s-x.mq4"}, {"s-x.mq4"}},
      {{}, {}},
      {{"a", "ab", "a.b"}, {"ab", "a.b", "a"}},  // a longer name after an equal start sorts higher
      {{"q.dll", "Q_x.dll", "q.dll"}, {"Q_x.dll", "q.dll", "q.dll"}},
      // Names equal but for case keep their order among themselves unless a higher name's
      // exchange carries one past the other.
      {{"q.dll", "Q.dll", "a.dll"}, {"q.dll", "Q.dll", "a.dll"}},
      {{"q.dll", "a.dll", "Q.dll", "z.dll"}, {"z.dll", "Q.dll", "q.dll", "a.dll"}},
      {{"Z.txt", "a.txt", "M.txt", "b.txt"}, {"Z.txt", "M.txt", "b.txt", "a.txt"}},
  };
  for (const auto& c : cases) {
    Names names = c.names;
    SortFileNames(names);
    EXPECT_EQ(names, c.sorted);
  }
}

TEST(JoinFileNames, SeparatesWithCommaAndBlank) {
  EXPECT_EQ(JoinFileNames({}), "");
  EXPECT_EQ(JoinFileNames({"Varnick.exe"}), "Varnick.exe");
  EXPECT_EQ(JoinFileNames({"e-b.mq4", "e-a.mq4", "q.dll"}), "e-b.mq4, e-a.mq4, q.dll");
}

}  // namespace
