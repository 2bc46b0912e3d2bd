// The copier end to end: the real hub, a simulated master trading a scenario, and simulated
// slaves whose experts copy it onto accounts of their own, each as its settings say.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "copier_sim_accounts.h"
#include "copy_pass_trace.h"
#include "poll_until.h"
#include "running_hub.h"
#include "simulator.h"
#include "spawned_program.h"
#include "temp_file.h"
#include "temp_folder.h"

namespace {

const DWORD kConvergeLimitMs = 90000;

struct SlaveSetup {
  const char* name;
  const char* inputs;  // the slave expert's
  const char* symbols;
  CopyRule rule;
  std::vector<Held> expected;  // sorted
  const char* mt5 = "";        // the MT5 account's margin mode; "": an MT4 terminal
};

const std::vector<Held> kDoubledWithSuffix = {{"EURUSD.m", 0, 0.2, 0, 0, 0},
                                              {"EURUSD.m", 2, 0.6, 1.071, 1.06, 1.09},
                                              {"GBPUSD.m", 1, 0.2, 0, 1.26, 1.24}};

// Every action of the copier: market and pending opens, stops and a pending price modified, a
// partial close, a close, a pending order deleted and one triggered.
const char kScenario[] =
    "login 4711\n"
    "open 1001 buy 0.10 EURUSD 1.08345 1.07000 1.10000 first\n"
    "open 1002 sell 0.20 GBPUSD 1.25010 1.26000 1.24000\n"
    "open 1003 buylimit 0.30 EURUSD 1.07000 1.06000 1.09000\n"
    "open 1004 sellstop 0.10 GBPUSD 1.24000 1.25500 1.23000\n"
    "open 1005 buystop 0.10 EURUSD 1.09500\n"
    "wait 3000\n"
    "modify 1001 1.07500 1.10500\n"
    "modify 1003 1.06000 1.09000 1.07100\n"
    "close 1002 1.24800 0.10\n"
    "wait 3000\n"
    "close 1001 1.08500\n"
    "delete 1004\n"
    "trigger 1005\n"
    "wait 1000\n";

const SlaveSetup kSlaves[] = {
    {"doubled with a suffix", "LotMultiplier=2;SlaveSuffix=.m;CopyOldOrders=true", "suffix=.m", {".m", 2, 0, false},
     kDoubledWithSuffix},
    {"reversed with fixed lots", "Reverse=true;FixedLots=0.5;CopyOldOrders=true", "", {"", 1, 0.5, true},
     {{"EURUSD", 1, 0.5, 0, 0, 0},
      {"EURUSD", 5, 0.5, 1.071, 1.09, 1.06},
      {"GBPUSD", 0, 0.25, 0, 1.24, 1.26}}},
    // An MT5 hedging account holds a position per master order, as an MT4 account does.
    {"MT5 hedging, doubled with a suffix", "LotMultiplier=2;SlaveSuffix=.m;CopyOldOrders=true", "suffix=.m",
     {".m", 2, 0, false}, kDoubledWithSuffix, "hedging"},
    // A netting account holds the net per symbol, without stops, and no pending copies.
    {"MT5 netting, doubled with a suffix", "LotMultiplier=2;SlaveSuffix=.m;CopyOldOrders=true;Masters=4711",
     "suffix=.m", {".m", 2, 0, false}, {{"EURUSD.m", 0, 0.2, 0, 0, 0}, {"GBPUSD.m", 1, 0.2, 0, 0, 0}}, "netting"},
};

bool OnMt5(const SlaveSetup& slave) { return *slave.mt5 != 0; }

std::string SlaveCommand(const std::string& channel, size_t instance, const SlaveSetup& slave,
                         const std::string& journal) {
  std::string command = "slave --channel " + channel + " --copy --instance " + std::to_string(instance) +
                        " --inputs \"" + slave.inputs + "\" --symbols \"" + slave.symbols + "\" --journal \"" +
                        journal + "\" --trace \"" + journal + ".trace\"";
  return OnMt5(slave) ? command + " --mt5 " + slave.mt5 : command;
}

std::vector<Held> HeldBy(const SlaveSetup& slave, const std::string& journal) {
  return OnMt5(slave) ? Mt5AccountOf(journal) : AccountOf(journal, slave.symbols);
}

// Waits until the slave holds what it should, then checks that no chain was copied twice.
void ExpectSlaveConverges(const SlaveSetup& slave, const std::string& journal, SpawnedProgram& program) {
  std::vector<Held> held;
  const bool converged = PollUntil(kConvergeLimitMs, [&] {
    held = HeldBy(slave, journal);
    return held == slave.expected;
  });
  EXPECT_TRUE(converged) << slave.name << ": the slave holds\n" << Describe(held) << "expected\n"
                         << Describe(slave.expected) << "it printed:\n" << program.Output() << "journal:\n"
                         << JournalText(journal);
  if (!OnMt5(slave)) {
    for (const auto& [link, opens] : OpensByMagic(journal))
      EXPECT_EQ(opens, 1) << slave.name << ": the " << (link.second ? "market" : "pending") << " copy of magic "
                          << link.first << " was opened " << opens << " times";
  } else if (std::string(slave.mt5) == "hedging") {
    for (const auto& [magic, opens] : Mt5OpensByMagic(journal))
      EXPECT_EQ(opens, 1) << slave.name << ": magic " << magic << " opened " << opens << " positions";
  }
  EXPECT_TRUE(program.Running()) << program.Output();
}

// The trace the copy-delay benchmark cuts copies by: a line for each pass that traded, one pass
// after another, and no more actions than the journal holds trades (it also holds what the
// server did of itself: pending orders triggered).
void ExpectTracedPasses(const std::string& journal, const char* name) {
  std::vector<CopyPassTrace> passes;
  ASSERT_TRUE(ParsePassTraces(JournalText(journal + ".trace"), passes)) << name << ":\n"
                                                                          << JournalText(journal + ".trace");
  int actions = 0;
  for (size_t k = 0; k < passes.size(); k++) {
    EXPECT_GT(passes[k].actions, 0) << name << ", pass " << k;
    if (k > 0) {
      EXPECT_LE(passes[k - 1].done, passes[k].wait_began) << name << ", pass " << k;
    }
    actions += passes[k].actions;
  }
  const std::string trades = JournalText(journal);
  EXPECT_GT(actions, 0) << name;
  EXPECT_LE(actions, std::count(trades.begin(), trades.end(), '\n')) << name;
}

TEST(CopierSimulated, EverySlaveEndsWithWhatItsSettingsMakeOfTheMaster) {
  const std::string channel = UniqueChannel("copier_sim");
  RunningHub hub(SettingsFor(channel).c_str());
  ASSERT_NE(hub.WaitForEndpoint(channel), nullptr) << "the hub did not start";
  TempFolder accounts;
  std::vector<std::unique_ptr<SpawnedProgram>> slaves;
  for (size_t i = 0; i < std::size(kSlaves); i++) {
    const std::string journal = accounts / ("slave" + std::to_string(i) + ".journal");
    slaves.push_back(std::make_unique<SpawnedProgram>(Simulator(SlaveCommand(channel, i + 1, kSlaves[i], journal))));
    ASSERT_TRUE(slaves.back()->Started());
  }
  TempFile scenario("scenario.txt", kScenario);
  SpawnedProgram master(Simulator("master --channel " + channel + " --trade --duration 600000 --scenario \"" +
                                  scenario.Path() + "\" --journal \"" + (accounts / "master.journal") + "\""));
  ASSERT_TRUE(master.Started());
  ASSERT_TRUE(master.WaitForOutput("scenario done", kConvergeLimitMs)) << master.Output();
  EXPECT_EQ(master.Output().find("scenario failed"), std::string::npos) << master.Output();

  for (size_t i = 0; i < std::size(kSlaves); i++) {
    // The rule the randomized run relies on gives this hand-made table.
    if (std::string(kSlaves[i].mt5) != "netting")
      EXPECT_EQ(ExpectedCopies(accounts / "master.journal", kSlaves[i].rule), kSlaves[i].expected)
          << kSlaves[i].name << ":\n" << Describe(ExpectedCopies(accounts / "master.journal", kSlaves[i].rule));
    const std::string journal = accounts / ("slave" + std::to_string(i) + ".journal");
    ExpectSlaveConverges(kSlaves[i], journal, *slaves[i]);
    if (!OnMt5(kSlaves[i])) ExpectTracedPasses(journal, kSlaves[i].name);
  }
}

// A master on an MT5 hedging account, trading the same scenario, is copied exactly as the MT4
// master: to an MT4 slave and to an MT5 one.
TEST(CopierSimulated, MasterOnMt5IsCopiedAsTheMt4Master) {
  const std::string channel = UniqueChannel("copier_sim_mt5");
  RunningHub hub(SettingsFor(channel).c_str());
  ASSERT_NE(hub.WaitForEndpoint(channel), nullptr) << "the hub did not start";
  TempFolder accounts;
  const SlaveSetup* followers[] = {&kSlaves[0], &kSlaves[2]};
  std::vector<std::unique_ptr<SpawnedProgram>> slaves;
  for (size_t i = 0; i < std::size(followers); i++) {
    const std::string journal = accounts / ("slave" + std::to_string(i) + ".journal");
    slaves.push_back(std::make_unique<SpawnedProgram>(Simulator(SlaveCommand(channel, i + 1, *followers[i], journal))));
    ASSERT_TRUE(slaves.back()->Started());
  }
  TempFile scenario("scenario.txt", kScenario);
  SpawnedProgram master(Simulator("master --channel " + channel + " --trade --mt5 hedging --duration 600000 --scenario \"" +
                                  scenario.Path() + "\" --journal \"" + (accounts / "master.journal") + "\""));
  ASSERT_TRUE(master.Started());
  ASSERT_TRUE(master.WaitForOutput("scenario done", kConvergeLimitMs)) << master.Output();
  EXPECT_EQ(master.Output().find("scenario failed"), std::string::npos) << master.Output();
  for (size_t i = 0; i < std::size(followers); i++)
    ExpectSlaveConverges(*followers[i], accounts / ("slave" + std::to_string(i) + ".journal"), *slaves[i]);
}

// A master on an MT5 netting account: an addition is an order of its own, a partial close takes
// from the oldest, a reversal closes them all and opens the rest as a new order; an MT4 slave
// ends holding the reversal's side only, every earlier copy closed.
TEST(CopierSimulated, NettingMasterOnMt5IsCopiedAsMt4Orders) {
  const std::string channel = UniqueChannel("copier_sim_net");
  RunningHub hub(SettingsFor(channel).c_str());
  ASSERT_NE(hub.WaitForEndpoint(channel), nullptr) << "the hub did not start";
  TempFolder accounts;
  const SlaveSetup slave{"MT4, as the master's lots", "CopyOldOrders=true", "", {}, {{"EURUSD", 1, 0.2, 0, 0, 0},
                                                                              {"GBPUSD", 0, 0.1, 0, 0, 0}}};
  const std::string journal = accounts / "slave.journal";
  SpawnedProgram copier(Simulator(SlaveCommand(channel, 1, slave, journal)));
  ASSERT_TRUE(copier.Started());
  TempFile scenario("scenario.txt",
                    "login 4711\n"
                    "open 1001 buy 0.30 EURUSD 1.08345\n"
                    "open 1002 buy 0.20 GBPUSD 1.25010\n"
                    "wait 2000\n"
                    "open 1003 buy 0.20 EURUSD 1.08400\n"
                    "wait 2000\n"
                    "close 1001 1.08500 0.10\n"
                    "close 1002 1.25100 0.10\n"
                    "wait 2000\n"
                    "open 1004 sell 0.60 EURUSD 1.08600\n"
                    "wait 1000\n");
  SpawnedProgram master(Simulator("master --channel " + channel + " --trade --mt5 netting --duration 600000 --scenario \"" +
                                  scenario.Path() + "\" --journal \"" + (accounts / "master.journal") + "\""));
  ASSERT_TRUE(master.Started());
  ASSERT_TRUE(master.WaitForOutput("scenario done", kConvergeLimitMs)) << master.Output();
  EXPECT_EQ(master.Output().find("scenario failed"), std::string::npos) << master.Output();
  ExpectSlaveConverges(slave, journal, copier);
}

}  // namespace
