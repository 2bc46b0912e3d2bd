#include "white_space.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TrimWhiteSpace, TrimsTheSixBlanksAtBothEndsAndNothingElse) {
  const struct {
    std::string text, trimmed;
  } cases[] = {
      {"", ""},
      {" \t\r\n\v\f", ""},
      {" \t\r\n\v\fa b\f\v\n\r\t ", "a b"},
      {"C:\\Program Files\\", "C:\\Program Files\\"},
      {"\x01x\x7f", "\x01x\x7f"},               // other control bytes stay
      {"\xc2\xa0x\xc2\xa0", "\xc2\xa0x\xc2\xa0"},  // so does a no-break space
      {std::string("\0x\0", 3), std::string("\0x\0", 3)},
  };
  for (const auto& c : cases) EXPECT_EQ(TrimWhiteSpace(c.text), c.trimmed) << '"' << c.text << '"';
}

}  // namespace
