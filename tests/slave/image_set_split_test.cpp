#include "image_set_split.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "image_text.h"
#include "master_image.h"

namespace {

constexpr char kLineSizeError[] = "[line.size] 13 items required";

// A line of 13 fields whose first field tells the lines apart.
std::string Line(int num1, const std::string& symbol = "EURUSD",
                 const std::string& comment = "c") {
  return std::to_string(num1) + "\t2\t0\t0.10\t" + symbol +
         "\t1.23450\t1.20000\t1.30000\t0\t0.00000\t11\t12\t" + comment;
}

std::string Header(int masters, int slaves) {
  std::string text;
  AppendImageSetHeader(text, masters, slaves);
  return text;
}

std::string Image(const std::string& market, const std::string& history = "",
                  const std::string& channel_id = "room", const std::string& login = "4711") {
  return BuildImageText(channel_id, login, market, history);
}

struct Split {
  int result;
  ImageSet set;
};

Split SplitText(const std::string& text) {
  Split s;
  s.result = SplitImageSet(text, s.set);
  return s;
}

TEST(ImageSetSplit, EmptyTextGivesAnEmptyModel) {
  Split s = SplitText("");
  EXPECT_EQ(s.result, 1);
  EXPECT_EQ(s.set.master_count, 0);
  EXPECT_EQ(s.set.slave_count, 0);
  EXPECT_TRUE(s.set.images.empty());
}

TEST(ImageSetSplit, HeaderAloneGivesCountsAndNoImages) {
  Split s = SplitText(Header(2, 3));
  EXPECT_EQ(s.result, 1);
  EXPECT_EQ(s.set.master_count, 2);
  EXPECT_EQ(s.set.slave_count, 3);
  EXPECT_TRUE(s.set.images.empty());
}

TEST(ImageSetSplit, ImageWithoutOrdersKeepsChannelIdAndLoginVerbatim) {
  Split s = SplitText(Header(1, 0) + Image("", "", "  room 1 ", " 4711\r"));
  ASSERT_EQ(s.result, 1);
  ASSERT_EQ(s.set.images.size(), 1u);
  EXPECT_EQ(s.set.images[0].channel_id, "  room 1 ");
  EXPECT_EQ(s.set.images[0].login, " 4711\r");
  EXPECT_TRUE(s.set.images[0].market.empty());
  EXPECT_TRUE(s.set.images[0].history.empty());
}

TEST(ImageSetSplit, ReadsEveryImageOnceInTextOrder) {
  Split s = SplitText(Header(2, 1) + Image(Line(1), "", "a") + Image(Line(2) + "\n" + Line(3), Line(4), "b"));
  ASSERT_EQ(s.result, 1);
  ASSERT_EQ(s.set.images.size(), 2u);
  EXPECT_EQ(s.set.images[0].channel_id, "a");
  ASSERT_EQ(s.set.images[0].market.size(), 1u);
  EXPECT_EQ(s.set.images[0].market[0].num1, 1);
  EXPECT_EQ(s.set.images[1].channel_id, "b");
  ASSERT_EQ(s.set.images[1].market.size(), 2u);
  EXPECT_EQ(s.set.images[1].market[1].num1, 3);
  ASSERT_EQ(s.set.images[1].history.size(), 1u);
  EXPECT_EQ(s.set.images[1].history[0].num1, 4);
}

TEST(ImageSetSplit, ImageWithEmptyBodyEndsTheList) {
  Split s = SplitText(Header(3, 0) + Image(Line(1), "", "a") + "<image>\n</image>\n" + Image("", "", "c"));
  EXPECT_EQ(s.result, 1);
  ASSERT_EQ(s.set.images.size(), 1u);
  EXPECT_EQ(s.set.images[0].channel_id, "a");
}

TEST(ImageSetSplit, MissingTagsAreNoErrors) {
  struct Case {
    std::string text;
    int32_t masters;
    size_t images;
  };
  const Case cases[] = {
      {"<slave_cnt>4</slave_cnt>\n" + Image(""), 0, 1},                      // no master count
      {"<master_cnt>5</master_cnt>" + Image(""), 0, 1},                      // close tag without its line feed
      {"<master_cnt>x</master_cnt>\n", 0, 0},                                // not a number
      {"<master_cnt>\r\n7</master_cnt>\n", 7, 0},                            // blanks before a count
      {Header(1, 0) + "<image>\n<channel_id>a</channel_id>\n", 1, 0},       // unterminated image
      {Header(1, 0) + "<image>\nno tags at all\n</image>\n", 1, 1},          // image without sections
      {Header(1, 0) + "<image>\r\n" + Image("").substr(8), 1, 0},            // CR LF tags are not found
  };
  for (const Case& c : cases) {
    Split s = SplitText(c.text);
    EXPECT_EQ(s.result, 1) << c.text;
    EXPECT_EQ(s.set.master_count, c.masters) << c.text;
    EXPECT_EQ(s.set.images.size(), c.images) << c.text;
    for (const TImage& image : s.set.images) EXPECT_TRUE(image.market.empty() && image.history.empty());
  }
}

// A bad line stops the split; everything read before it stays in the model.
struct BadLineCase {
  const char* name;
  std::string market;
  std::string history;
  size_t market_read;
  size_t history_read;
};

void PrintTo(const BadLineCase& c, std::ostream* os) { *os << c.name; }

class ImageSetSplitBadLine : public testing::TestWithParam<BadLineCase> {};

TEST_P(ImageSetSplitBadLine, FailsWithTheLineSizeMessageAndKeepsWhatWasRead) {
  const BadLineCase& c = GetParam();
  std::string text = Header(2, 1) + Image(Line(100), Line(101), "first") +
                     Image(c.market, c.history, "second") + Image(Line(300), "", "third");
  ImageSet set;
  std::memcpy(set.error, "older", 6);
  EXPECT_EQ(SplitImageSet(text, set), 0);
  EXPECT_STREQ(set.error, kLineSizeError);
  EXPECT_EQ(set.master_count, 2);
  ASSERT_EQ(set.images.size(), 2u);
  EXPECT_EQ(set.images[0].market.size(), 1u);
  EXPECT_EQ(set.images[0].history.size(), 1u);
  EXPECT_EQ(set.images[1].channel_id, "second");
  ASSERT_EQ(set.images[1].market.size(), c.market_read);
  ASSERT_EQ(set.images[1].history.size(), c.history_read);
  for (size_t i = 0; i < c.market_read; i++) EXPECT_EQ(set.images[1].market[i].num1, 200 + int(i));
}

std::string Drop(std::string line, char c) {
  line.erase(line.rfind(c), 1);
  return line;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImageSetSplitBadLine,
    testing::Values(
        BadLineCase{"TwelveFields", Line(200) + "\n" + Drop(Line(201), '\t') + "\n" + Line(202), "", 1, 0},
        BadLineCase{"FourteenFields", Line(200) + "\t14th", "", 0, 0},
        BadLineCase{"TrailingLineFeed", Line(200) + "\n" + Line(201) + "\n", "", 2, 0},
        BadLineCase{"EmptyLineBetween", Line(200) + "\n\n" + Line(201), "", 1, 0},
        BadLineCase{"LineOfSpaces", "   ", "", 0, 0},
        BadLineCase{"LeadingTab", "\t" + Line(200), "", 0, 0},
        BadLineCase{"BadHistoryLineAfterAllMarketLines",
                    Line(200) + "\n" + Line(201), Line(210) + "\nshort\t1", 2, 1}),
    [](const testing::TestParamInfo<BadLineCase>& info) { return info.param.name; });

TEST(ImageSetSplit, NextSplitStartsFromAnEmptyListAgain) {
  ImageSet set;
  ASSERT_EQ(SplitImageSet(Header(1, 0) + Image(Line(1) + "\n"), set), 0);
  ASSERT_EQ(set.images.size(), 1u);
  EXPECT_EQ(SplitImageSet(Header(0, 0), set), 1);
  EXPECT_TRUE(set.images.empty());
  EXPECT_STREQ(set.error, kLineSizeError);  // never cleared
  // The same text twice gives the same model.
  std::string text = Header(1, 2) + Image(Line(5), Line(6));
  ASSERT_EQ(SplitImageSet(text, set), 1);
  ASSERT_EQ(SplitImageSet(text, set), 1);
  ASSERT_EQ(set.images.size(), 1u);
  EXPECT_EQ(set.images[0].market.size(), 1u);
  EXPECT_EQ(set.images[0].history.size(), 1u);
}

TEST(ImageSetSplit, ASmallerSetReplacesEverythingOfTheLargerOne) {
  ImageSet set;
  ASSERT_EQ(SplitImageSet(Header(2, 0) + Image(Line(1) + "\n" + Line(2), Line(3), "a", "la") +
                              Image(Line(4), Line(5) + "\n" + Line(6), "b", "lb"),
                          set),
            1);
  ASSERT_EQ(SplitImageSet(Header(1, 0) + Image("", Line(7), "c", ""), set), 1);
  ASSERT_EQ(set.images.size(), 1u);
  EXPECT_EQ(set.images[0].channel_id, "c");
  EXPECT_EQ(set.images[0].login, "");
  EXPECT_TRUE(set.images[0].market.empty());
  ASSERT_EQ(set.images[0].history.size(), 1u);
  EXPECT_EQ(set.images[0].history[0].num1, 7);
}

TEST(ImageSetSplit, TrimsSpacesAndLineFeedsAroundFieldsButNothingElse) {
  std::string line = " 7 \t 2\t0\t 1.50 \t EURUSD \t1\t2\t3\t0\t0\t11\t12\t  ";
  std::string crlf = "8\t2\t0\t1\tGBPUSD\t1\t2\t3\t0\t0\t11\t12\tend\r";
  std::string other_blanks = "9\t0\t0\t1\t\vX \t1\t2\t3\t4\t5\t6\t7\t x";
  Split s = SplitText(Header(1, 0) + Image(" " + line + " \n" + crlf, other_blanks));
  ASSERT_EQ(s.result, 1);
  ASSERT_EQ(s.set.images.size(), 1u);
  ASSERT_EQ(s.set.images[0].market.size(), 2u);
  const TOrder& a = s.set.images[0].market[0];
  EXPECT_EQ(a.num1, 7);
  EXPECT_EQ(a.lots, 1.5);
  EXPECT_STREQ(a.symbol, "EURUSD");
  EXPECT_STREQ(a.comment, "");
  EXPECT_STREQ(s.set.images[0].market[1].comment, "end\r");
  ASSERT_EQ(s.set.images[0].history.size(), 1u);
  EXPECT_STREQ(s.set.images[0].history[0].symbol, "\vX");
  EXPECT_STREQ(s.set.images[0].history[0].comment, "x");
}

TEST(ImageSetSplit, CutsLongSymbolAndCommentInsteadOfRejectingThem) {
  const std::string symbol(kSymbolCapacity - 1, 's'), comment(kCommentCapacity - 1, 'c');
  Split s = SplitText(Header(1, 0) + Image(Line(1, symbol + "123456789", comment + "x") + "\n" +
                                           Line(2, symbol, comment) + "\n" +
                                           Line(3, "E", std::string(200, 'd'))));
  ASSERT_EQ(s.result, 1);
  const std::vector<TOrder>& m = s.set.images[0].market;
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[0].symbol, symbol);
  EXPECT_EQ(m[0].comment, comment);
  EXPECT_EQ(m[1].symbol, symbol);
  EXPECT_EQ(m[1].comment, comment);
  EXPECT_EQ(m[2].comment, std::string(kCommentCapacity - 1, 'd'));
}

// "€" is E2 82 AC; E9 is "é" in a single-byte code page, and looks like a UTF-8 lead byte.
TEST(ImageSetSplit, CutsLongSymbolAndCommentBetweenCharacters) {
  const std::string symbol = std::string(kSymbolCapacity - 3, 's') + "\xE2\x82\xAC";
  const std::string comment = std::string(kCommentCapacity - 2, 'c') + "\xE2\x82\xAC";
  Split s = SplitText(Header(1, 0) + Image(Line(1, symbol, comment)));
  ASSERT_EQ(s.result, 1);
  const TOrder& o = s.set.images[0].market[0];
  EXPECT_EQ(o.symbol, std::string(kSymbolCapacity - 3, 's'));
  EXPECT_EQ(o.comment, std::string(kCommentCapacity - 2, 'c'));
}

TEST(ImageSetSplit, KeepsSymbolAndCommentThatFitAsTheMasterWroteThem) {
  const std::string symbol = std::string(kSymbolCapacity - 2, 's') + "\xE9";
  Split s = SplitText(Header(1, 0) + Image(Line(1, symbol, "caf\xE9") + "\n" +
                                           Line(2, "ab\xE2\x82", "ab\xE2\x82")));
  ASSERT_EQ(s.result, 1);
  const std::vector<TOrder>& m = s.set.images[0].market;
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0].symbol, symbol);
  EXPECT_EQ(m[0].comment, std::string("caf\xE9"));
  EXPECT_EQ(m[1].symbol, std::string("ab\xE2\x82"));
  EXPECT_EQ(m[1].comment, std::string("ab\xE2\x82"));
}

TEST(ImageSetSplit, ReadsOnlyUpToTheFirstNul) {
  std::string text = Header(1, 0) + Image(Line(1), "", "a");
  text += '\0';
  text += Image(Line(2), "", "b");
  Split s = SplitText(text);
  EXPECT_EQ(s.result, 1);
  ASSERT_EQ(s.set.images.size(), 1u);
  EXPECT_EQ(s.set.images[0].channel_id, "a");
  // A NUL inside an image cuts it short: its closing tag is never seen.
  std::string cut = Header(1, 0) + Image(Line(1), "", std::string("x\0y", 3));
  EXPECT_TRUE(SplitText(cut).set.images.empty());
}

// What the master writes, the slave reads back field for field.
TEST(ImageSetSplit, ReadsBackWhatTheMasterWrote) {
  MasterImage master;
  master.Set("room 7", "123456");
  OrderFields open{123456789, -2, 4, 0.01, "GBPJPY.m", 187.123, 186.5, 188, 77, 9.9, -1, 2147483647,
                   "from \"copy\" #1"};
  OrderFields closed{-2147483647 - 1, 0, 1, 100, "XAUUSD", 1923.45, 0, 0, 1262304000, 1925.5, 0, 0, ""};
  master.Append(kMarketOrders, 3, 2, open);
  master.Append(kHistoryOrders, 2, 0, closed);
  master.Append(kHistoryOrders, 2, 0, closed);
  Split s = SplitText(Header(1, 1) + master.Text());
  ASSERT_EQ(s.result, 1);
  ASSERT_EQ(s.set.images.size(), 1u);
  const TImage& image = s.set.images[0];
  EXPECT_EQ(image.channel_id, "room 7");
  EXPECT_EQ(image.login, "123456");
  ASSERT_EQ(image.market.size(), 1u);
  ASSERT_EQ(image.history.size(), 2u);
  const TOrder& m = image.market[0];
  EXPECT_EQ(m.num1, 123456789);
  EXPECT_EQ(m.num2, -2);
  EXPECT_EQ(m.type, 4);
  EXPECT_EQ(m.lots, 0.01);
  EXPECT_STREQ(m.symbol, "GBPJPY.m");
  EXPECT_EQ(m.price6, 187.123);
  EXPECT_EQ(m.price7, 186.5);
  EXPECT_EQ(m.price8, 188);
  EXPECT_EQ(m.close_time, 0);  // market lines carry no close
  EXPECT_EQ(m.close_price, 0);
  EXPECT_EQ(m.num11, -1);
  EXPECT_EQ(m.num12, 2147483647);
  EXPECT_STREQ(m.comment, "from \"copy\" #1");
  const TOrder& h = image.history[1];
  EXPECT_EQ(h.num1, -2147483647 - 1);
  EXPECT_EQ(h.lots, 100);
  EXPECT_EQ(h.price6, 1923.45);
  EXPECT_EQ(h.close_time, 1262304000);
  EXPECT_EQ(h.close_price, 1925.5);
  EXPECT_STREQ(h.comment, "");
}

}  // namespace
