#include "utf8_cut.h"

#include <gtest/gtest.h>

namespace {

struct Cut {
  const char* name;
  std::string_view text;
  size_t room;
  size_t kept;
};

// "é" is C3 A9, "€" E2 82 AC, "😀" F0 9F 98 80.
const Cut kCuts[] = {
    {"ShorterThanTheRoom", "abc", 10, 3},
    {"ExactFit", "abc", 3, 3},
    {"OneShort", "abcd", 3, 3},
    {"NoRoom", "abc", 0, 0},
    {"EmptyText", "", 0, 0},
    {"TwoByteFits", "a\xC3\xA9", 3, 3},
    {"TwoByteAfterItsLead", "a\xC3\xA9", 2, 1},
    {"TwoByteBeforeItsLead", "a\xC3\xA9", 1, 1},
    {"ThreeByteFits", "a\xE2\x82\xAC", 4, 4},
    {"ThreeByteAfterItsLead", "a\xE2\x82\xAC", 2, 1},
    {"ThreeByteAfterOneContinuation", "a\xE2\x82\xAC", 3, 1},
    {"FourByteFits", "a\xF0\x9F\x98\x80", 5, 5},
    {"FourByteAfterItsLead", "a\xF0\x9F\x98\x80", 2, 1},
    {"FourByteAfterOneContinuation", "a\xF0\x9F\x98\x80", 3, 1},
    {"FourByteAfterTwoContinuations", "a\xF0\x9F\x98\x80", 4, 1},
    {"FourByteAsTheWholeRoom", "\xF0\x9F\x98\x80!", 3, 0},
    {"CompleteSequenceBeforeTheCut", "\xC3\xA9\xE2\x82\xAC" "x", 5, 5},
    {"SecondOfTwoEuros", "\xE2\x82\xAC\xE2\x82\xAC", 4, 3},
    {"GewinnEuroOneShort", "Gewinn \xE2\x82\xAC", 9, 7},
    // Bytes that are not UTF-8: passed through where they fit, counted one by one.
    {"Latin1TextFits", "caf\xE9!", 5, 5},
    {"Latin1ByteThatLooksLikeALeadAtTheCut", "caf\xE9!", 4, 3},
    {"ByteThatNeverLeads", "ab\xFF\xFF", 3, 3},
    {"OverlongLeadC0IsNoLead", "ab\xC0\x80", 3, 3},
    {"LeadF5IsNoLead", "ab\xF5\x80\x80", 3, 3},
    {"StrayContinuationsOnly", "\x80\x80\x80", 2, 2},
    {"StrayContinuationsAfterAscii", "a\x80\x80\x80\x80", 4, 4},
    {"EarlierLeadWithoutContinuations", "\xE2x\xE2y", 2, 2},
    {"LeadWithMoreContinuationsThanItNeeds", "\xC3\x80\x80\x80y", 4, 4},
    // A text that fits is kept as it is, however its last bytes look: only a cut made here
    // can leave a character unfinished.
    {"Latin1LetterThatLooksLikeALeadAtTheEnd", "caf\xE9", 4, 4},
    {"Latin1LetterAtTheEndWithRoomToSpare", "caf\xE9", 10, 4},
    {"IncompleteSequenceThatFitsIsKept", "ab\xE2\x82", 5, 4},
    {"IncompleteSequenceThatFitsExactlyIsKept", "ab\xE2\x82", 4, 4},
};

void PrintTo(const Cut& cut, std::ostream* os) { *os << cut.name; }

class Utf8Cut : public testing::TestWithParam<Cut> {};

TEST_P(Utf8Cut, KeepsWholeCharacters) {
  const Cut& c = GetParam();
  EXPECT_EQ(Utf8CutLength(c.text, c.room), c.kept);
}

INSTANTIATE_TEST_SUITE_P(Cuts, Utf8Cut, testing::ValuesIn(kCuts),
                         [](const testing::TestParamInfo<Cut>& info) { return info.param.name; });

}  // namespace
