// The master's scenario on a simulated MT5 account: its tickets name what it opened, orders
// open and close at the scenario's prices, and the account's state reads back as lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "master_scenario.h"
#include "mt5_account_state.h"
#include "mt5_scenario_player.h"

namespace {

std::vector<ScenarioStep> Steps(const char* text) {
  std::vector<ScenarioStep> steps;
  std::string error;
  EXPECT_TRUE(ParseScenario(text, steps, error)) << error;
  return steps;
}

struct Played {
  Mt5TradeServer server;
  Mt5ScenarioPlayer player{server};

  explicit Played(Mt5MarginMode mode) : server(Setup(mode)) {
    server.AddSymbol({"EURUSD", 5, 0.01, 100, 0.01, 0, 0, 100000}, true, false, 1.08000, 20, 0);
    server.AddSymbol({"GBPUSD", 5, 0.01, 100, 0.01, 0, 0, 100000}, false, true, 1.25000, 20, 0);
  }
  static Mt5AccountSetup Setup(Mt5MarginMode mode) {
    Mt5AccountSetup setup;
    setup.margin_mode = mode;
    setup.first_ticket = 7'000'000'001;
    return setup;
  }
  std::vector<std::string> Play(const char* text) {
    std::vector<std::string> problems;
    for (const ScenarioStep& step : Steps(text))
      if (std::string problem = player.Play(step); !problem.empty()) problems.push_back(problem);
    return problems;
  }
};

TEST(Mt5ScenarioPlayer, TradesEveryStepAtItsPricesUnderTheScenariosTickets) {
  Played account(Mt5MarginMode::kHedging);
  EXPECT_EQ(account.Play("open 1001 buy 0.10 EURUSD 1.08345 1.07000 1.10000 first\n"
                         "open 1002 sell 0.40 GBPUSD 1.25010 1.26000 1.24000\n"
                         "open 1003 buylimit 0.30 EURUSD 1.07000 1.06000 1.09000\n"
                         "open 1004 sellstop 0.10 GBPUSD 1.24000\n"
                         "modify 1001 1.07500 1.10500\n"
                         "modify 1003 1.06500 1.09500 1.07100\n"
                         "close 1002 1.24800 0.10\n"
                         "delete 1004\n"),
            std::vector<std::string>{});
  const uint64_t buy = account.player.TicketOf(1001), sell = account.player.TicketOf(1002);
  EXPECT_GT(buy, 7'000'000'000u) << "the account's own tickets";
  EXPECT_EQ(DescribeMt5Account(account.server).substr(0, DescribeMt5Account(account.server).find("\ndeal")),
            "position ticket=" + std::to_string(buy) +
                " symbol=EURUSD type=0 volume=0.1 price=1.08345 sl=1.075 tp=1.105 magic=0 comment=first\n"
                "position ticket=" + std::to_string(sell) +
                " symbol=GBPUSD type=1 volume=0.3 price=1.2501 sl=1.26 tp=1.24 magic=0 comment=\n"
                "order ticket=" + std::to_string(account.player.TicketOf(1003)) +
                " symbol=EURUSD type=2 volume=0.3 price=1.071 sl=1.065 tp=1.095 magic=0 comment=");
  // The pending order fills under its own ticket when the market reaches it.
  EXPECT_EQ(account.Play("trigger 1003\n"), std::vector<std::string>{});
  Mt5Position filled;
  EXPECT_TRUE(account.server.PositionByTicket(account.player.TicketOf(1003), filled));
}

TEST(Mt5ScenarioPlayer, SaysWhatWentWrong) {
  Played account(Mt5MarginMode::kHedging);
  EXPECT_EQ(account.Play("close 1009 1.08\n"
                         "open 1001 buy 0.001 EURUSD 1.08345\n"
                         "modify 1001 1.07 1.10\n"),
            (std::vector<std::string>{"close 1009: no such position", "open 1001: 10014 invalid volume",
                                      "modify 1001: no such position or order"}));
}

// A netting account nets the scenario's opposite orders into one position.
TEST(Mt5ScenarioPlayer, NettingAccountHoldsTheNet) {
  Played account(Mt5MarginMode::kNetting);
  EXPECT_EQ(account.Play("open 1001 buy 0.50 EURUSD 1.08345\nopen 1002 sell 0.20 EURUSD 1.08300\n"),
            std::vector<std::string>{});
  const std::string state = DescribeMt5Account(account.server);
  EXPECT_NE(state.find("position ticket=" + std::to_string(account.player.TicketOf(1001)) +
                       " symbol=EURUSD type=0 volume=0.3 "),
            std::string::npos)
      << state;
  EXPECT_NE(state.find("entry=1 type=1 volume=0.2 price=1.083 "), std::string::npos) << state;
}

}  // namespace
