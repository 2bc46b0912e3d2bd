// The relay's log lines: UTC stamps across day, leap-year and era edges, secrets masked wherever
// they stand, one line per event, and lines appended to the file in order.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "relay_log.h"

namespace {

struct StampCase {
  int64_t unix_ms;
  const char* text;
};

void PrintTo(const StampCase& c, std::ostream* out) { *out << c.unix_ms; }

class LogTime : public testing::TestWithParam<StampCase> {};

TEST_P(LogTime, IsTheUtcDateAndTimeToTheMillisecond) {
  EXPECT_EQ(LogTimeText(GetParam().unix_ms), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Edges, LogTime, testing::Values(
    StampCase{0, "1970-01-01 00:00:00.000"},
    StampCase{-1, "1969-12-31 23:59:59.999"},
    StampCase{951782400000, "2000-02-29 00:00:00.000"},
    StampCase{1709251199999, "2024-02-29 23:59:59.999"},
    StampCase{1709251200000, "2024-03-01 00:00:00.000"},
    StampCase{1765190400123, "2025-12-08 10:40:00.123"},
    StampCase{253402300799999, "9999-12-31 23:59:59.999"}));

struct LineCase {
  const char* what;
  std::string event;
  std::vector<std::string> hidden;
  std::string line;  // after the stamp and its space
};

void PrintTo(const LineCase& c, std::ostream* out) { *out << c.what; }

class LogLineText : public testing::TestWithParam<LineCase> {};

TEST_P(LogLineText, HidesSecretsAndStaysOneLine) {
  const LineCase& c = GetParam();
  EXPECT_EQ(LogLine(0, c.event, c.hidden), "1970-01-01 00:00:00.000 " + c.line + "\n") << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, LogLineText, testing::Values(
    LineCase{"plain", "connected", {}, "connected"},
    LineCase{"a secret twice", "pw hunter2 and hunter2", {"hunter2"}, "pw *** and ***"},
    LineCase{"a secret inside a longer one goes with it", "key abc-secret-xyz",
             {"secret", "abc-secret-xyz"}, "key ***"},
    LineCase{"line breaks become spaces", "a\r\nb\nc", {}, "a  b c"},
    LineCase{"a secret with a line break", "x s\ncret y", {"s\ncret"}, "x *** y"},
    LineCase{"an empty hidden text changes nothing", "as is", {""}, "as is"},
    LineCase{"a secret that the mask holds", "a*b", {"*"}, "a***b"},
    LineCase{"neighbouring secrets", "aaaa", {"aa"}, "******"}));

std::string FileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(RelayLogFile, AppendsOneStampedLinePerEventWithSecretsHidden) {
  const std::string path = testing::TempDir() + "relay_log_test.log";
  std::remove(path.c_str());
  int64_t now = 86'400'000;
  RelayLog log(path, [&] { return now; });
  log.Write("first");
  log.Hide("p4ssw0rd");
  log.Hide("");
  now += 1500;
  log.Write("refused p4ssw0rd\nagain");
  EXPECT_EQ(FileText(path),
            "1970-01-02 00:00:00.000 first\n1970-01-02 00:00:01.500 refused *** again\n");
  std::remove(path.c_str());
}

TEST(RelayLogFile, AFolderThatIsNotThereLosesTheLineOnly) {
  RelayLog log(testing::TempDir() + "no such folder/x/relay.log", [] { return int64_t{0}; });
  log.Write("lost");
  SUCCEED();
}

}  // namespace
