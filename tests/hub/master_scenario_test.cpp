// The simulated master's scenario: the demo and the integration tests depend on it.
#include "master_scenario.h"

#include <gtest/gtest.h>

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

}  // namespace
