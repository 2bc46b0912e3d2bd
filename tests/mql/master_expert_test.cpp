// The shipped master expert (experts/e-qelv-master.mq4), translated, against a master library
// of the test's own that writes down what the expert appends and sends: which orders an image
// holds, with which decimals, and when it is sent.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fake_terminal.h"
#include "shipped_experts.h"

namespace {

using namespace mql::builtin;

struct MasterLibrary {
  std::string channel;
  int hub = 1;         // 0: no hub of the channel runs
  bool known = false;  // as the library: a hub found, and no marker failed since
  std::vector<std::string> image, markers;
  std::vector<std::vector<std::string>> sent;
} g_library;

std::string Text(const mql::uchar* bytes) { return bytes ? reinterpret_cast<const char*>(bytes) : "(none)"; }

int MQL_STDCALL Init(int, int) { return 0; }
int MQL_STDCALL Deinit(int window, int instance) {
  g_library.markers.push_back("deinit " + std::to_string(window) + " " + std::to_string(instance));
  return 0;
}
int MQL_STDCALL FindWindow(mql::uchar* channel) {
  g_library.channel = Text(channel);
  g_library.known = g_library.hub != 0;
  return g_library.hub;
}
int MQL_STDCALL MarkerSend(int window, int instance) {
  g_library.markers.push_back("marker " + std::to_string(window) + " " + std::to_string(instance));
  g_library.known = g_library.known && g_library.hub;
  return g_library.known ? 0 : -1;
}
int MQL_STDCALL GetCrc() { return static_cast<int>(std::hash<std::string>{}(testing::PrintToString(g_library.image))); }
void MQL_STDCALL ImageClear() { g_library.image.clear(); }
void MQL_STDCALL ImageSet(mql::uchar* channel, mql::uchar* login) {
  g_library.image.push_back("set " + Text(channel) + " " + Text(login));
}
void MQL_STDCALL ImageAppend(int pool, int price_digits, int lots_digits, int ticket, int open_time, int type,
                             double lots, mql::uchar* symbol, double price, double sl, double tp, int close_time,
                             double close_price, int magic, int expiration, mql::uchar* comment) {
  char line[512];
  std::snprintf(line, sizeof line, "%d: #%d %s type %d lots %g at %g sl %g tp %g open %d closed %d at %g magic %d exp %d "
                "'%s' digits %d/%d", pool, ticket, Text(symbol).c_str(), type, lots, price, sl, tp, open_time,
                close_time, close_price, magic, expiration, Text(comment).c_str(), price_digits, lots_digits);
  g_library.image.push_back(line);
}
void MQL_STDCALL ImageSend(int) { g_library.sent.push_back(g_library.image); }

const mql::mlong kNow = 1252972800;

mql::OrderRecord Order(int ticket, int type, double lots, const char* symbol, double price, const char* comment = "") {
  mql::OrderRecord o;
  o.ticket = ticket, o.type = type, o.lots = lots, o.symbol = symbol, o.open_price = price, o.comment = comment;
  o.open_time = kNow - 7200;
  return o;
}

mql::OrderRecord Closed(mql::OrderRecord o, mql::mlong seconds_ago, double price) {
  o.close_time = kNow - seconds_ago;
  o.close_price = price;
  return o;
}

struct MasterExpert : testing::Test {
  FakeTerminal terminal;
  std::unique_ptr<mql::Program4> expert = NewMasterExpert();

  MasterExpert() {
    g_library = MasterLibrary{};
    const std::pair<const char*, void*> functions[] = {
        {"_init", reinterpret_cast<void*>(&Init)},           {"_deinit", reinterpret_cast<void*>(&Deinit)},
        {"_find_window", reinterpret_cast<void*>(&FindWindow)}, {"_marker_send", reinterpret_cast<void*>(&MarkerSend)},
        {"_get_crc", reinterpret_cast<void*>(&GetCrc)},       {"_image_clear", reinterpret_cast<void*>(&ImageClear)},
        {"_image_set", reinterpret_cast<void*>(&ImageSet)},   {"_image_append", reinterpret_cast<void*>(&ImageAppend)},
        {"_image_send", reinterpret_cast<void*>(&ImageSend)}};
    for (const auto& [name, function] : functions) terminal.functions[std::string("qelv_d30or.dll::") + name] = function;
    terminal.now = kNow;
    terminal.market["EURUSD"] = {{MODE_DIGITS, 5}, {MODE_LOTSTEP, 0.01}};
    terminal.market["XAUUSD"] = {{MODE_DIGITS, 2}, {MODE_LOTSTEP, 0.001}};
    mql::ChartInfo chart;
    chart.window = 9101;
    expert->Attach(terminal, chart);
    EXPECT_TRUE(expert->SetInput("ChannelId", "room"));
  }
};

TEST_F(MasterExpert, PublishesOpenOrdersAndThoseClosedInTheLastHourWhenTheyChange) {
  terminal.trades = {Order(7, OP_BUY, 0.5, "EURUSD", 1.08345, "first")};
  terminal.history = {Closed(Order(5, OP_SELL, 0.25, "XAUUSD", 1900.5), 600, 1899.25),
                      Closed(Order(4, OP_BUY, 1, "EURUSD", 1.07), 7200, 1.08),
                      Closed(Order(3, 6, 1000, "", 0), 60, 0)};  // a balance line
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  EXPECT_EQ(g_library.channel, "room");
  EXPECT_EQ(expert->TimerMs(), 10);
  expert->OnTimer();
  ASSERT_EQ(g_library.sent.size(), 1u);
  EXPECT_EQ(g_library.sent[0],
            (std::vector<std::string>{
                "set room 4711",
                "0: #7 EURUSD type 0 lots 0.5 at 1.08345 sl 0 tp 0 open 1252965600 closed 0 at 0 magic 0 exp 0 'first' digits 5/2",
                "1: #5 XAUUSD type 1 lots 0.25 at 1900.5 sl 0 tp 0 open 1252965600 closed 1252972200 at 1899.25 magic 0 exp 0 '' "
                "digits 2/3"}));
  expert->OnTimer();
  EXPECT_EQ(g_library.sent.size(), 1u) << "nothing changed";
  terminal.trades[0].stop_loss = 1.07;
  expert->OnTimer();
  EXPECT_EQ(g_library.sent.size(), 2u);
}

TEST_F(MasterExpert, PublishesEveryClosedAncestorOfAPartialCloseChainHoweverOld) {
  terminal.trades = {Order(12, OP_BUY, 0.25, "EURUSD", 1.08, "from #11")};
  terminal.history = {Closed(Order(10, OP_BUY, 0.25, "EURUSD", 1.08, "to #11"), 5 * 3600, 1.09),
                      Closed(Order(11, OP_BUY, 0.5, "EURUSD", 1.08, "to #12"), 3 * 3600, 1.085)};
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  expert->OnTimer();
  ASSERT_EQ(g_library.sent.size(), 1u);
  std::vector<int> published;
  for (const std::string& line : g_library.sent[0])
    if (int ticket = 0; std::sscanf(line.c_str(), "%*d: #%d", &ticket) == 1) published.push_back(ticket);
  EXPECT_EQ(published, (std::vector<int>{12, 11, 10}));
}

TEST_F(MasterExpert, WritesEightDecimalsForASymbolTheTerminalDoesNotKnow) {
  terminal.trades = {Order(7, OP_BUY, 0.5, "GOLD", 1900.5)};
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  expert->OnTimer();
  ASSERT_EQ(g_library.sent.size(), 1u);
  EXPECT_NE(g_library.sent[0][1].find("digits 8/8"), std::string::npos) << g_library.sent[0][1];
}

TEST_F(MasterExpert, PublishesNothingBeforeTheAccountIsLoggedIn) {
  terminal.login = 0;
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  expert->OnTimer();
  EXPECT_TRUE(g_library.sent.empty());
}

TEST_F(MasterExpert, SendsItsImageAgainToAHubFoundAgain) {
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  expert->OnTimer();
  ASSERT_EQ(g_library.sent.size(), 1u);
  g_library.hub = 0;           // the hub went away: the next marker fails
  terminal.ticks += 5000;
  expert->OnTimer();
  g_library.hub = 1;           // and came back empty
  terminal.ticks += 5000;
  expert->OnTimer();
  EXPECT_EQ(g_library.sent.size(), 2u) << "the same image, for the new hub";
}

TEST_F(MasterExpert, RefusesInstanceZeroWhichTheHubWouldIgnore) {
  ASSERT_TRUE(expert->SetInput("Instance", "0"));
  EXPECT_EQ(expert->OnInit(), INIT_PARAMETERS_INCORRECT);
  ASSERT_EQ(terminal.journal.size(), 1u);
  EXPECT_NE(terminal.journal[0].find("Instance must not be 0"), std::string::npos);
}

TEST_F(MasterExpert, DetachesWithTheChartsWindowAndItsInstance) {
  ASSERT_EQ(expert->OnInit(), INIT_SUCCEEDED);
  expert->OnDeinit(REASON_REMOVE);
  EXPECT_EQ(g_library.markers.back(), "deinit 9101 1");
}

}  // namespace
