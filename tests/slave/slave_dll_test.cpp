// The slave library as the terminal sees it: loaded by name, its exports called through their
// stdcall prototypes, a chart window of the test's own to subclass and a stand-in hub that
// answers requests the way the real one does.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "channel_windows.h"
#include "image_checksum.h"
#include "image_text.h"
#include "library_fixture.h"
#include "poll_until.h"
#include "window_thread.h"
#include "window_value_win.h"

namespace {

LRESULT SendFrame(HWND to, ULONG_PTR tag, const void* data, DWORD size) {
  COPYDATASTRUCT frame{tag, size, const_cast<void*>(data)};
  return SendMessageA(to, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&frame));
}

// A chart window with its own procedure, which records what reaches it.
struct Chart {
  struct Seen {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
  };
  static std::vector<Seen> seen;
  HWND window = 0;

  static LRESULT CALLBACK Own(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COPYDATA || msg >= WM_USER) {
      seen.push_back({msg, wp, lp});
      return 0x5EE;
    }
    return DefWindowProcA(w, msg, wp, lp);
  }
  static void RegisterChartClass() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Own;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "QelvTestChart";
    RegisterClassA(&wc);  // fails harmlessly the second time
  }
  Chart() {
    RegisterChartClass();
    window = CreateWindowExA(0, "QelvTestChart", "", 0, 0, 0, 0, 0, 0, 0, 0, 0);
    seen.clear();
  }
  ~Chart() { DestroyWindow(window); }
  bool Subclassed() const {
    return GetWindowLongPtrA(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(Own);
  }
};
std::vector<Chart::Seen> Chart::seen;

// The hub as the library meets it: an endpoint owning a hidden window of the channel's class,
// publishing a checksum in its user data and answering "S_GET_IMAGE" with `reply`.
struct StandInHub {
  struct Received {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
  };
  static std::vector<Received> received;
  static std::string reply;
  static bool replies;
  static LRESULT answer;

  static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg < 0xC000) return DefWindowProcA(w, msg, wp, lp);
    received.push_back({msg, wp, lp});
    if (msg == RegisterWindowMessageA("S_GET_IMAGE") && replies) {
      COPYDATASTRUCT frame{111, static_cast<DWORD>(reply.size()), reply.data()};
      SendMessageA(reinterpret_cast<HWND>(wp), WM_COPYDATA, reinterpret_cast<WPARAM>(w),
                   reinterpret_cast<LPARAM>(&frame));
      return 0;
    }
    return answer;
  }
  explicit StandInHub(const char* channel)
      : windows(channel, "QelvTestHubEndpoint", Proc), endpoint(windows.Endpoint()) {
    received.clear();
    reply.clear();
    replies = true;
    answer = 0;
  }
  void Publish(uint32_t checksum) {
    SetWindowLongPtrA(endpoint, GWLP_USERDATA, static_cast<LONG_PTR>(static_cast<int32_t>(checksum)));
  }

  ChannelWindows windows;
  HWND endpoint;
};
std::vector<StandInHub::Received> StandInHub::received;
std::string StandInHub::reply;
bool StandInHub::replies = true;
LRESULT StandInHub::answer = 0;

class SlaveDll : public LibraryFixture<SlaveExports> {
 protected:
  SlaveDll() : LibraryFixture(QELV_BIN_DIR "qelv_r30uv.dll") {}
  int Init(HWND chart) { return lib_.init(WindowValue(chart), 0); }
  int Deinit(HWND chart, int instance = 1) { return lib_.deinit(WindowValue(chart), instance); }
  int Fetch(HWND chart) { return lib_.qelv_images_get(WindowValue(chart)); }
  int HeldChecksum() { return lib_.images_calc_crc(); }
};

TEST_F(SlaveDll, ExportsAllItsNamesExactly) {
  for (const char* name : {"_images_split", "_images_total", "_images_get_info", "_image_select",
                           "_image_get_info", "_orders_total", "_order_select", "_order_get",
                           "_image_get_info_a", "_order_get_a", "_init", "_deinit",
                           "_find_window", "_qelv_marker_send", "_qelv_get_crc",
                           "_qelv_images_get", "_images_calc_crc", "_qelv_wait_crc",
                           "_copier_settings", "_copier_begin", "_copier_order_add",
                           "_copier_symbols_wanted", "_copier_symbol_name", "_copier_symbol_add",
                           "_copier_plan", "_copier_action_get", "_copier_action_done",
                           "_copier_log_count", "_copier_log_get", "_copier_end"})
    EXPECT_NE(GetProcAddress(dll_, name), nullptr) << name;
}

TEST_F(SlaveDll, WithoutAHubNothingIsSentAndTheEmptyTextIsHeld) {
  Chart chart;
  Init(chart.window);
  EXPECT_EQ(lib_.find_window("QelvNoSuchChannel"), 0);
  EXPECT_EQ(lib_.qelv_get_crc(), 0);
  EXPECT_EQ(lib_.qelv_marker_send(WindowValue(chart.window), 1), -1);
  EXPECT_EQ(Fetch(chart.window), -1);
  EXPECT_EQ(static_cast<uint32_t>(HeldChecksum()), 0x53F2F62Du);
  EXPECT_EQ(Deinit(chart.window), -1);
  EXPECT_FALSE(chart.Subclassed());  // restored although no hub is known
}

TEST_F(SlaveDll, HubThatEndedIsNoHubUntilFoundAgain) {
  Chart chart;
  Init(chart.window);
  auto find = lib_.find_window;
  auto marker = lib_.qelv_marker_send;
  {
    StandInHub hub("QelvChannelEnded");
    StandInHub::reply = "abc";
    hub.Publish(77);
    ASSERT_NE(find("QelvChannelEnded"), 0);
    ASSERT_EQ(Fetch(chart.window), 3);
  }  // the hub's windows are gone; the library still holds the endpoint
  EXPECT_EQ(marker(WindowValue(chart.window), 1), -1);  // not 0, which would read as accepted
  EXPECT_EQ(lib_.qelv_get_crc(), 0);
  EXPECT_EQ(Fetch(chart.window), -1);  // not the old length, as if fetched
  EXPECT_EQ(static_cast<uint32_t>(HeldChecksum()), image_checksum("abc", 3));
  StandInHub again("QelvChannelEnded");
  ASSERT_NE(find("QelvChannelEnded"), 0);
  EXPECT_EQ(marker(WindowValue(chart.window), 1), 0);
  EXPECT_EQ(Deinit(chart.window), 0);
}

// A hub without the signal (an older one) is polled: a change made while the library waits is
// seen all the same.
TEST_F(SlaveDll, WaitPollsAHubWithoutSignal) {
  StandInHub hub("QelvChannelNoSignal");
  ASSERT_NE(lib_.find_window("QelvChannelNoSignal"), 0);
  hub.Publish(5);
  EXPECT_EQ(lib_.qelv_wait_crc(4, 1000), 5);  // another checksum: at once
  EXPECT_EQ(lib_.qelv_wait_crc(5, 30), 5);    // the same after the time
  struct Publisher {
    HWND endpoint;
    static DWORD WINAPI Run(void* param) {
      Sleep(50);
      SetWindowLongPtrA(static_cast<Publisher*>(param)->endpoint, GWLP_USERDATA, 6);
      return 0;
    }
  } publisher{hub.endpoint};
  HANDLE thread = CreateThread(NULL, 0, Publisher::Run, &publisher, 0, NULL);
  ASSERT_NE(thread, nullptr);
  int seen = 5;
  EXPECT_TRUE(PollUntil(30000, [&] { return (seen = lib_.qelv_wait_crc(5, 1000)) != 5; }));
  EXPECT_EQ(seen, 6);
  EXPECT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
  CloseHandle(thread);
}

TEST_F(SlaveDll, SubclassesOnceForTwoInitsAndRestoresOnTheLastDeinit) {
  Chart chart;
  EXPECT_EQ(Init(chart.window), 0);
  LONG_PTR ours = GetWindowLongPtrA(chart.window, GWLP_WNDPROC);
  EXPECT_TRUE(chart.Subclassed());
  Init(chart.window);
  EXPECT_EQ(GetWindowLongPtrA(chart.window, GWLP_WNDPROC), ours);
  Deinit(chart.window);
  EXPECT_TRUE(chart.Subclassed());
  Deinit(chart.window);
  EXPECT_FALSE(chart.Subclassed());
  // A later attach subclasses again.
  Init(chart.window);
  EXPECT_TRUE(chart.Subclassed());
  Deinit(chart.window);
  EXPECT_FALSE(chart.Subclassed());
}

TEST_F(SlaveDll, DeinitWithoutInitNeitherCountsBelowZeroNorInstallsANullProcedure) {
  Chart chart;
  EXPECT_EQ(Deinit(chart.window), -1);
  EXPECT_EQ(Deinit(chart.window), -1);
  EXPECT_FALSE(chart.Subclassed());
  EXPECT_EQ(SendMessageA(chart.window, WM_USER + 1, 0, 0), 0x5EE);
  // The next attach is a first attach again.
  Init(chart.window);
  EXPECT_TRUE(chart.Subclassed());
  Deinit(chart.window);
  EXPECT_FALSE(chart.Subclassed());
}

TEST_F(SlaveDll, DeinitNamingAnotherWindowRestoresTheSubclassedOne) {
  Chart chart, other;
  LONG_PTR others_own = GetWindowLongPtrA(other.window, GWLP_WNDPROC);
  Init(chart.window);
  Deinit(other.window);
  EXPECT_FALSE(chart.Subclassed());
  EXPECT_EQ(GetWindowLongPtrA(other.window, GWLP_WNDPROC), others_own);
}

TEST_F(SlaveDll, OtherMessagesAndFramesWithOtherTagsReachTheWindowsOwnProcedure) {
  Chart chart;
  StandInHub hub("QelvChannelTags");
  StandInHub::reply = "kept";
  Init(chart.window);
  lib_.find_window("QelvChannelTags");
  ASSERT_EQ(Fetch(chart.window), 4);
  Chart::seen.clear();
  EXPECT_EQ(SendMessageA(chart.window, WM_USER + 7, 0x1234, -5), 0x5EE);
  EXPECT_EQ(SendFrame(chart.window, 112, "other", 5), 0x5EE);
  ASSERT_EQ(Chart::seen.size(), 2u);
  EXPECT_EQ(Chart::seen[0].msg, UINT(WM_USER + 7));
  EXPECT_EQ(Chart::seen[0].wp, 0x1234u);
  EXPECT_EQ(Chart::seen[0].lp, -5);
  EXPECT_EQ(Chart::seen[1].msg, UINT(WM_COPYDATA));
  EXPECT_EQ(static_cast<uint32_t>(HeldChecksum()), image_checksum("kept", 4));
  Deinit(chart.window);
}

TEST_F(SlaveDll, KeepsExactlyTheBytesOfEachTaggedFrame) {
  Chart chart;
  Init(chart.window);
  const char with_nul[] = "ab\0cd";
  EXPECT_EQ(SendFrame(chart.window, 111, with_nul, 5), 1);
  EXPECT_EQ(static_cast<uint32_t>(HeldChecksum()), image_checksum(with_nul, 5));
  // A length without data is no frame: the held text stays.
  EXPECT_EQ(SendFrame(chart.window, 111, nullptr, 3), 0);
  EXPECT_EQ(static_cast<uint32_t>(HeldChecksum()), image_checksum(with_nul, 5));
  EXPECT_EQ(SendFrame(chart.window, 111, nullptr, 0), 1);
  EXPECT_EQ(static_cast<uint32_t>(HeldChecksum()), 0x53F2F62Du);
  EXPECT_TRUE(Chart::seen.empty());
  Deinit(chart.window);
}

TEST_F(SlaveDll, FetchStoresTheHubsReplyBeforeItReturns) {
  Chart chart;
  StandInHub hub("QelvChannelFetch");
  Init(chart.window);
  ASSERT_EQ(lib_.find_window("QelvChannelFetch"), WindowValue(hub.endpoint));
  EXPECT_EQ(lib_.qelv_get_crc(), 0);  // nothing accepted yet
  StandInHub::reply = std::string("<master_cnt>1</master_cnt>\n\0tail", 33);
  hub.Publish(image_checksum(StandInHub::reply.data(), 33));
  EXPECT_EQ(Fetch(chart.window), 33);
  EXPECT_EQ(lib_.qelv_get_crc(), HeldChecksum());
  EXPECT_EQ(lib_.images_split(), 1);
  int masters = -1, slaves = -1;
  lib_.images_get_info(&masters, &slaves);
  EXPECT_EQ(masters, 1);
  // An empty reply empties the held text.
  StandInHub::reply.clear();
  EXPECT_EQ(Fetch(chart.window), 0);
  EXPECT_EQ(static_cast<uint32_t>(HeldChecksum()), 0x53F2F62Du);
  // No reply at all: the text held before stays.
  StandInHub::reply = "abc";
  Fetch(chart.window);
  StandInHub::replies = false;
  EXPECT_EQ(Fetch(chart.window), 3);
  ASSERT_FALSE(StandInHub::received.empty());
  EXPECT_EQ(StandInHub::received.back().wp, reinterpret_cast<WPARAM>(chart.window));
  Deinit(chart.window);
}

TEST_F(SlaveDll, MarkerAndDetachCarryWindowAndInstanceAndReturnTheHubsAnswer) {
  Chart chart;
  StandInHub hub("QelvChannelMarker");
  Init(chart.window);
  lib_.find_window("QelvChannelMarker");
  StandInHub::answer = 1;
  EXPECT_EQ(lib_.qelv_marker_send(WindowValue(chart.window), -77), 1);
  StandInHub::answer = 0;
  EXPECT_EQ(Deinit(chart.window, -77), 0);
  ASSERT_EQ(StandInHub::received.size(), 2u);
  EXPECT_EQ(StandInHub::received[0].msg, RegisterWindowMessageA("S_MARKER"));
  EXPECT_EQ(StandInHub::received[1].msg, RegisterWindowMessageA("S_DEINIT"));
  for (const auto& r : StandInHub::received) {
    EXPECT_EQ(r.wp, reinterpret_cast<WPARAM>(chart.window));
    EXPECT_EQ(r.lp, -77);
  }
  // A checksum with its top bit set comes back as the same 32 bits.
  hub.Publish(0xC5E530D5u);
  EXPECT_EQ(lib_.qelv_get_crc(), -974835499);
}

TEST_F(SlaveDll, QueriesWriteIntoTheTerminalsStringElements) {
  Chart chart;
  StandInHub hub("QelvChannelQueries");
  Init(chart.window);
  lib_.find_window("QelvChannelQueries");
  AppendImageSetHeader(StandInHub::reply, 1, 2);
  StandInHub::reply += BuildImageText(
      "room", "4711", "", "7\t8\t1\t0.50\tEURUSD\t1.10000\t1.00000\t1.20000\t1262304000\t1.15000\t5\t6\tnote");
  Fetch(chart.window);
  ASSERT_EQ(lib_.images_split(), 1);
  ASSERT_EQ(lib_.images_total(), 1);
  ASSERT_EQ(lib_.image_select(0), 1);
  std::string id(kChannelIdCapacity - 1, ' '), login(kLoginCapacity - 1, ' ');
  std::string symbol(kSymbolCapacity - 1, ' '), comment(kCommentCapacity - 1, ' ');
  TextSlot id_slot{kChannelIdCapacity - 1, id.data()};
  TextSlot login_slot{kLoginCapacity - 1, login.data()};
  TextSlot symbol_slot{kSymbolCapacity - 1, symbol.data()};
  TextSlot comment_slot{kCommentCapacity - 1, comment.data()};
  ASSERT_EQ(lib_.image_get_info(&id_slot, &login_slot), 1);
  EXPECT_STREQ(id.c_str(), "room");
  EXPECT_STREQ(login.c_str(), "4711");
  EXPECT_EQ(lib_.orders_total(0), 0);
  ASSERT_EQ(lib_.orders_total(1), 1);
  ASSERT_EQ(lib_.order_select(0, 1), 1);
  int num1 = 0, num2 = 0, type = 0, close_time = 0, num11 = 0, num12 = 0;
  double lots = 0, price6 = 0, price7 = 0, price8 = 0, close_price = 0;
  ASSERT_EQ(lib_.order_get(&num1, &num2, &type, &lots, &symbol_slot, &price6, &price7, &price8,
                           &close_time, &close_price, &num11, &num12, &comment_slot),
            1);
  EXPECT_EQ(num1, 7);
  EXPECT_EQ(num2, 8);
  EXPECT_EQ(type, 1);
  EXPECT_EQ(lots, 0.5);
  EXPECT_STREQ(symbol.c_str(), "EURUSD");
  EXPECT_EQ(price6, 1.1);
  EXPECT_EQ(price7, 1.0);
  EXPECT_EQ(price8, 1.2);
  EXPECT_EQ(close_time, 1262304000);
  EXPECT_EQ(close_price, 1.15);
  EXPECT_EQ(num11, 5);
  EXPECT_EQ(num12, 6);
  EXPECT_STREQ(comment.c_str(), "note");
  EXPECT_EQ(symbol_slot.length, kSymbolCapacity - 1);  // the element's length is not the library's to change
  Deinit(chart.window);
}

// An order as each kind of expert reads it: into string elements, or into uchar arrays of
// the sizes an expert declares.
struct OrderFieldsRead {
  int num1 = -1, num2 = -1, type = -1, close_time = -1, num11 = -1, num12 = -1;
  double lots = -1, price6 = -1, price7 = -1, price8 = -1, close_price = -1;
  std::string symbol = std::string(kSymbolCapacity, '#');
  std::string comment = std::string(kCommentCapacity, '#');

  int ReadElements(const SlaveExports& lib) {
    TextSlot symbol_slot{kSymbolCapacity - 1, &symbol[0]};
    TextSlot comment_slot{kCommentCapacity - 1, &comment[0]};
    return lib.order_get(&num1, &num2, &type, &lots, &symbol_slot, &price6, &price7, &price8,
                         &close_time, &close_price, &num11, &num12, &comment_slot);
  }
  int ReadBytes(const SlaveExports& lib, int symbol_size = kSymbolCapacity,
                int comment_size = kCommentCapacity) {
    return lib.order_get_a(&num1, &num2, &type, &lots, Bytes(symbol), symbol_size, &price6,
                           &price7, &price8, &close_time, &close_price, &num11, &num12,
                           Bytes(comment), comment_size);
  }
  static unsigned char* Bytes(std::string& text) {
    return reinterpret_cast<unsigned char*>(&text[0]);
  }
};

TEST_F(SlaveDll, ByteArrayReadsGiveWhatTheStringElementReadsGive) {
  Chart chart;
  StandInHub hub("QelvChannelBytes");
  Init(chart.window);
  lib_.find_window("QelvChannelBytes");
  AppendImageSetHeader(StandInHub::reply, 1, 2);
  StandInHub::reply += BuildImageText(
      "Zürich", "4711",
      "7\t8\t1\t0.50\tEURUSD\t1.10000\t1.00000\t1.20000\t0\t0\t5\t6\tGewinn €",
      "9\t10\t0\t2.00\tGER40\t15000.5\t0\t0\t1262304000\t15100.25\t0\t0\tnote");
  Fetch(chart.window);
  ASSERT_EQ(lib_.images_split(), 1);
  ASSERT_EQ(lib_.image_select(0), 1);

  std::string id(kChannelIdCapacity, '#'), login(kLoginCapacity, '#');
  TextSlot id_slot{kChannelIdCapacity - 1, &id[0]}, login_slot{kLoginCapacity - 1, &login[0]};
  ASSERT_EQ(lib_.image_get_info(&id_slot, &login_slot), 1);
  std::string id_bytes(kChannelIdCapacity, '#'), login_bytes(kLoginCapacity, '#');
  ASSERT_EQ(lib_.image_get_info_a(OrderFieldsRead::Bytes(id_bytes), kChannelIdCapacity,
                                  OrderFieldsRead::Bytes(login_bytes), kLoginCapacity),
            1);
  EXPECT_EQ(id_bytes, id);
  EXPECT_EQ(login_bytes, login);
  EXPECT_STREQ(id_bytes.c_str(), "Zürich");

  for (int pool : {0, 1}) {
    ASSERT_EQ(lib_.order_select(0, pool), 1);
    OrderFieldsRead elements, bytes;
    ASSERT_EQ(elements.ReadElements(lib_), 1);
    ASSERT_EQ(bytes.ReadBytes(lib_), 1);
    EXPECT_EQ(bytes.num1, elements.num1);
    EXPECT_EQ(bytes.num2, elements.num2);
    EXPECT_EQ(bytes.type, elements.type);
    EXPECT_EQ(bytes.lots, elements.lots);
    EXPECT_EQ(bytes.symbol, elements.symbol);  // the bytes after the zero included
    EXPECT_EQ(bytes.price6, elements.price6);
    EXPECT_EQ(bytes.price7, elements.price7);
    EXPECT_EQ(bytes.price8, elements.price8);
    EXPECT_EQ(bytes.close_time, elements.close_time);
    EXPECT_EQ(bytes.close_price, elements.close_price);
    EXPECT_EQ(bytes.num11, elements.num11);
    EXPECT_EQ(bytes.num12, elements.num12);
    EXPECT_EQ(bytes.comment, elements.comment);
  }
  EXPECT_EQ(lib_.order_select(0, 0), 1);
  OrderFieldsRead cut;
  ASSERT_EQ(cut.ReadBytes(lib_, kSymbolCapacity, 9), 1);  // room for "Gewinn " and half the euro
  EXPECT_EQ(cut.comment, std::string("Gewinn \0", 8) + std::string(kCommentCapacity - 8, '#'));
  OrderFieldsRead refused;
  EXPECT_EQ(refused.ReadBytes(lib_, 0, kCommentCapacity), 0);
  EXPECT_EQ(refused.num1, -1);
  EXPECT_EQ(refused.comment, std::string(kCommentCapacity, '#'));
  EXPECT_EQ(lib_.image_get_info_a(nullptr, kChannelIdCapacity, OrderFieldsRead::Bytes(login_bytes),
                                  kLoginCapacity),
            0);
  Deinit(chart.window);
}

TEST_F(SlaveDll, UnloadGivesTheChartItsOwnProcedureBack) {
  Chart chart;
  Init(chart.window);
  ASSERT_TRUE(chart.Subclassed());
  FreeLibrary(dll_);
  dll_ = 0;
  EXPECT_FALSE(chart.Subclassed());
  EXPECT_EQ(SendMessageA(chart.window, WM_USER + 2, 0, 0), 0x5EE);
}

TEST_F(SlaveDll, ChartOwnedByAnotherThreadReceivesTheSet) {
  // The terminal's arrangement: the chart belongs to a thread that pumps messages, the expert's
  // calls come from another.
  Chart::RegisterChartClass();
  WindowThread ui("QelvTestChart", 0, 0);
  ASSERT_NE(ui.Window(), nullptr);
  StandInHub hub("QelvChannelThreads");
  StandInHub::reply = "<master_cnt>3</master_cnt>\n";
  Init(ui.Window());
  EXPECT_NE(GetWindowLongPtrA(ui.Window(), GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(Chart::Own));
  lib_.find_window("QelvChannelThreads");
  EXPECT_EQ(Fetch(ui.Window()), 27);
  Deinit(ui.Window());
  EXPECT_EQ(GetWindowLongPtrA(ui.Window(), GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(Chart::Own));
}

}  // namespace
