// The relay delay benchmark's figures: the broker's ports read from its file, the watcher's
// receipts matched with the rounds they belong to, and the rows and stages it prints.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "relay_delay_rounds.h"

namespace {

const char kPorts[] = "tcp 41883\nws 41884\nwss 41885\n";

struct PortCase {
  const char* name;
  std::string text;
  const char* listener;
  std::optional<uint16_t> port;
};

void PrintTo(const PortCase& c, std::ostream* out) { *out << c.name; }

class Ports : public testing::TestWithParam<PortCase> {};

TEST_P(Ports, ReadsTheNamedListenerOnly) {
  const PortCase& c = GetParam();
  EXPECT_EQ(ListenerPort(c.text, c.listener), c.port);
}

INSTANTIATE_TEST_SUITE_P(
    BrokerFile, Ports,
    testing::Values(PortCase{"first", kPorts, "tcp", 41883}, PortCase{"last", kPorts, "wss", 41885},
                    PortCase{"a prefix of a name is not the name", kPorts, "w", std::nullopt},
                    PortCase{"absent", kPorts, "mqtts", std::nullopt},
                    PortCase{"empty file", "", "tcp", std::nullopt},
                    PortCase{"Windows line ends", "tcp 1883\r\nwss 8884\r\n", "wss", 8884},
                    PortCase{"port 0", "tcp 0\n", "tcp", std::nullopt},
                    PortCase{"beyond 65535", "tcp 65536\n", "tcp", std::nullopt},
                    PortCase{"not a number", "tcp port\nwss 8884\n", "tcp", std::nullopt},
                    PortCase{"a trailing word", "tcp 1883 extra\n", "tcp", std::nullopt},
                    PortCase{"the first of two lines counts", "tcp 1883\ntcp 1884\n", "tcp", 1883}),
    [](const testing::TestParamInfo<PortCase>& info) {
      std::string name = info.param.name;
      for (char& ch : name)
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

struct ArrivalCase {
  const char* name;
  std::vector<double> send_began;
  std::vector<double> arrivals;
  std::vector<double> at_broker;
};

void PrintTo(const ArrivalCase& c, std::ostream* out) { *out << c.name; }

class Arrivals : public testing::TestWithParam<ArrivalCase> {};

TEST_P(Arrivals, GoWithTheRoundTheyFallIn) {
  const ArrivalCase& c = GetParam();
  std::vector<RelayRound> rounds;
  for (double began : c.send_began) rounds.push_back(RelayRound{began, began + 0.5, 0, began + 9});
  AssignBrokerTimes(rounds, c.arrivals);
  ASSERT_EQ(rounds.size(), c.at_broker.size());
  for (size_t r = 0; r < rounds.size(); r++) EXPECT_DOUBLE_EQ(rounds[r].at_broker, c.at_broker[r]) << "round " << r;
}

INSTANTIATE_TEST_SUITE_P(
    Watcher, Arrivals,
    testing::Values(ArrivalCase{"one each", {10, 20, 30}, {14, 25, 33}, {14, 25, 33}},
                    // the retained message the watcher gets on subscribing comes before any round
                    ArrivalCase{"an arrival before the first round", {10, 20}, {2, 14, 25}, {14, 25}},
                    ArrivalCase{"a round without its message", {10, 20, 30}, {14, 33}, {14, 0, 33}},
                    // a repeated message in a round (a reconnect's) is not the next round's
                    ArrivalCase{"two in one round", {10, 20, 30}, {14, 15, 25, 33}, {14, 25, 33}},
                    ArrivalCase{"the last round's comes late", {10, 20}, {14, 400}, {14, 400}},
                    ArrivalCase{"at the send's own moment", {10, 20}, {10, 20}, {10, 20}},
                    ArrivalCase{"none at all", {10, 20}, {}, {0, 0}}));

// 101 rounds: no quantile falls on a whole index, where x87 and SSE arithmetic may round apart.
TEST(DelayRow, TakesFromTheSendToHubBsPublicationOfReachedRoundsOnly) {
  std::vector<RelayRound> rounds;
  for (int i = 1; i <= 101; i++) rounds.push_back(RelayRound{1000.0 * i, 1000.0 * i + 1, 0, 1000.0 * i + i});
  rounds.push_back(RelayRound{5e6, 5e6 + 1, 0, 0});  // never reached hub B
  EXPECT_EQ(DelayRow("tcp", rounds), "tcp        101     51.00     96.00    100.00    101.00\n");
}

// The figures on the table's line that begins with `name`; none when there is no such line.
std::vector<double> RowFigures(const std::string& table, const std::string& name) {
  std::istringstream lines(table);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind(name, 0) != 0) continue;
    std::istringstream fields(line.substr(name.size()));
    std::vector<double> figures;
    for (double v; fields >> v;) figures.push_back(v);
    return figures;
  }
  return {};
}

struct StageRow {
  const char* name;
  std::vector<double> figures;  // mean, p50, p95, p99, max
};

void PrintTo(const StageRow& row, std::ostream* out) { *out << row.name; }

class Stages : public testing::TestWithParam<StageRow> {};

// The third round has no broker time: it is left out of every line, the whole delay included,
// so that the stages add up to it.
TEST_P(Stages, CutAtTheBrokerAndAddUp) {
  const std::vector<RelayRound> rounds = {{100, 101, 104, 110}, {200, 202, 205, 206}, {300, 301, 0, 320}};
  const std::string table = StageTable(rounds);
  EXPECT_EQ(RowFigures(table, GetParam().name), GetParam().figures) << table;
  EXPECT_NE(table.find("1 round(s) without a broker time left out"), std::string::npos) << table;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Stages,
    testing::Values(StageRow{"send: hub A takes it, publishes", {1.5, 2, 2, 2, 2}},
                    StageRow{"publishing relay, to the broker", {3, 3, 3, 3, 3}},
                    StageRow{"subscribing relay, hub B publishes", {3.5, 6, 6, 6, 6}},
                    StageRow{"whole delay", {8, 10, 10, 10, 10}}));

}  // namespace
