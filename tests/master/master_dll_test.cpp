// The master library as the terminal sees it: loaded by name, exports found by their exact
// names and called through their stdcall prototypes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "channel_windows.h"
#include "image_checksum.h"
#include "library_fixture.h"
#include "window_value_win.h"

namespace {

struct Received {
  UINT msg;
  WPARAM wparam;
  LPARAM lparam;
  ULONG_PTR tag;
  std::string data;
};

// A stand-in hub: an owner window that records what reaches it and a hidden owned window
// whose class name plays the channel id.
struct StandInHub {
  static std::vector<Received> received;
  static LRESULT answer;
  static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COPYDATA) {
      auto* cds = reinterpret_cast<COPYDATASTRUCT*>(lp);
      received.push_back({msg, wp, lp, cds->dwData,
                          std::string(static_cast<char*>(cds->lpData), cds->cbData)});
      return answer;
    }
    if (msg >= 0xC000) {
      received.push_back({msg, wp, lp, 0, {}});
      return answer;
    }
    return DefWindowProcA(w, msg, wp, lp);
  }

  StandInHub(const char* channel, bool with_owner)
      : windows(channel, "QelvTestEndpoint", Proc, with_owner), endpoint(windows.Endpoint()) {
    received.clear();
    answer = 0;
  }

  ChannelWindows windows;
  HWND endpoint;
};
std::vector<Received> StandInHub::received;
LRESULT StandInHub::answer = 0;

class MasterDll : public LibraryFixture<MasterExports> {
 protected:
  MasterDll() : LibraryFixture(QELV_BIN_DIR "qelv_d30or.dll") {}
};

TEST_F(MasterDll, ExportsEveryNameExactly) {
  for (const char* name : {"_init", "_deinit", "_find_window", "_marker_send", "_get_crc", "_image_clear",
                           "_image_set", "_image_append", "_image_send", "_mt5_begin", "_mt5_history_begin",
                           "_mt5_position_add", "_mt5_order_add", "_mt5_deal_add", "_mt5_finished_order_add",
                           "_mt5_build", "_mt5_image_order_get"})
    EXPECT_NE(GetProcAddress(dll_, name), nullptr) << name;
  EXPECT_EQ(GetProcAddress(dll_, "_image_append@84"), nullptr);
}

TEST_F(MasterDll, FindsTheOwnerOfTheChannelWindowAndForgetsItAfterAFailedSearch) {
  StandInHub hub("QelvChannelA", true);
  lib_.init(0, 0);
  EXPECT_EQ(lib_.find_window("QelvChannelA"), WindowValue(hub.endpoint));
  EXPECT_EQ(lib_.marker_send(5, 6), 0);
  EXPECT_EQ(lib_.find_window("QelvNoSuchChannel"), 0);
  EXPECT_EQ(lib_.marker_send(5, 6), -1);
  EXPECT_EQ(lib_.deinit(5, 6), -1);
}

TEST_F(MasterDll, HubThatEndedAnswersMinusOneUntilFoundAgain) {
  auto find = lib_.find_window;
  auto marker = lib_.marker_send;
  lib_.init(0, 0);
  {
    StandInHub hub("QelvChannelE", true);
    ASSERT_NE(find("QelvChannelE"), 0);
    EXPECT_EQ(marker(1, 1), 0);
  }  // the hub's windows are gone
  EXPECT_EQ(marker(1, 1), -1);
  EXPECT_EQ(lib_.deinit(1, 1), -1);
  StandInHub again("QelvChannelE", true);
  ASSERT_NE(find("QelvChannelE"), 0);
  EXPECT_EQ(marker(1, 1), 0);
}

TEST_F(MasterDll, ChannelWindowWithoutOwnerIsNoHub) {
  StandInHub hub("QelvChannelB", false);
  EXPECT_EQ(lib_.find_window("QelvChannelB"), 0);
  EXPECT_EQ(lib_.marker_send(1, 1), -1);
}

TEST_F(MasterDll, MarkerAndDetachDeliverWindowAndInstanceAndReturnTheAnswer) {
  StandInHub hub("QelvChannelC", true);
  lib_.init(0, 0);
  lib_.find_window("QelvChannelC");
  StandInHub::answer = 1;
  EXPECT_EQ(lib_.marker_send(0x12345, -77), 1);
  StandInHub::answer = 0;
  EXPECT_EQ(lib_.deinit(0x12345, -77), 0);
  ASSERT_EQ(StandInHub::received.size(), 2u);
  EXPECT_EQ(StandInHub::received[0].msg, RegisterWindowMessageA("M_MARKER"));
  EXPECT_EQ(StandInHub::received[1].msg, RegisterWindowMessageA("M_DEINIT"));
  for (const Received& r : StandInHub::received) {
    EXPECT_EQ(r.wparam, 0x12345u);
    EXPECT_EQ(r.lparam, -77);
  }
}

TEST_F(MasterDll, ImageSendDeliversExactlyTheChecksummedText) {
  StandInHub hub("QelvChannelD", true);
  lib_.init(0, 0);
  lib_.image_clear();
  lib_.image_set("QelvChannelD", "4711");
  lib_.image_append(0, 5, 2, 101, 2, 0, 0.1, "EURUSD", 1.2345, 1.2, 1.3, 7, 9.9, 11, 12,
                    "comment");
  lib_.image_append(1, 5, 2, 102, 2, 1, 1, "GBPUSD", 1.5, 0, 0, 1234, 1.6, 0, 0, "");
  int crc = lib_.get_crc();
  lib_.image_send(42);  // no hub yet: nothing is sent
  EXPECT_TRUE(StandInHub::received.empty());

  lib_.find_window("QelvChannelD");
  lib_.image_send(42);
  ASSERT_EQ(StandInHub::received.size(), 1u);
  const Received& r = StandInHub::received[0];
  EXPECT_EQ(r.wparam, 42u);
  EXPECT_EQ(r.tag, 111u);
  EXPECT_EQ(r.data.find('\0'), std::string::npos);
  EXPECT_EQ(static_cast<int>(image_checksum(r.data.data(), static_cast<int32_t>(r.data.size()))),
            crc);
  EXPECT_NE(r.data.find("101\t2\t0\t0.10\tEURUSD\t1.23450\t1.20000\t1.30000\t0\t0.00000\t11\t12\tcomment</market>"),
            std::string::npos)
      << r.data;
  EXPECT_NE(r.data.find("\t1234\t1.60000\t0\t0\t</history>"), std::string::npos) << r.data;
}

TEST_F(MasterDll, EmptyImageChecksumWithoutInitOrHub) {
  lib_.image_clear();
  EXPECT_EQ(lib_.get_crc(), 356055240);
}

// 64-bit tickets and magic numbers cross the stdcall boundary whole, and come back cut.
TEST_F(MasterDll, Mt5PositionClosedInPartComesBackAsTwoImageOrders) {
  const unsigned char symbol[] = "EURUSD";
  const unsigned char comment[] = "c";
  const long long identifier = 0x100000007LL;
  EXPECT_EQ(lib_.mt5_begin(), 0);
  EXPECT_EQ(lib_.mt5_position_add(identifier, 0, 0.5, symbol, 7, 1.1, 1.0, 1.5, 100,
                                  0x100000009LL, comment, 2), 0);
  EXPECT_EQ(lib_.mt5_deal_add(1, identifier, identifier, 0, 0, 1.0, 1.1, 100, 0x100000009LL,
                              symbol, 7, comment, 2), 0);
  EXPECT_EQ(lib_.mt5_deal_add(2, identifier + 1, identifier, 1, 1, 0.5, 1.2, 200, 0, symbol, 7,
                              comment, 2), 0);
  EXPECT_EQ(lib_.mt5_position_add(1, 0, 0.5, nullptr, 7, 1.1, 0, 0, 0, 0, comment, 2), -1);
  ASSERT_EQ(lib_.mt5_build(1000, 3600, 200), 2);

  int pool, ticket, open_time, type, close_time, magic, expiration;
  double lots, open_price, sl, tp, close_price;
  unsigned char symbol_out[32], comment_out[128];
  auto get = [&](int index) {
    return lib_.mt5_image_order_get(index, &pool, &ticket, &open_time, &type, &lots, symbol_out,
                                    32, &open_price, &sl, &tp, &close_time, &close_price, &magic,
                                    &expiration, comment_out, 128);
  };
  ASSERT_EQ(get(0), 1);
  EXPECT_EQ(pool, 0);
  EXPECT_EQ(ticket, 8);
  EXPECT_EQ(magic, 9);
  EXPECT_EQ(sl, 1.0);
  EXPECT_STREQ(reinterpret_cast<char*>(comment_out), "from #7");
  ASSERT_EQ(get(1), 1);
  EXPECT_EQ(pool, 1);
  EXPECT_EQ(ticket, 7);
  EXPECT_EQ(close_time, 200);
  EXPECT_STREQ(reinterpret_cast<char*>(symbol_out), "EURUSD");
  EXPECT_EQ(get(2), 0);
}

}  // namespace
