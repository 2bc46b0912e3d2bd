// The simulated master's scenario: the demo and the integration tests depend on it.
#include "master_scenario.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(MasterScenario, StepsChangeTheAccount) {
  std::vector<ScenarioStep> steps;
  std::string error;
  ASSERT_TRUE(ParseScenario("# demo\r\n"
                            "login 4711\r\n"
                            "open 1001 buy 0.10 EURUSD 1.08345\n"
                            "open 1002 5 1 GBPUSD 1.5 1.6 1.4 a comment  # not this\n"
                            "\n"
                            "wait 2000\n"
                            "modify 1001 1.07 1.10\n"
                            "close 1002 1.45\n"
                            "close 9999 1.0\n",
                            steps, error))
      << error;
  ASSERT_EQ(steps.size(), 7u);
  EXPECT_EQ(steps[3].kind, ScenarioStep::kWait);
  EXPECT_EQ(steps[3].wait_ms, 2000);

  SimAccount account;
  for (const ScenarioStep& step : steps) account.Apply(step);
  EXPECT_EQ(account.login, "4711");
  ASSERT_EQ(account.market.size(), 1u);
  const SimOrder& open = account.market[0];
  EXPECT_EQ(open.ticket, 1001);
  EXPECT_EQ(open.symbol, "EURUSD");
  EXPECT_DOUBLE_EQ(open.lots, 0.10);
  EXPECT_DOUBLE_EQ(open.stop_loss, 1.07);
  EXPECT_DOUBLE_EQ(open.take_profit, 1.10);
  ASSERT_EQ(account.history.size(), 1u);
  const SimOrder& closed = account.history[0];
  EXPECT_EQ(closed.type, 5);
  EXPECT_EQ(closed.comment, "a comment");
  EXPECT_DOUBLE_EQ(closed.close_price, 1.45);
  EXPECT_GT(closed.close_time, closed.open_time);
}

TEST(MasterScenario, BadLineIsNamed) {
  std::vector<ScenarioStep> steps;
  std::string error;
  for (const char* text : {"open 1 fly 1 EURUSD 1\n", "wait -5\n", "jump\n", "close 1\n",
                           "open 1 buy lots EURUSD 1\n"}) {
    EXPECT_FALSE(ParseScenario(std::string("login 1\n") + text, steps, error)) << text;
    EXPECT_EQ(error.rfind("line 2:", 0), 0u) << error;
  }
}

// One line of text per step, with every field its kind uses.
std::string Describe(const ScenarioStep& s) {
  std::ostringstream out;
  const SimOrder& o = s.order;
  switch (s.kind) {
    case ScenarioStep::kLogin: out << "login " << s.login; break;
    case ScenarioStep::kOpen:
      out << "open " << o.ticket << " type " << o.type << " lots " << o.lots << " " << o.symbol
          << " price " << o.open_price << " sl " << o.stop_loss << " tp " << o.take_profit
          << " magic " << o.magic << " expiration " << o.expiration << " comment '" << o.comment << "'";
      break;
    case ScenarioStep::kModify:
      out << "modify " << o.ticket << " sl " << o.stop_loss << " tp " << o.take_profit << " price "
          << o.open_price << " expiration " << (s.expiration ? std::to_string(*s.expiration) : "kept");
      break;
    case ScenarioStep::kClose: out << "close " << o.ticket << " price " << o.close_price << " lots " << o.lots; break;
    case ScenarioStep::kDelete: out << "delete " << o.ticket; break;
    case ScenarioStep::kTrigger: out << "trigger " << o.ticket; break;
    case ScenarioStep::kPrice: out << "price " << o.symbol << " bid " << s.bid; break;
    case ScenarioStep::kWait: out << "wait " << s.wait_ms; break;
  }
  return out.str();
}

struct LineForm {
  const char* line;
  const char* step;
};

void PrintTo(const LineForm& f, std::ostream* out) { *out << f.line; }

class ScenarioLine : public testing::TestWithParam<LineForm> {};

TEST_P(ScenarioLine, ReadsAs) {
  std::vector<ScenarioStep> steps;
  std::string error;
  ASSERT_TRUE(ParseScenario(GetParam().line, steps, error)) << error;
  ASSERT_EQ(steps.size(), 1u);
  EXPECT_EQ(Describe(steps[0]), GetParam().step);
}

INSTANTIATE_TEST_SUITE_P(Forms, ScenarioLine, testing::Values(
    LineForm{"login 4711", "login 4711"},
    LineForm{"open 1001 buy 0.10 EURUSD 1.08345",
             "open 1001 type 0 lots 0.1 EURUSD price 1.08345 sl 0 tp 0 magic 0 expiration 0 comment ''"},
    LineForm{"open 1002 sell 1 GBPUSD 1.5 1.6 1.4 hi  there ",
             "open 1002 type 1 lots 1 GBPUSD price 1.5 sl 1.6 tp 1.4 magic 0 expiration 0 comment 'hi  there'"},
    LineForm{"open 1003 buylimit 0.5 EURUSD 1.07 1.06 1.09 magic=7 expiration=1252990000 grid 2",
             "open 1003 type 2 lots 0.5 EURUSD price 1.07 sl 1.06 tp 1.09 magic 7 expiration 1252990000 comment 'grid 2'"},
    LineForm{"open 1004 4 0.5 EURUSD.m 1.2 0 0 expiration=1252990000 magic=-3",
             "open 1004 type 4 lots 0.5 EURUSD.m price 1.2 sl 0 tp 0 magic -3 expiration 1252990000 comment ''"},
    LineForm{"open 1005 selllimit 1 EURUSD 1.2 0 0 note magic=5",  // options come before the comment
             "open 1005 type 3 lots 1 EURUSD price 1.2 sl 0 tp 0 magic 0 expiration 0 comment 'note magic=5'"},
    LineForm{"open 1006 buystop 1 EURUSD 1.2 0 0 magic=1", 
             "open 1006 type 4 lots 1 EURUSD price 1.2 sl 0 tp 0 magic 1 expiration 0 comment ''"},
    LineForm{"modify 1001 1.07 1.10", "modify 1001 sl 1.07 tp 1.1 price 0 expiration kept"},
    LineForm{"modify 1003 1.06 1.09 1.071", "modify 1003 sl 1.06 tp 1.09 price 1.071 expiration kept"},
    LineForm{"modify 1003 1.06 1.09 1.071 0", "modify 1003 sl 1.06 tp 1.09 price 1.071 expiration 0"},
    LineForm{"close 1001 1.08500", "close 1001 price 1.085 lots 0"},
    LineForm{"close 1002 1.4 0.4", "close 1002 price 1.4 lots 0.4"},
    LineForm{"delete 1003", "delete 1003"},
    LineForm{"trigger 1003", "trigger 1003"},
    LineForm{"price EURUSD.m 1.08100", "price EURUSD.m bid 1.081"},
    LineForm{"wait 2000", "wait 2000"}));

TEST(MasterScenario, BadNewFormsAreNamed) {
  std::vector<ScenarioStep> steps;
  std::string error;
  for (const char* text :
       {"modify 1 1 1 x\n", "modify 1 1 1 1.2 3 4\n", "modify 1 1 1 1.2 soon\n", "close 1 1.1 -1\n",
        "close 1 1.1 0.4 x\n", "delete\n", "delete 1 2\n", "trigger x\n", "price EURUSD\n",
        "price EURUSD 0\n", "price EURUSD 1.1 2\n", "open 1 buy 1 EURUSD 1 0 0 magic=5x\n",
        "open 1 buy 1 EURUSD 1 0 0 expiration=\n", "open 1 buy 1 EURUSD 1 0 0 magic=99999999999\n"}) {
    EXPECT_FALSE(ParseScenario(std::string("login 1\n") + text, steps, error)) << text;
    EXPECT_EQ(error.rfind("line 2:", 0), 0u) << error;
  }
}

TEST(MasterScenario, AccountFollowsPartialClosesPendingsAndDeletes) {
  std::vector<ScenarioStep> steps;
  std::string error;
  ASSERT_TRUE(ParseScenario("open 1001 buy 1 EURUSD 1.1\n"
                            "open 1002 buylimit 0.5 EURUSD 1.0 0 0 expiration=1252990000\n"
                            "open 1003 sellstop 0.2 EURUSD 0.9\n"
                            "close 1001 1.2 0.4\n"       // the rest goes on as 1004
                            "modify 1002 0.99 0 1.05 0\n"
                            "trigger 1002\n"
                            "delete 1003\n"
                            "delete 1004\n"              // no pending order: nothing
                            "trigger 1004\n"             // nor here
                            "price EURUSD 1.3\n"
                            "close 1004 1.25\n",
                            steps, error))
      << error;
  SimAccount account;
  for (const ScenarioStep& step : steps) account.Apply(step);

  struct Kept {
    int ticket, type;
    double lots, open_price, close_price;
    const char* comment;
  };
  const Kept market[] = {{1002, 0, 0.5, 1.05, 0, ""}};
  const Kept history[] = {{1001, 0, 0.4, 1.1, 1.2, "to #1004"},
                          {1003, 5, 0.2, 0.9, 0.9, ""},
                          {1004, 0, 0.6, 1.1, 1.25, "from #1001"}};
  const std::pair<const std::vector<SimOrder>*, std::vector<Kept>> pools[] = {
      {&account.market, {std::begin(market), std::end(market)}},
      {&account.history, {std::begin(history), std::end(history)}}};
  for (const auto& [orders, expected] : pools) {
    ASSERT_EQ(orders->size(), expected.size());
    for (size_t i = 0; i < expected.size(); i++) {
      const SimOrder& o = (*orders)[i];
      EXPECT_EQ(o.ticket, expected[i].ticket);
      EXPECT_EQ(o.type, expected[i].type) << o.ticket;
      EXPECT_DOUBLE_EQ(o.lots, expected[i].lots) << o.ticket;
      EXPECT_DOUBLE_EQ(o.open_price, expected[i].open_price) << o.ticket;
      EXPECT_DOUBLE_EQ(o.close_price, expected[i].close_price) << o.ticket;
      EXPECT_EQ(o.comment, expected[i].comment) << o.ticket;
    }
  }
  EXPECT_DOUBLE_EQ(account.market[0].stop_loss, 0.99);
  EXPECT_EQ(account.market[0].expiration, 0);
}

}  // namespace
