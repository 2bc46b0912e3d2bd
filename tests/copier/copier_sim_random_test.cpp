// The copier end to end under a random master and random trouble: the hub, a slave and the
// master killed and started again, trade calls failing. Each slave ends as its settings make
// of the master's account, and no chain is ever copied twice. One slave is an MT5 hedging
// account; its simulated account lives in its process, so it goes through the hub's and the
// master's restarts but is not killed itself. The seed is printed; set
// QELV_COPIER_SEED to run one again.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "copier_sim_accounts.h"
#include "poll_until.h"
#include "running_hub.h"
#include "seeded_random.h"
#include "simulator.h"
#include "spawned_program.h"
#include "temp_file.h"
#include "temp_folder.h"

namespace {

const DWORD kLimitMs = 90000;
const int kSegments = 10;
const int kStepsPerSegment = 10;
const int kMasterWindow = 4242;

// A master that only trades what its account holds, with prices that keep every stop and
// pending order far from a market that stays near its starting price: nothing happens to the
// account but the scenario's steps.
class RandomMaster {
 public:
  explicit RandomMaster(uint64_t seed) : random_(seed) {}

  // The next `steps` operations as a scenario text.
  std::string Segment(int steps) {
    std::string text = "login 4711\n";  // the account logs in again after each start
    for (int i = 0; i < steps; i++) text += Step() + "wait " + std::to_string(random_.Between(50, 300)) + "\n";
    return text + "wait 300\n";
  }

 private:
  struct Order {
    int ticket, type;
    const char* symbol;
    int lots_tenths;
  };

  static double Base(const char* symbol) { return symbol[0] == 'E' ? 1.08300 : 1.25000; }

  std::string Price(double price) {
    char text[32];
    std::snprintf(text, sizeof text, "%.5f", price);
    return text;
  }

  // A distance of `points` points and up to 50 more at random.
  double Away(int points) { return (points + random_.Between(0, 50)) * 0.00001; }

  std::string Step() {
    if (open_.empty()) return Open(random_.Between(0, 2) == 0);
    const int kind = random_.Between(0, open_.size() >= 12 ? 6 : 9);
    if (kind >= 7) return Open(kind == 9);
    Order& o = open_[random_.Between(0, static_cast<int>(open_.size()) - 1)];
    const bool market = o.type <= 1;
    const bool buy = o.type % 2 == 0;
    const double base = Base(o.symbol);
    if (kind <= 1) {  // stops, or a pending order's price with its stops
      if (market)
        return "modify " + std::to_string(o.ticket) + " " + Price(buy ? base - Away(3000) : base + Away(3000)) +
               " " + Price(buy ? base + Away(3000) : base - Away(3000)) + "\n";
      const double price = PendingPrice(o.type, base);
      return "modify " + std::to_string(o.ticket) + " " + Price(price - (buy ? 0.01 : -0.01)) + " " +
             Price(price + (buy ? 0.01 : -0.01)) + " " + Price(price) + "\n";
    }
    if (!market) return Remove(o.ticket, "delete " + std::to_string(o.ticket) + "\n");
    const std::string at = Price(base + random_.Between(-20, 20) * 0.0001);
    if (kind <= 3 && o.lots_tenths >= 2) {  // a tenth of a lot off: the rest goes on as the next ticket
      const int closing = o.ticket;
      o.lots_tenths--;
      o.ticket = next_ticket_++;
      return "close " + std::to_string(closing) + " " + at + " 0.1\n";
    }
    return Remove(o.ticket, "close " + std::to_string(o.ticket) + " " + at + "\n");
  }

  std::string Remove(int ticket, const std::string& step) {
    for (size_t i = 0; i < open_.size(); i++)
      if (open_[i].ticket == ticket) open_.erase(open_.begin() + i);
    return step;
  }

  double PendingPrice(int type, double base) {
    return type == 2 || type == 5 ? base - Away(2000) : base + Away(2000);  // limits below buy, ...
  }

  std::string Open(bool pending) {
    const char* symbol = random_.Between(0, 1) ? "EURUSD" : "GBPUSD";
    const double base = Base(symbol);
    Order o{next_ticket_++, pending ? random_.Between(2, 5) : random_.Between(0, 1), symbol, random_.Between(1, 5)};
    const bool buy = o.type % 2 == 0;
    open_.push_back(o);
    const double price = pending ? PendingPrice(o.type, base) : base + random_.Between(-20, 20) * 0.0001;
    const double stop = pending ? 0.01 : 0.03 + random_.Between(0, 50) * 0.00001;
    const bool stops = random_.Between(0, 2) != 0;
    return "open " + std::to_string(o.ticket) + " " + std::to_string(o.type) + " 0." + std::to_string(o.lots_tenths) +
           " " + symbol + " " + Price(price) +
           (stops ? " " + Price(buy ? price - stop : price + stop) + " " + Price(buy ? price + stop : price - stop) : "") +
           "\n";
  }

  SeededRandom random_;
  int next_ticket_ = 1001;
  std::vector<Order> open_;
};

struct Slave {
  const char* inputs;  // the slave expert's
  const char* symbols;
  CopyRule rule;
  bool mt5 = false;  // on an MT5 hedging account
};

const Slave kSlaves[] = {
    {"LotMultiplier=2;SlaveSuffix=.m;CopyOldOrders=true", "suffix=.m", {".m", 2, 0, false}},
    {"Reverse=true;FixedLots=0.5;CopyOldOrders=true", "", {"", 1, 0.5, true}},
    {"LotMultiplier=2;SlaveSuffix=.m;CopyOldOrders=true", "suffix=.m", {".m", 2, 0, false}, true},
};
const size_t kSlaveCount = std::size(kSlaves);
const size_t kKilledSlaves = 2;  // the MT4 ones

uint64_t Seed() {
  const char* chosen = std::getenv("QELV_COPIER_SEED");
  return chosen ? std::strtoull(chosen, nullptr, 10) : 20261208;
}

class RandomRun {
 public:
  explicit RandomRun(uint64_t seed) : random_(seed), channel_(UniqueChannel("copier_random")) {}

  bool StartHub() {
    hub_.reset();  // a hub killed: it says goodbye to nobody
    hub_ = std::make_unique<RunningHub>(SettingsFor(channel_).c_str());
    return hub_->WaitForEndpoint(channel_) != nullptr;
  }

  // A slave killed and started again on its account; `fault_seed` 0: no more failures.
  void StartSlave(size_t i, uint64_t fault_seed) {
    if (slaves_[i]) {
      slaves_[i]->Kill();
      outputs_[i] += slaves_[i]->Output() + "-- killed\n";
    }
    slaves_[i] = std::make_unique<SpawnedProgram>(Simulator(
        "slave --channel " + channel_ + " --copy --instance " + std::to_string(i + 1) + " --inputs \"" +
        kSlaves[i].inputs + "\" --symbols \"" + kSlaves[i].symbols + "\" --journal \"" + SlaveJournal(i) +
        "\"" + (kSlaves[i].mt5 ? " --mt5 hedging" : "") +
        (fault_seed && !kSlaves[i].mt5 ? " --faults \"seed=" + std::to_string(fault_seed) + ";rate=0.2\"" : "")));
  }

  // The master trades one segment on its account and is killed when it is done, as a
  // terminal that crashed; the next segment starts it again on the same chart.
  bool PlayMasterSegment(const std::string& scenario) {
    if (master_) {
      master_->Kill();
      outputs_[kSlaveCount] += master_->Output() + "-- killed\n";
    }
    scenario_ = std::make_unique<TempFile>("scenario.txt", scenario);
    master_ = std::make_unique<SpawnedProgram>(Simulator(
        "master --channel " + channel_ + " --trade --window " + std::to_string(kMasterWindow) +
        " --duration 600000 --scenario \"" + scenario_->Path() + "\" --journal \"" + MasterJournal() + "\""));
    return master_->WaitForOutput("scenario done", kLimitMs);
  }

  std::string SlaveJournal(size_t i) const { return accounts_ / ("slave" + std::to_string(i) + ".journal"); }
  std::string MasterJournal() const { return accounts_ / "master.journal"; }
  // Of slave i, or of the master for kSlaveCount.
  std::string Output(size_t i) const { return outputs_[i] + (i < kSlaveCount ? slaves_[i] : master_)->Output(); }
  SeededRandom& Random() { return random_; }

 private:
  SeededRandom random_;
  const std::string channel_;
  TempFolder accounts_;
  std::unique_ptr<RunningHub> hub_;
  std::unique_ptr<SpawnedProgram> slaves_[kSlaveCount], master_;
  std::unique_ptr<TempFile> scenario_;
  std::string outputs_[kSlaveCount + 1];  // of the processes killed: slaves, master
};

TEST(CopierSimulatedRandomly, SlavesMirrorTheMasterThroughKillsAndFailuresAndNeverCopyTwice) {
  const uint64_t seed = Seed();
  std::printf("seed %llu (QELV_COPIER_SEED=%llu runs it again)\n", static_cast<unsigned long long>(seed),
              static_cast<unsigned long long>(seed));
  RecordProperty("seed", std::to_string(seed));
  RandomRun run(seed);
  RandomMaster master(seed);
  ASSERT_TRUE(run.StartHub()) << "the hub did not start";
  for (size_t i = 0; i < kSlaveCount; i++) run.StartSlave(i, seed + i);
  for (int segment = 0; segment < kSegments; segment++) {
    ASSERT_TRUE(run.PlayMasterSegment(master.Segment(kStepsPerSegment))) << run.Output(kSlaveCount);
    switch (run.Random().Between(0, 3)) {  // and then, the master being killed next anyway:
      case 0:
        ASSERT_TRUE(run.StartHub()) << "the hub did not start again";
        break;
      case 1: {
        const size_t slave = static_cast<size_t>(run.Random().Between(0, kKilledSlaves - 1));
        run.StartSlave(slave, seed + 10 * (segment + 1) + slave);
        break;
      }
      default:
        break;
    }
  }

  EXPECT_EQ(run.Output(kSlaveCount).find("scenario failed"), std::string::npos) << run.Output(kSlaveCount);
  const std::string troubled = run.Output(0) + run.Output(1);
  EXPECT_NE(troubled.find("failed: error"), std::string::npos) << "no injected failure was met:\n" << troubled;

  // The trouble is over: three failed tries in a row refuse a copy until the master's order
  // changes, and a slave started again has forgotten its refusals.
  for (size_t i = 0; i < kKilledSlaves; i++) run.StartSlave(i, 0);
  for (size_t i = 0; i < kSlaveCount; i++) {
    std::vector<Held> held, expected;
    const bool mirrored = PollUntil(kLimitMs, [&] {
      expected = ExpectedCopies(run.MasterJournal(), kSlaves[i].rule);
      held = kSlaves[i].mt5 ? Mt5AccountOf(run.SlaveJournal(i)) : AccountOf(run.SlaveJournal(i), kSlaves[i].symbols);
      return held == expected;
    });
    EXPECT_FALSE(expected.empty()) << "the master ended with nothing to copy";
    EXPECT_TRUE(mirrored) << "slave " << i << " holds\n" << Describe(held) << "expected\n" << Describe(expected)
                          << "it printed:\n" << run.Output(i) << "the master printed:\n" << run.Output(kSlaveCount);
    if (kSlaves[i].mt5) {
      for (const auto& [magic, opens] : Mt5OpensByMagic(run.SlaveJournal(i)))
        EXPECT_EQ(opens, 1) << "slave " << i << ": magic " << magic << " opened " << opens << " positions";
      continue;
    }
    for (const auto& [link, opens] : OpensByMagic(run.SlaveJournal(i)))
      EXPECT_EQ(opens, 1) << "slave " << i << ": the " << (link.second ? "market" : "pending") << " copy of magic "
                          << link.first << " was opened " << opens << " times";
  }
}

}  // namespace
