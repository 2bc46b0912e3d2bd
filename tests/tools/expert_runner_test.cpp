// How the simulated terminal runs an expert and keeps what it keeps: the events a terminal
// delivers and when it stops delivering them, and its global variables through a restart.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "account_options.h"
#include "expert_runner.h"
#include "mql_inputs.h"
#include "mt5_sim_terminal.h"
#include "scratch_file.h"
#include "sim_terminal.h"

namespace {

using namespace mql::builtin;

// An expert that counts its events and does on its first timer event what the test asks.
struct Counting : mql::Program4 {
  int init_answer = INIT_SUCCEEDED;
  bool overrun = false;  // an index outside an array on the first timer event
  std::atomic<int> timers{0}, deinit_reason{-1};
  int count = 0;

  const char* Name() const override { return "e-counting"; }
  std::vector<mql::InputInfo> Inputs() const override { return {{"Count", "int", "0", ""}}; }
  bool SetInput(const std::string& name, const std::string& value) override {
    return name == "Count" && mql::ReadInput(value, count);
  }
  unsigned Handlers() const override { return kOnInit | kOnDeinit | kOnTimer; }
  int OnInit() override {
    EventSetMillisecondTimer(1);
    return init_answer;
  }
  void OnTimer() override {
    timers++;
    if (overrun) {
      mql::Array<int> none;
      none[0] = 1;
    }
  }
  void OnDeinit(const int reason) override { deinit_reason = reason; }
};

struct Runner : testing::Test {
  TradeServer server{AccountSetup{}};
  SimTerminal terminal{server, [](const std::string&, const std::string&, std::string&) { return nullptr; }, ""};

  // Runs the expert until it ended or `enough` holds, then removes it.
  template <typename Enough>
  void RunUntil(ExpertRunner& runner, Enough enough) {
    runner.Start();
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (runner.state() != ExpertRunner::State::kEnded && !enough() && std::chrono::steady_clock::now() < limit)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    runner.Stop(REASON_REMOVE);
  }
};

TEST_F(Runner, DeliversTimerEventsUntilTheExpertIsRemovedThenItsDeinit) {
  auto program = std::make_unique<Counting>();
  Counting& expert = *program;
  ExpertRunner runner(std::move(program), terminal, mql::ChartInfo{}, {{"Count", "3"}});
  RunUntil(runner, [&] { return expert.timers >= 3; });
  EXPECT_GE(expert.timers, 3);
  EXPECT_EQ(expert.count, 3);
  EXPECT_EQ(runner.InitResult(), INIT_SUCCEEDED);
  EXPECT_EQ(expert.deinit_reason, REASON_REMOVE);
  EXPECT_EQ(runner.state(), ExpertRunner::State::kEnded);
}

TEST_F(Runner, AFailedInitIsFollowedByDeinitAndNoEvents) {
  auto program = std::make_unique<Counting>();
  Counting& expert = *program;
  expert.init_answer = INIT_PARAMETERS_INCORRECT;
  ExpertRunner runner(std::move(program), terminal, mql::ChartInfo{}, {});
  RunUntil(runner, [] { return false; });
  EXPECT_EQ(runner.InitResult(), INIT_PARAMETERS_INCORRECT);
  EXPECT_EQ(expert.timers, 0);
  EXPECT_EQ(expert.deinit_reason, REASON_INITFAILED);
}

TEST_F(Runner, ACriticalErrorStopsTheExpertWithoutDeinit) {
  auto program = std::make_unique<Counting>();
  Counting& expert = *program;
  expert.overrun = true;
  ExpertRunner runner(std::move(program), terminal, mql::ChartInfo{}, {});
  RunUntil(runner, [] { return false; });
  EXPECT_EQ(expert.timers, 1);
  EXPECT_EQ(expert.deinit_reason, -1);
}

TEST_F(Runner, AnInputThatDoesNotReadKeepsTheExpertFromStarting) {
  auto program = std::make_unique<Counting>();
  Counting& expert = *program;
  ExpertRunner runner(std::move(program), terminal, mql::ChartInfo{}, {{"Count", "three"}});
  RunUntil(runner, [] { return false; });
  EXPECT_EQ(runner.InitResult(), -1);
  EXPECT_EQ(expert.timers, 0);
}

// An MQL5 expert that buys once on its first tick and counts its timer events.
struct Buying5 : mql::Program5 {
  std::atomic<int> timers{0}, ticks{0}, deinit_reason{-1};

  const char* Name() const override { return "e-buying5"; }
  std::vector<mql::InputInfo> Inputs() const override { return {}; }
  bool SetInput(const std::string&, const std::string&) override { return false; }
  unsigned Handlers() const override { return kOnInit | kOnDeinit | kOnTimer | kOnTick; }
  int OnInit() override {
    EventSetMillisecondTimer(1);
    return INIT_SUCCEEDED;
  }
  void OnTimer() override { timers++; }
  void OnTick() override {
    if (ticks++ > 0) return;
    mql::builtin5::MqlTradeRequest request{};
    mql::builtin5::MqlTradeResult result{};
    request.action = mql::builtin5::TRADE_ACTION_DEAL;
    request.symbol = _Symbol;
    request.volume = 0.1;
    request.magic = 5;
    OrderSend(request, result);
  }
  void OnDeinit(const int reason) override { deinit_reason = reason; }
};

TEST(Mt5Runner, RunsAnMql5ExpertsTimerAndTicksOnTheMt5Account) {
  Mt5TradeServer server{Mt5AccountSetup{}};
  server.AddSymbol({"EURUSD", 5, 0.01, 50, 0.01, 0, 0, 100000}, true, true, 1.10000, 20, 0);
  Mt5SimTerminal terminal(server, [](const std::string&, const std::string&, std::string&) { return nullptr; }, "");
  auto program = std::make_unique<Buying5>();
  Buying5& expert = *program;
  ExpertRunner runner(std::move(program), terminal, mql::ChartInfo{}, {});
  runner.Start();
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while ((expert.timers < 2 || server.PositionsTotal() == 0) && std::chrono::steady_clock::now() < limit) {
    server.SetBid("EURUSD", expert.timers % 2 ? 1.10001 : 1.10002);  // a new quote: a tick
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  runner.Stop(REASON_REMOVE);
  Mt5Position bought;
  ASSERT_TRUE(server.PositionByIndex(0, bought));
  EXPECT_EQ(bought.magic, 5u);
  EXPECT_GE(expert.timers, 2);
  EXPECT_EQ(expert.deinit_reason, REASON_REMOVE);
}

TEST(ExpertInputs, ReadAsNameValueItemsSeparatedBySemicolons) {
  ExpertRunner::Inputs inputs;
  ASSERT_TRUE(ParseInputs(" LotMultiplier = 2 ;SlaveSuffix=.m;; ", inputs));
  EXPECT_EQ(inputs, (ExpertRunner::Inputs{{"LotMultiplier", "2"}, {"SlaveSuffix", ".m"}}));
  EXPECT_FALSE(ParseInputs("LotMultiplier", inputs));
}

TEST(SimulatedTerminal, KeepsItsGlobalVariablesThroughARestart) {
  ScratchFile file;
  TradeServer server{AccountSetup{}};
  auto none = [](const std::string&, const std::string&, std::string&) -> void* { return nullptr; };
  {
    SimTerminal terminal(server, none, file.Path());
    EXPECT_NE(terminal.GlobalVariableSet("qelv.following.4711.1", 1252972800), 0);
    EXPECT_EQ(terminal.GlobalVariableSet("a name with blanks", 1), 0);
  }
  SimTerminal restarted(server, none, file.Path());
  double value = 0;
  ASSERT_TRUE(restarted.GlobalVariableGet("qelv.following.4711.1", value));
  EXPECT_EQ(value, 1252972800);
  EXPECT_FALSE(restarted.GlobalVariableCheck("a name with blanks"));
}

}  // namespace
