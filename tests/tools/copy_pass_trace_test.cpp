// The slave's pass trace: what it writes reads back the same, and what is not a pass in time
// order is refused, so that the delay's breakdown never rests on a line misread.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "copy_pass_trace.h"

namespace {

CopyPassTrace Pass(double from, int actions = 1) {
  CopyPassTrace p;
  p.wait_began = from;
  p.woke = from + 3.5;
  p.fetched = from + 4;
  p.split = from + 4.25;
  p.gathered = from + 5;
  p.planned = from + 6.5;
  p.done = from + 7.75;
  p.actions = actions;
  return p;
}

struct WrittenCase {
  CopyPassTrace pass;
  const char* line;
};

void PrintTo(const WrittenCase& c, std::ostream* out) { *out << c.line; }

class PassWritten : public testing::TestWithParam<WrittenCase> {};

TEST_P(PassWritten, SoAndReadBack) {
  const WrittenCase& c = GetParam();
  EXPECT_EQ(FormatPassTrace(c.pass), c.line);
  CopyPassTrace read;
  ASSERT_TRUE(ParsePassTrace(c.line, read));
  EXPECT_EQ(FormatPassTrace(read), c.line);
  EXPECT_EQ(read.actions, c.pass.actions);
  EXPECT_DOUBLE_EQ(read.done, c.pass.done);
}

INSTANTIATE_TEST_SUITE_P(
    Traces, PassWritten,
    testing::Values(WrittenCase{Pass(1200.125), "pass 1200.125 1203.625 1204.125 1204.375 1205.125 1206.625 1207.875 1"},
                    WrittenCase{Pass(0, 3), "pass 0.000 3.500 4.000 4.250 5.000 6.500 7.750 3"},
                    // a counter past 2^32 ms (50 days up) keeps its millisecond fractions
                    WrittenCase{Pass(5000000000.5), "pass 5000000000.500 5000000004.000 5000000004.500 "
                                                    "5000000004.750 5000000005.500 5000000007.000 5000000008.250 1"}));

class PassRefused : public testing::TestWithParam<const char*> {};

TEST_P(PassRefused, LeavesThePassAlone) {
  CopyPassTrace read = Pass(1);
  EXPECT_FALSE(ParsePassTrace(GetParam(), read));
  EXPECT_EQ(FormatPassTrace(read), FormatPassTrace(Pass(1)));
}

INSTANTIATE_TEST_SUITE_P(Lines, PassRefused,
                         testing::Values("", "pass", "step 1 2 3 4 5 6 7 1", "pass 1 2 3 4 5 6 7",
                                         "pass 1 2 3 4 5 6 7 1 9", "pass 1 2 x 4 5 6 7 1",
                                         "pass 1 2 3 4 5 6 7 -1",
                                         // each step before the one it follows
                                         "pass 2 1 3 4 5 6 7 1", "pass 1 3 2 4 5 6 7 1", "pass 1 2 4 3 5 6 7 1",
                                         "pass 1 2 3 5 4 6 7 1", "pass 1 2 3 4 6 5 7 1", "pass 1 2 3 4 5 7 6 1"));

struct FileCase {
  const char* name;
  std::string text;
  bool reads;
  size_t passes;
};

void PrintTo(const FileCase& c, std::ostream* out) { *out << c.name; }

class TraceFile : public testing::TestWithParam<FileCase> {};

TEST_P(TraceFile, GivesItsCompleteLines) {
  const FileCase& c = GetParam();
  std::vector<CopyPassTrace> passes(5);
  EXPECT_EQ(ParsePassTraces(c.text, passes), c.reads);
  if (c.reads) {
    EXPECT_EQ(passes.size(), c.passes);
  }
}

const std::string kTwo = FormatPassTrace(Pass(10)) + "\n" + FormatPassTrace(Pass(20)) + "\n";

INSTANTIATE_TEST_SUITE_P(
    Texts, TraceFile,
    testing::Values(FileCase{"empty", "", true, 0}, FileCase{"two", kTwo, true, 2},
                    // the slave was stopped while writing its third line
                    FileCase{"torn last line", kTwo + "pass 30.000 33.5", true, 2},
                    FileCase{"bad complete line", kTwo + "pass 30.000 33.5\n", false, 0},
                    FileCase{"bad first line", "hello\n" + kTwo, false, 0}),
    [](const testing::TestParamInfo<FileCase>& info) {
      std::string name = info.param.name;
      for (char& c : name)
        if (c == ' ') c = '_';
      return name;
    });

}  // namespace
