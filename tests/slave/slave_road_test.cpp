// The whole road against the real hub: simulated master and slave terminals in processes of
// their own, and the test process as one more slave whose expert calls the library directly.
#include <windows.h>

#include <gtest/gtest.h>

#include "master_library_win.h"
#include "poll_until.h"
#include "road_helpers_win.h"
#include "running_hub.h"
#include "simulator.h"
#include "spawned_program.h"
#include "temp_file.h"

namespace {

const DWORD kRoadLimitMs = 60000;

const char kScenario[] =
    "login 4711\n"
    "open 1001 buy 0.10 EURUSD 1.08345\n"
    "open 1002 sell 1 GBPUSD 1.5 1.6 1.4 hedge me\n"
    "wait 400\n"
    "open 1003 buylimit 2.5 USDJPY 110.123 109 111.5 third one\n"
    "modify 1002 1.61 1.39\n"
    "close 1001 1.085\n";

std::string ImageLine(const std::string& channel, const std::string& login, size_t market, size_t history) {
  return "image 0: channel_id \"" + channel + "\" login \"" + login + "\" market " +
         std::to_string(market) + " history " + std::to_string(history) + "\n";
}

TEST(SlaveRoad, EveryOrderOfTheMasterReachesBothSlavesFieldForField) {
  const std::string channel = UniqueChannel("road");
  RunningHub hub(SettingsFor(channel).c_str());
  ASSERT_NE(hub.WaitForEndpoint(channel), nullptr) << "the hub did not start";
  InProcessSlave slave;
  ASSERT_TRUE(slave.Ready());
  SpawnedProgram other(Simulator("slave --channel " + channel + " --poll 100 --instance 2"));
  TempFile scenario("scenario.txt", kScenario);
  SpawnedProgram master(Simulator("master --channel " + channel +
                                  " --interval 100 --duration 600000 --scenario \"" + scenario.Path() + "\""));
  ASSERT_TRUE(other.Started() && master.Started());
  const SimAccount account = PlayScenario(kScenario);
  ASSERT_EQ(account.market.size(), 2u);
  ASSERT_EQ(account.history.size(), 1u);

  // The test's expert: markers, checksum comparison, and a fetch when they differ.
  SetRead set;
  auto holds_final_image = [&] {
    return set.images.size() == 1 && set.images[0].market.size() == 2 && set.images[0].history.size() == 1;
  };
  EXPECT_TRUE(PollUntil(kRoadLimitMs, [&] {
    if (!slave.FindHub(channel)) return false;
    slave.Marker(1);
    if (slave.PublishedChecksum() != slave.HeldChecksum()) set = slave.FetchAndRead();
    return holds_final_image();
  })) << "the test's slave never read the master's last image; master printed:\n" << master.Output();
  ASSERT_TRUE(holds_final_image());
  EXPECT_EQ(set.split, 1);
  EXPECT_EQ(set.masters, 1);
  const ImageRead& image = set.images[0];
  EXPECT_EQ(image.channel_id, channel);
  EXPECT_EQ(image.login, "4711");
  for (size_t i = 0; i < 2; i++)
    EXPECT_EQ(Differences(ExpectedRead(account.market[i], true), image.market[i]), "") << "market " << i;
  EXPECT_EQ(Differences(ExpectedRead(account.history[0], false), image.history[0]), "") << "history 0";

  // The other slave printed the same image, order for order.
  const std::string expected = ImageLine(channel, "4711", 2, 1) +
                               DumpLine("market", 0, ExpectedRead(account.market[0], true)) +
                               DumpLine("market", 1, ExpectedRead(account.market[1], true)) +
                               DumpLine("history", 0, ExpectedRead(account.history[0], false));
  EXPECT_TRUE(other.WaitForOutput(expected, kRoadLimitMs))
      << "expected:\n" << expected << "the simulated slave printed:\n" << other.Output();
  EXPECT_TRUE(other.Running());
}

// The master's library in this process: every step is one synchronous send to the hub.
struct InProcessMaster {
  InProcessMaster()
      : dll(LoadLibraryA(QELV_BIN_DIR "qelv_d30or.dll")), loaded(dll && !FindExports(dll, lib)) {}
  ~InProcessMaster() {
    if (loaded) lib.deinit(kWindow, kInstance);
    if (dll) FreeLibrary(dll);
  }
  void Attach(const std::string& channel) {
    lib.init(0, 0);
    lib.find_window(channel.c_str());
    lib.marker_send(kWindow, kInstance);
    lib.image_clear();
    lib.image_set(channel.c_str(), "9");
  }
  void AppendAndSend(int ticket, double lots, const char* symbol, const char* comment) {
    lib.image_append(0, 5, 2, ticket, 1252972800, 1, lots, symbol, 1.2345, 1.2, 1.3, 0, 0, 7, 8,
                     comment);
    lib.image_send(kWindow);
  }
  static const int kWindow = 555, kInstance = 7;
  HMODULE dll;
  MasterExports lib{};
  bool loaded;
};

TEST(SlaveRoad, FetchedSetCarriesThePublishedChecksumUntilTheMasterChanges) {
  const std::string channel = UniqueChannel("crc");
  RunningHub hub(SettingsFor(channel).c_str());
  ASSERT_NE(hub.WaitForEndpoint(channel), nullptr) << "the hub did not start";
  InProcessSlave slave;
  ASSERT_TRUE(slave.Ready());
  ASSERT_NE(slave.FindHub(channel), 0);
  // Registered before the master's first image, so that the set the hub published already
  // counts this slave.
  ASSERT_EQ(slave.Marker(1), 0);
  EXPECT_EQ(slave.PublishedChecksum(), 0);  // no image accepted yet
  EXPECT_NE(slave.HeldChecksum(), 0);

  InProcessMaster master;
  ASSERT_TRUE(master.loaded);
  master.Attach(channel);
  master.AppendAndSend(2001, 0.5, "EURUSD", "first");
  const int first = slave.PublishedChecksum();
  EXPECT_NE(first, 0);
  EXPECT_NE(slave.HeldChecksum(), first);
  SetRead set = slave.FetchAndRead();
  EXPECT_EQ(slave.HeldChecksum(), first);
  ASSERT_EQ(set.images.size(), 1u);
  ASSERT_EQ(set.images[0].market.size(), 1u);
  EXPECT_EQ(set.masters, 1);
  EXPECT_EQ(set.slaves, 1);

  master.AppendAndSend(2002, 1.25, "GBPJPY", "second");
  const int second = slave.PublishedChecksum();
  EXPECT_NE(second, first);
  EXPECT_NE(slave.HeldChecksum(), second);  // the expert's cue to fetch
  set = slave.FetchAndRead();
  EXPECT_EQ(slave.HeldChecksum(), second);
  ASSERT_EQ(set.images.size(), 1u);
  ASSERT_EQ(set.images[0].market.size(), 2u);
  const OrderRead& added = set.images[0].market[1];
  EXPECT_EQ(added.num1, 2002);
  EXPECT_EQ(added.lots, 1.25);
  EXPECT_EQ(added.symbol, "GBPJPY");
  EXPECT_EQ(added.price6, 1.2345);
  EXPECT_EQ(added.num12, 8);
  EXPECT_EQ(added.comment, "second");
}

// A master whose texts are not ASCII, and three slave experts: the simulator as an expert of an
// older terminal (string elements), the simulator as one of build 600 on (--utf8: byte arrays,
// UTF-16 strings) and the test process with byte arrays. All read the same fields.
TEST(SlaveRoad, ExpertsWithStringElementsAndWithByteArraysReadTheSameFields) {
  const char kUtf8Scenario[] =
      "login 4711\n"
      "open 1001 buy 0.10 EURUSD 1.08345 1.07 1.10 Gewinn \xE2\x82\xAC\n"
      "open 1002 sell 1 GER40 15000.5 15100 14900 Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80\n"
      "wait 300\n"
      "close 1002 14950\n";
  const std::string channel = UniqueChannel("utf8");
  RunningHub hub(SettingsFor(channel).c_str());
  ASSERT_NE(hub.WaitForEndpoint(channel), nullptr) << "the hub did not start";
  InProcessSlave slave(TextPassing::kUtf8Bytes);
  ASSERT_TRUE(slave.Ready());
  SpawnedProgram elements(Simulator("slave --channel " + channel + " --poll 100 --instance 2"));
  SpawnedProgram bytes(Simulator("slave --channel " + channel + " --poll 100 --instance 3 --utf8"));
  TempFile scenario("scenario.txt", kUtf8Scenario);
  SpawnedProgram master(Simulator("master --channel " + channel +
                                  " --interval 100 --duration 600000 --scenario \"" + scenario.Path() + "\""));
  ASSERT_TRUE(elements.Started() && bytes.Started() && master.Started());
  const SimAccount account = PlayScenario(kUtf8Scenario);
  ASSERT_EQ(account.market.size(), 1u);
  ASSERT_EQ(account.history.size(), 1u);
  ASSERT_EQ(account.market[0].comment, "Gewinn \xE2\x82\xAC");

  SetRead set;
  EXPECT_TRUE(PollUntil(kRoadLimitMs, [&] {
    if (!slave.FindHub(channel)) return false;
    slave.Marker(1);
    if (slave.PublishedChecksum() != slave.HeldChecksum()) set = slave.FetchAndRead();
    return set.images.size() == 1 && set.images[0].history.size() == 1;
  })) << "the test's slave never read the master's last image; master printed:\n" << master.Output();
  ASSERT_EQ(set.images.size(), 1u);
  const ImageRead& image = set.images[0];
  EXPECT_EQ(image.channel_id, channel);
  ASSERT_EQ(image.market.size(), 1u);
  EXPECT_EQ(Differences(ExpectedRead(account.market[0], true), image.market[0]), "");
  EXPECT_EQ(Differences(ExpectedRead(account.history[0], false), image.history[0]), "");

  const std::string expected = ImageLine(channel, "4711", 1, 1) +
                               DumpLine("market", 0, ExpectedRead(account.market[0], true)) +
                               DumpLine("history", 0, ExpectedRead(account.history[0], false));
  for (const SpawnedProgram* other : {&elements, &bytes})
    EXPECT_TRUE(other->WaitForOutput(expected, kRoadLimitMs))
        << "expected:\n" << expected << "the simulated slave printed:\n" << other->Output();
}

}  // namespace
