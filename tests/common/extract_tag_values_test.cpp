#include "extract_tag_values.h"

#include <gtest/gtest.h>

namespace {

using Values = std::vector<std::string>;

Values Extract(const char* source, const char* open = "<a>", const char* close = "</a>") {
  Values values{"stale"};
  EXPECT_EQ(ExtractTagValues(source, open, close, values), 0);
  return values;
}

TEST(ExtractTagValues, CollectsTrimmedNonEmptyValuesInOrder) {
  EXPECT_EQ(Extract("<a> one </a>x<a>\t\r\n</a><a>two</a>"), (Values{"one", "two"}));
}

TEST(ExtractTagValues, InnerClosingTagEndsANestedElement) {
  EXPECT_EQ(Extract("<a>out<a>in</a>rest</a>"), (Values{"out<a>in"}));
}

TEST(ExtractTagValues, OpeningTagWithoutClosingTagIsSkipped) {
  EXPECT_EQ(Extract("<a>never closed"), Values{});
  EXPECT_EQ(Extract("<a><a>v</a>"), (Values{"<a>v"}));
}

TEST(ExtractTagValues, SeesNothingBehindAZeroByte) {
  const char text[] = "<a>1</a>\0<a>2</a>";
  EXPECT_EQ(Extract(text), (Values{"1"}));
}

TEST(ExtractTagValues, TagsAreExactAndCaseSensitive) {
  EXPECT_EQ(Extract("<A>1</A><a x='1'>2</a>"), Values{});
}

TEST(ExtractTagValues, MissingTextAnswersOneWithAnEmptyList) {
  Values values{"stale"};
  EXPECT_EQ(ExtractTagValues(nullptr, "<a>", "</a>", values), 1);
  EXPECT_TRUE(values.empty());
  EXPECT_EQ(ExtractTagValues("x", "<a>", nullptr, values), 1);
}

TEST(FirstTagValue, TakesTheFirstNonEmptyValueAndLeavesTheOutputAloneWithoutOne) {
  std::string value = "kept";
  EXPECT_FALSE(FirstTagValue("<b>1</b><a> </a>", "a", value));
  EXPECT_EQ(value, "kept");
  EXPECT_TRUE(FirstTagValue("<a></a><a> x </a><a>y</a>", "a", value));
  EXPECT_EQ(value, "x");
}

}  // namespace
