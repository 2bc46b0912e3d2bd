// The copier's exports and the wait for a new set, through the loader, against the real hub: the
// test process is a master terminal (qelv_d30or.dll) and a slave terminal (qelv_r30uv.dll) whose
// chart belongs to a thread of its own, as a terminal's chart belongs to its UI thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "copy_link.h"
#include "master_library_win.h"
#include "poll_until.h"
#include "published_event.h"
#include "running_hub.h"
#include "slave_library_win.h"
#include "window_thread.h"
#include "window_value_win.h"

namespace {

const DWORD kLimitMs = 30000;  // slow, busy machines: a bound, not an expectation

// The master's library in this process: each send is one synchronous message to the hub.
class InProcessMaster {
 public:
  explicit InProcessMaster(const std::string& channel)
      : dll_(LoadLibraryA(QELV_BIN_DIR "qelv_d30or.dll")), loaded_(dll_ && !FindExports(dll_, lib_)) {
    if (!loaded_) return;
    lib_.init(kWindow, kInstance);
    lib_.find_window(channel.c_str());
    lib_.marker_send(kWindow, kInstance);
    lib_.image_clear();
    lib_.image_set(channel.c_str(), "4711");
  }
  ~InProcessMaster() {
    if (loaded_) lib_.deinit(kWindow, kInstance);
    if (dll_) FreeLibrary(dll_);
  }
  bool Loaded() const { return loaded_; }
  // One more open buy of `lots` EURUSD, then the whole image to the hub.
  void OpenAndSend(int ticket, double lots) {
    lib_.image_append(0, 5, 2, ticket, 1700000000, 0, lots, "EURUSD", 1.08340, 1.075, 1.095, 0, 0, 0, 0, "");
    lib_.image_send(kWindow);
  }

 private:
  static const int kWindow = 556, kInstance = 3;
  HMODULE dll_;
  MasterExports lib_{};
  bool loaded_;
};

unsigned char* Bytes(std::string& text) { return reinterpret_cast<unsigned char*>(&text[0]); }
unsigned char* Bytes(const char* text) { return reinterpret_cast<unsigned char*>(const_cast<char*>(text)); }
int SizeOf(const char* text) { return static_cast<int>(strlen(text) + 1); }

// The slave's library, loaded afresh for each test, with a chart on a thread of its own.
class SlaveCopier : public testing::Test {
 protected:
  SlaveCopier() : chart_(PlainChartClass(), WS_OVERLAPPEDWINDOW, 100) {}
  void SetUp() override {
    dll_ = LoadLibraryA(QELV_BIN_DIR "qelv_r30uv.dll");
    ASSERT_NE(dll_, nullptr);
    const char* missing = FindExports(dll_, lib_);
    ASSERT_EQ(missing, nullptr) << missing;
    ASSERT_NE(chart_.Window(), nullptr);
    lib_.init(Chart(), 0);
  }
  void TearDown() override {
    if (dll_) {
      lib_.deinit(Chart(), 1);
      FreeLibrary(dll_);
    }
  }
  int Chart() const { return WindowValue(chart_.Window()); }
  int FindHub(const std::string& channel) {
    std::string id = channel;
    return lib_.find_window(id.c_str());
  }
  // Fetches and splits the published set when it is not the one held: the split's answer.
  int FetchAndSplit() {
    lib_.qelv_images_get(Chart());
    return lib_.images_split();
  }

  // One pass of the expert `expert` over an empty account with EURUSD on offer: the number of
  // actions planned.
  int Pass(int expert) {
    if (lib_.copier_begin(expert, 1700000100, 0) != 0) return -2;
    const int wanted = lib_.copier_symbols_wanted(expert);
    for (int i = 0; i < wanted; i++) {
      std::string name(32, '\0');
      if (lib_.copier_symbol_name(expert, i, Bytes(name), 32) != 1) return -3;
      lib_.copier_symbol_add(expert, Bytes(name), 32, 1, 5, 0.00001, 0.01, 100, 0.01, 10, 1.08340, 1.08350);
    }
    return lib_.copier_plan(expert);
  }

  std::vector<std::string> Log(int expert) {
    std::vector<std::string> lines;
    for (int i = 0; i < lib_.copier_log_count(expert); i++) {
      std::string line(512, '\0');
      if (lib_.copier_log_get(expert, i, Bytes(line), 512) == 1) lines.push_back(line.c_str());
    }
    return lines;
  }

  HMODULE dll_ = NULL;
  SlaveExports lib_{};
  WindowThread chart_;
};

TEST_F(SlaveCopier, OnePassThroughTheExportsAfterARealSplit) {
  const std::string channel = UniqueChannel("copier");
  RunningHub hub(SettingsFor(channel).c_str());
  ASSERT_NE(hub.WaitForEndpoint(channel), nullptr) << "the hub did not start";
  ASSERT_NE(FindHub(channel), 0);
  ASSERT_EQ(lib_.qelv_marker_send(Chart(), 1), 0);
  InProcessMaster master(channel);
  ASSERT_TRUE(master.Loaded());
  master.OpenAndSend(1001, 1.0);

  const int published = lib_.qelv_wait_crc(lib_.images_calc_crc(), 1000);
  ASSERT_NE(published, lib_.images_calc_crc());
  ASSERT_EQ(FetchAndSplit(), 1);
  ASSERT_EQ(lib_.images_calc_crc(), published);

  const int expert = 0x10203;
  const char settings[] = "lot_multiplier=0.5\nmaster_time_offset=0";
  ASSERT_EQ(lib_.copier_settings(expert, Bytes(settings), sizeof settings), 0);
  ASSERT_EQ(lib_.copier_begin(expert, 1700000100, 0), 0);
  // The slave's own order: no copy, left alone.
  EXPECT_EQ(lib_.copier_order_add(expert, 0, 7000, 0, 0.3, Bytes("EURUSD"), SizeOf("EURUSD"), 1.08, 0, 0, 0, 0), 0);
  ASSERT_EQ(lib_.copier_symbols_wanted(expert), 1);
  std::string name(8, '#');
  ASSERT_EQ(lib_.copier_symbol_name(expert, 0, Bytes(name), 8), 1);
  EXPECT_EQ(name, std::string("EURUSD\0#", 8));
  ASSERT_EQ(lib_.copier_symbol_add(expert, Bytes(name), 8, 1, 5, 0.00001, 0.01, 100, 0.01, 10, 1.08340, 1.08350), 0);
  ASSERT_EQ(lib_.copier_plan(expert), 1);

  int kind = -1, ticket = -1, type = -1, expiration = -1, magic = -1;
  double lots = -1, price = -1, sl = -1, tp = -1;
  std::string symbol(32, '\0'), comment(32, '\0');
  ASSERT_EQ(lib_.copier_action_get(expert, 0, &kind, &ticket, Bytes(symbol), 32, &type, &lots, &price, &sl, &tp,
                                   &expiration, &magic, Bytes(comment), 32),
            1);
  EXPECT_EQ(kind, 4);  // open
  EXPECT_EQ(ticket, 0);
  EXPECT_STREQ(symbol.c_str(), "EURUSD");
  EXPECT_EQ(type, 0);
  EXPECT_DOUBLE_EQ(lots, 0.5);
  EXPECT_DOUBLE_EQ(price, 1.0835);
  EXPECT_DOUBLE_EQ(sl, 1.075);
  EXPECT_DOUBLE_EQ(tp, 1.095);
  EXPECT_EQ(expiration, 0);
  EXPECT_EQ(magic, CopyMagic("4711", 1001));
  EXPECT_STREQ(comment.c_str(), "qelv 4711 #1001");
  bool logged = false;
  for (const std::string& line : Log(expert)) logged = logged || line.find("open copy of 4711 #1001") == 0;
  EXPECT_TRUE(logged);
  EXPECT_EQ(lib_.copier_action_done(expert, 0, 0, 9001), 1);
  EXPECT_EQ(lib_.copier_action_done(expert, 0, 0, 9001), 0);  // recorded once

  // The terminal now shows the copy: the next pass asks nothing.
  ASSERT_EQ(lib_.copier_begin(expert, 1700000101, 0), 0);
  ASSERT_EQ(lib_.copier_order_add(expert, 0, 9001, 0, 0.5, Bytes("EURUSD"), SizeOf("EURUSD"), 1.0835, 1.075, 1.095,
                                  magic, 0),
            0);
  ASSERT_EQ(lib_.copier_symbols_wanted(expert), 1);
  ASSERT_EQ(lib_.copier_symbol_add(expert, Bytes("EURUSD"), SizeOf("EURUSD"), 1, 5, 0.00001, 0.01, 100, 0.01, 10,
                                   1.08340, 1.08350),
            0);
  EXPECT_EQ(lib_.copier_plan(expert), 0);
  EXPECT_EQ(lib_.copier_end(expert), 0);
  EXPECT_EQ(lib_.copier_end(expert), -1);
}

TEST_F(SlaveCopier, BadArgumentsAnswerTheirFailureValue) {
  const int expert = 5, stranger = 6;
  ASSERT_EQ(lib_.copier_settings(expert, Bytes(""), 1), 0);
  ASSERT_EQ(lib_.copier_begin(expert, 1700000100, 0), 0);
  int i = 0;
  double d = 0;
  std::string text(16, '#');
  struct Row {
    const char* what;
    int answer;
    int expected;
  };
  const Row rows[] = {
      {"settings without text", lib_.copier_settings(expert, nullptr, 5), -1},
      {"settings of size 0", lib_.copier_settings(expert, Bytes("x=1"), 0), -1},
      {"order without symbol", lib_.copier_order_add(expert, 0, 1, 0, 1, nullptr, 7, 1, 0, 0, 0, 0), -1},
      {"order of pool 2", lib_.copier_order_add(expert, 2, 1, 0, 1, Bytes("EURUSD"), 7, 1, 0, 0, 0, 0), -1},
      {"order of an unknown expert", lib_.copier_order_add(stranger, 0, 1, 0, 1, Bytes("EURUSD"), 7, 1, 0, 0, 0, 0), -1},
      {"symbols wanted by an unknown expert", lib_.copier_symbols_wanted(stranger), 0},
      {"symbol name past the last", lib_.copier_symbol_name(expert, 0, Bytes(text), 16), 0},
      {"symbol name without buffer", lib_.copier_symbol_name(expert, 0, nullptr, 16), 0},
      {"facts of size 0", lib_.copier_symbol_add(expert, Bytes("EURUSD"), 0, 1, 5, 1e-5, 0.01, 100, 0.01, 0, 1, 1), -1},
      {"facts of an unknown expert", lib_.copier_symbol_add(stranger, Bytes("EURUSD"), 7, 1, 5, 1e-5, 0.01, 100, 0.01, 0, 1, 1), -1},
      {"plan of an unknown expert", lib_.copier_plan(stranger), -1},
      {"action of an unknown expert", lib_.copier_action_get(stranger, 0, &i, &i, Bytes(text), 16, &i, &d, &d, &d, &d, &i, &i, Bytes(text), 16), 0},
      {"action past the last", lib_.copier_action_get(expert, 0, &i, &i, Bytes(text), 16, &i, &d, &d, &d, &d, &i, &i, Bytes(text), 16), 0},
      {"action without kind", lib_.copier_action_get(expert, 0, nullptr, &i, Bytes(text), 16, &i, &d, &d, &d, &d, &i, &i, Bytes(text), 16), 0},
      {"result of an action past the last", lib_.copier_action_done(expert, 0, 0, 0), 0},
      {"log of an unknown expert", lib_.copier_log_count(stranger), 0},
      {"log line of size 0", lib_.copier_log_get(expert, 0, Bytes(text), 0), 0},
      {"log line past the last", lib_.copier_log_get(expert, 1000, Bytes(text), 16), 0},
      {"end of an unknown expert", lib_.copier_end(stranger), -1},
  };
  for (const Row& row : rows) EXPECT_EQ(row.answer, row.expected) << row.what;
  EXPECT_EQ(text, std::string(16, '#'));
  EXPECT_EQ(i, 0);
  EXPECT_EQ(d, 0);
  EXPECT_EQ(lib_.copier_end(expert), 0);
}

// Two experts of one terminal, each on its own thread: one fetches and splits while the other
// plans over the model, many times; every answer stays the one of a quiet terminal.
TEST_F(SlaveCopier, SplitsAndPlansOfTwoExpertsNeverMeet) {
  const std::string channel = UniqueChannel("together");
  RunningHub hub(SettingsFor(channel).c_str());
  ASSERT_NE(hub.WaitForEndpoint(channel), nullptr) << "the hub did not start";
  ASSERT_NE(FindHub(channel), 0);
  ASSERT_EQ(lib_.qelv_marker_send(Chart(), 1), 0);
  InProcessMaster master(channel);
  ASSERT_TRUE(master.Loaded());
  master.OpenAndSend(1001, 1.0);
  ASSERT_EQ(FetchAndSplit(), 1);
  const int expert = 21;
  ASSERT_EQ(lib_.copier_settings(expert, Bytes(""), 1), 0);
  ASSERT_EQ(Pass(expert), 1);

  struct Splitter {
    const SlaveExports* lib;
    int chart;
    std::atomic<int> odd_answers{0};
    static DWORD WINAPI Run(void* param) {
      auto* self = static_cast<Splitter*>(param);
      for (int n = 0; n < 300; n++) {
        self->lib->qelv_images_get(self->chart);
        if (self->lib->images_split() != 1 || self->lib->images_total() != 1) self->odd_answers++;
      }
      return 0;
    }
  } splitter{&lib_, Chart()};
  HANDLE thread = CreateThread(NULL, 0, Splitter::Run, &splitter, 0, NULL);
  ASSERT_NE(thread, nullptr);
  int odd_plans = 0;
  for (int n = 0; n < 300; n++)
    if (Pass(expert) != 1) odd_plans++;
  EXPECT_EQ(WaitForSingleObject(thread, kLimitMs), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(splitter.odd_answers, 0);
  EXPECT_EQ(odd_plans, 0);
}

// ---------------------------------------------------------------------------------------------
TEST_F(SlaveCopier, WaitWithoutAHubAnswersMinusOne) {
  EXPECT_EQ(lib_.qelv_wait_crc(0, 0), -1);
  EXPECT_EQ(lib_.qelv_wait_crc(0, 50), -1);
  EXPECT_EQ(FindHub("QelvNoSuchChannel"), 0);
  EXPECT_EQ(lib_.qelv_wait_crc(0, 50), -1);
}

TEST_F(SlaveCopier, WaitReturnsTheNewChecksumOnceAMasterSendsAnImage) {
  const std::string channel = UniqueChannel("wait");
  RunningHub hub(SettingsFor(channel).c_str());
  ASSERT_NE(hub.WaitForEndpoint(channel), nullptr) << "the hub did not start";
  ASSERT_NE(FindHub(channel), 0);
  InProcessMaster master(channel);
  ASSERT_TRUE(master.Loaded());
  const int held = lib_.qelv_get_crc();

  // The master sends from another thread while this one waits.
  struct Sender {
    InProcessMaster* master;
    static DWORD WINAPI Run(void* param) {
      Sleep(100);
      static_cast<Sender*>(param)->master->OpenAndSend(1001, 1.0);
      return 0;
    }
  } sender{&master};
  HANDLE thread = CreateThread(NULL, 0, Sender::Run, &sender, 0, NULL);
  ASSERT_NE(thread, nullptr);
  int seen = held;
  EXPECT_TRUE(PollUntil(kLimitMs, [&] { return (seen = lib_.qelv_wait_crc(held, 1000)) != held; }));
  EXPECT_EQ(WaitForSingleObject(thread, kLimitMs), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(seen, lib_.qelv_get_crc());
  lib_.qelv_images_get(Chart());
  EXPECT_EQ(lib_.images_calc_crc(), seen) << "not the checksum of the set the hub hands out";

  // Asked with the new checksum, it waits out the time and answers it again.
  EXPECT_EQ(lib_.qelv_wait_crc(seen, 50), seen);
  EXPECT_EQ(lib_.qelv_wait_crc(seen, 0), seen);
  EXPECT_EQ(lib_.qelv_wait_crc(seen, -20), seen);
  // Asked with another, it answers the published one at once.
  EXPECT_EQ(lib_.qelv_wait_crc(held, 1000), seen);
}

TEST_F(SlaveCopier, WaitForAHubThatEndedAnswersMinusOne) {
  const std::string channel = UniqueChannel("ended");
  {
    RunningHub hub(SettingsFor(channel).c_str());
    ASSERT_NE(hub.WaitForEndpoint(channel), nullptr) << "the hub did not start";
    ASSERT_NE(FindHub(channel), 0);
    EXPECT_EQ(lib_.qelv_wait_crc(1, 0), 0);  // nothing published yet
  }
  EXPECT_TRUE(PollUntil(kLimitMs, [&] { return lib_.qelv_wait_crc(0, 10) == -1; }));
}

// The hub's signal by the name the libraries compute, for channel ids with and without a '\'.
TEST(HubSignal, SetAfterEveryPublication) {
  const std::string plain = UniqueChannel("signal");
  for (const std::string& channel : {plain, plain + "\\x"}) {
    RunningHub hub(SettingsFor(channel).c_str());
    ASSERT_NE(hub.WaitForEndpoint(channel), nullptr) << "the hub did not start: " << channel;
    const std::string expected_name =
        "Local\\qelv." + plain + (channel == plain ? "" : "_x") + ".published";
    ASSERT_EQ(link::PublishedEventName(channel), expected_name);
    HANDLE signal = OpenEventA(SYNCHRONIZE, FALSE, expected_name.c_str());
    ASSERT_NE(signal, nullptr) << expected_name;
    EXPECT_EQ(WaitForSingleObject(signal, 0), WAIT_TIMEOUT) << "left set";

    // A waiter counts the signals while the master sends, until one came.
    struct Waiter {
      HANDLE signal;
      std::atomic<bool> stop{false};
      std::atomic<int> signals{0};
      static DWORD WINAPI Run(void* param) {
        auto* self = static_cast<Waiter*>(param);
        while (!self->stop)
          if (WaitForSingleObject(self->signal, 20) == WAIT_OBJECT_0) self->signals++;
        return 0;
      }
    } waiter{signal};
    HANDLE thread = CreateThread(NULL, 0, Waiter::Run, &waiter, 0, NULL);
    ASSERT_NE(thread, nullptr);
    InProcessMaster master(channel);
    ASSERT_TRUE(master.Loaded());
    int ticket = 1000;
    EXPECT_TRUE(PollUntil(kLimitMs, [&] {
      master.OpenAndSend(++ticket, 1.0);
      return waiter.signals > 0;
    })) << channel;
    waiter.stop = true;
    EXPECT_EQ(WaitForSingleObject(thread, kLimitMs), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(WaitForSingleObject(signal, 0), WAIT_TIMEOUT) << "left set";
    CloseHandle(signal);
  }
}

}  // namespace
