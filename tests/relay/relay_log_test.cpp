// The relay's log lines: UTC stamps across day, leap-year and era edges, secrets masked wherever
// they stand, one line per event, lines appended to the file in order, and files rotated at
// their bound with whole lines only, the oldest dropped.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

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

// A folder where the file should be stands for a file that another program holds shut.
TEST(RelayLogFile, LinesThatCannotBeWrittenYetGoWithTheNextOneUpToABound) {
  const std::string path = testing::TempDir() + "relay_log_held.log";
  std::filesystem::remove_all(path);
  std::filesystem::create_directory(path);
  RelayLog log(path, [] { return int64_t{0}; }, 100, 1);
  for (int i = 1; i <= 5; i++) log.Write("waiting " + std::to_string(i));
  std::filesystem::remove(path);
  log.Write("free");
  // 34 bytes a line: the three oldest did not fit the bound and went.
  EXPECT_EQ(FileText(path),
            "1970-01-01 00:00:00.000 waiting 4\n1970-01-01 00:00:00.000 waiting 5\n"
            "1970-01-01 00:00:00.000 free\n");
  std::remove(path.c_str());
}

TEST(RelayLogFile, AFolderThatIsNotThereLosesTheLineOnly) {
  RelayLog log(testing::TempDir() + "no such folder/x/relay.log", [] { return int64_t{0}; });
  log.Write("lost");
  SUCCEED();
}

struct RotatedCase {
  const char* path;
  int number;
  const char* rotated;
};

void PrintTo(const RotatedCase& c, std::ostream* out) { *out << c.path; }

class RotatedLog : public testing::TestWithParam<RotatedCase> {};

TEST_P(RotatedLog, TakesItsNumberBeforeTheExtension) {
  EXPECT_EQ(RotatedLogPath(GetParam().path, GetParam().number), GetParam().rotated);
}

INSTANTIATE_TEST_SUITE_P(Names, RotatedLog, testing::Values(
    RotatedCase{"C:\\Relay\\qelv-relay.log", 1, "C:\\Relay\\qelv-relay.1.log"},
    RotatedCase{"/tmp/a.b/relay", 3, "/tmp/a.b/relay.3"},
    RotatedCase{"C:\\a.b\\relay", 2, "C:\\a.b\\relay.2"},
    RotatedCase{"relay.log", 12, "relay.12.log"}));

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(RelayLogFile, RotatesAtItsBoundWithWholeLinesAndDropsTheOldest) {
  const std::string path = testing::TempDir() + "relay_log_rotation.log";
  for (int n = 0; n <= 3; n++) std::remove((n ? RotatedLogPath(path, n) : path).c_str());
  const size_t kBound = 200;
  RelayLog log(path, [] { return int64_t{0}; }, kBound, 2);
  std::vector<std::string> written;
  for (int i = 0; i < 40; i++) {
    written.push_back("1970-01-01 00:00:00.000 event " + std::to_string(i) + std::string(i % 7 * 5, '.'));
    log.Write(written.back().substr(24));
  }
  // Newest last: the two rotated files, then the current one; a third was never kept.
  std::vector<std::string> kept;
  for (const std::string& file : {RotatedLogPath(path, 2), RotatedLogPath(path, 1), path}) {
    const std::string text = FileText(file);
    ASSERT_FALSE(text.empty()) << file;
    EXPECT_LE(text.size(), kBound) << file;
    EXPECT_EQ(text.back(), '\n') << file;
    for (const std::string& line : Lines(text)) kept.push_back(line);
  }
  EXPECT_FALSE(std::ifstream(RotatedLogPath(path, 3)).good());
  ASSERT_LT(kept.size(), written.size());
  // What is kept is the newest lines, whole, none missing between them.
  EXPECT_EQ(kept, std::vector<std::string>(written.end() - static_cast<long>(kept.size()), written.end()));
  for (int n = 0; n <= 2; n++) std::remove((n ? RotatedLogPath(path, n) : path).c_str());
}

TEST(RelayLogFile, ALineLongerThanTheBoundStandsWholeInAFileOfItsOwn) {
  const std::string path = testing::TempDir() + "relay_log_long_line.log";
  for (int n = 0; n <= 1; n++) std::remove((n ? RotatedLogPath(path, n) : path).c_str());
  RelayLog log(path, [] { return int64_t{0}; }, 64, 1);
  log.Write("short");
  log.Write(std::string(100, 'x'));
  EXPECT_EQ(FileText(RotatedLogPath(path, 1)), "1970-01-01 00:00:00.000 short\n");
  EXPECT_EQ(FileText(path), "1970-01-01 00:00:00.000 " + std::string(100, 'x') + "\n");
  for (int n = 0; n <= 1; n++) std::remove((n ? RotatedLogPath(path, n) : path).c_str());
}

}  // namespace
