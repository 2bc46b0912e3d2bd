// The copier as the library's exports call it, with the arguments an MQL4 expert passes: a
// whole pass over a split image set, settings problems in the log, answers to bad arguments,
// two experts claiming one login, times on both clocks and opens refused while trading was off.
#include "copier_experts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "copier_builders.h"
#include "image_set_split.h"
#include "image_text.h"
#include "order_line.h"

namespace {

// A text as an expert passes it: its bytes and the zero after them.
TextIn In(const std::string& text) { return {text.c_str(), static_cast<int32_t>(text.size() + 1)}; }

std::string Lines(const std::vector<TOrder>& orders) {
  std::string text;
  for (const TOrder& o : orders) {
    if (!text.empty()) text += '\n';
    text += FormatOrderLine({o.num1, o.num2, o.type, o.lots, o.symbol, o.price6, o.price7, o.price8,
                             o.close_time, o.close_price, o.num11, o.num12, o.comment},
                            5, 2);
  }
  return text;
}

// The model a slave holds after splitting the hub's text with this one master's image.
ImageSet SplitSet(const TImage& image) {
  std::string text;
  AppendImageSetHeader(text, 1, 2);
  text += BuildImageText(image.channel_id, image.login, Lines(image.market), Lines(image.history));
  ImageSet set;
  EXPECT_EQ(SplitImageSet(text, set), 1) << set.error;
  return set;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", value);
  return text;
}

// One expert calling the copier as the reference expert does.
struct Expert {
  CopierExperts& copiers;
  int32_t id;

  int32_t Settings(const std::string& text) { return copiers.Settings(id, In(text)); }
  int32_t Add(int32_t pool, const SlaveOrder& order) { return copiers.OrderAdd(id, pool, order, In(order.symbol)); }
  int32_t Add(const SymbolFacts& facts) { return copiers.SymbolAdd(id, facts, In(facts.name)); }

  std::vector<std::string> Wanted(const ImageSet& set) {
    std::vector<std::string> names;
    const int32_t count = copiers.SymbolsWanted(id, set.images);
    for (int32_t i = 0; i < count; i++) {
      char name[64];
      EXPECT_EQ(copiers.SymbolName(id, i, {name, sizeof name}), 1);
      names.push_back(name);
    }
    return names;
  }

  // Begin, the account's orders, the facts of every wanted symbol that `facts` has (the others
  // not offered), the plan: its actions as text.
  std::vector<std::string> Pass(const ImageSet& set, const SlaveState& account,
                                const std::vector<SymbolFacts>& facts = {Eurusd(), Gold()}) {
    EXPECT_EQ(copiers.Begin(id, int32_t(account.now), int32_t(account.following_since)), 0);
    for (const SlaveOrder& order : account.open) EXPECT_EQ(Add(kSlaveOpen, order), 0);
    for (const SlaveOrder& order : account.history) EXPECT_EQ(Add(kSlaveHistory, order), 0);
    for (const std::string& name : Wanted(set)) {
      auto known = std::find_if(facts.begin(), facts.end(), [&](const SymbolFacts& f) { return f.name == name; });
      SymbolFacts given = known != facts.end() ? *known : SymbolFacts{name};
      EXPECT_EQ(Add(given), 0);
    }
    const int32_t count = copiers.Plan(id, set.images);
    std::vector<std::string> actions;
    for (int32_t i = 0; i < count; i++) actions.push_back(Action(i));
    return actions;
  }

  // "open #0 XAUUSD sell limit 0.2 at 1960 sl 0 tp 0 exp 1700003600 magic 123 'qelv 4711 #1002'"
  std::string Action(int32_t index) {
    int32_t kind = -1, ticket = -1, type = -1, expiration = -1, magic = -1;
    double lots = -1, price = -1, sl = -1, tp = -1;
    char symbol[32], comment[64];
    if (copiers.ActionGet(id, index, {&kind, &ticket, {symbol, sizeof symbol}, &type, &lots, &price, &sl, &tp,
                                      &expiration, &magic, {comment, sizeof comment}}) != 1)
      return "none";
    return std::string(ActionKindName(ActionKind(kind))) + " #" + std::to_string(ticket) + " " + symbol + " " +
           OrderTypeName(type) + " " + Number(lots) + " at " + Number(price) + " sl " + Number(sl) + " tp " +
           Number(tp) + " exp " + std::to_string(expiration) + " magic " + std::to_string(magic) + " '" + comment +
           "'";
  }

  std::vector<std::string> Log() const {
    std::vector<std::string> lines;
    for (int32_t i = 0; i < copiers.LogCount(id); i++) {
      char line[512];
      EXPECT_EQ(copiers.LogGet(id, i, {line, sizeof line}), 1);
      lines.push_back(line);
    }
    return lines;
  }
  bool Logged(const std::string& part) const {
    for (const std::string& line : Log())
      if (line.find(part) != std::string::npos) return true;
    return false;
  }
};

std::string Magic(const char* login, int32_t root) { return std::to_string(CopyMagic(login, root)); }

SlaveState At(SlaveState account, int64_t now, int64_t following_since = 0) {
  account.now = now;
  account.following_since = following_since;
  return account;
}

// ---------------------------------------------------------------------------------------------
TEST(CopierExperts, WholePassOverASplitSetThenNothingMore) {
  const ImageSet set = SplitSet(Image("4711",
                                      {Master(1001, kBuy, 1.0, "EURUSD", 1.08340).Sl(1.075).Tp(1.095),
                                       Master(1002, kSellLimit, 0.5, "GOLD", 1960).Expires(kNow + 3600)},
                                      {Master(1000, kSell, 1, "EURUSD", 1.09).Closed(kNow - 2)}));
  CopierExperts copiers;
  Expert expert{copiers, 77};
  ASSERT_EQ(expert.Settings("symbol_map=GOLD=XAUUSD; lot_multiplier=0.5"), 0);

  const SlaveOrder own = Slave(7000, kBuy, 0.3, "EURUSD", 1.08);  // no copy: left alone
  SlaveState account = Account({Slave(5000, kSell, 1, "EURUSD", 1.09).Of("4711", 1000), own});
  std::vector<std::string> wanted;
  ASSERT_EQ(copiers.Begin(77, int32_t(kNow), 0), 0);
  for (const SlaveOrder& order : account.open) ASSERT_EQ(expert.Add(kSlaveOpen, order), 0);
  wanted = expert.Wanted(set);
  std::sort(wanted.begin(), wanted.end());
  EXPECT_EQ(wanted, (std::vector<std::string>{"EURUSD", "XAUUSD"}));
  ASSERT_EQ(expert.Add(Eurusd()), 0);
  ASSERT_EQ(expert.Add(Gold()), 0);
  ASSERT_EQ(copiers.Plan(77, set.images), 3);
  EXPECT_EQ(expert.Action(0), "close #5000 EURUSD sell 1 at 1.0835 sl 0 tp 0 exp 0 magic " + Magic("4711", 1000) + " ''");
  EXPECT_EQ(expert.Action(1), "open #0 EURUSD buy 0.5 at 1.0835 sl 1.075 tp 1.095 exp 0 magic " +
                                  Magic("4711", 1001) + " 'qelv 4711 #1001'");
  EXPECT_EQ(expert.Action(2), "open #0 XAUUSD sell limit 0.2 at 1960 sl 0 tp 0 exp 1700003600 magic " +
                                  Magic("4711", 1002) + " 'qelv 4711 #1002'");
  EXPECT_TRUE(expert.Logged("open copy of 4711 #1001: buy 0.50 EURUSD at 1.08350"));
  for (int32_t i = 0; i < 3; i++) EXPECT_EQ(copiers.ActionDone(77, i, 0), 1) << i;
  EXPECT_EQ(copiers.ActionDone(77, 1, 0), 0) << "a result is recorded once";

  // The account as the terminal shows it after the three calls.
  SlaveOrder eur = Slave(9001, kBuy, 0.5, "EURUSD", 1.0835).Sl(1.075).Tp(1.095).Of("4711", 1001);
  SlaveOrder gold = Slave(9002, kSellLimit, 0.2, "XAUUSD", 1960).Expires(kNow + 3600).Of("4711", 1002);
  SlaveState after = Account({own, eur, gold}, {Slave(5000, kSell, 1, "EURUSD", 1.09).Of("4711", 1000)});
  EXPECT_EQ(expert.Pass(set, At(after, kNow + 1)), std::vector<std::string>{});
}

// On a netting account the session plans the net of the masters: two opposite masters' orders
// on one symbol make one deal of their difference, without copy magic or comment.
TEST(CopierExperts, NettingSessionDealsTheMastersNet) {
  const ImageSet set = SplitSet(Image("4711", {Master(1001, kBuy, 1.0, "EURUSD", 1.0834),
                                               Master(1002, kSell, 0.3, "EURUSD", 1.0834)}));
  CopierExperts copiers;
  Expert expert{copiers, 5};
  ASSERT_EQ(expert.Settings("netting=yes; masters=4711"), 0);
  const std::vector<std::string> actions = expert.Pass(set, Account({}));
  ASSERT_EQ(actions.size(), 1u);
  EXPECT_EQ(actions[0].rfind("open #0 EURUSD buy 0.7 ", 0), 0u) << actions[0];
}

// ---------------------------------------------------------------------------------------------
struct SettingsCase {
  const char* name;
  std::string bytes;  // what the expert's array holds
  int32_t size;       // -1: the whole array
  int32_t problems;
  std::vector<std::string> first_lines;
  const char* setting;  // a line of the log
};

void PrintTo(const SettingsCase& c, std::ostream* out) { *out << c.name; }

class Settings : public testing::TestWithParam<SettingsCase> {};

TEST_P(Settings, ProblemsCountedAndLoggedBeforeTheSettingsInUse) {
  const SettingsCase& c = GetParam();
  CopierExperts copiers;
  Expert expert{copiers, 5};
  const int32_t size = c.size < 0 ? int32_t(c.bytes.size()) : c.size;
  EXPECT_EQ(copiers.Settings(5, {c.bytes.data(), size}), c.problems);
  std::vector<std::string> log = expert.Log();
  ASSERT_GE(log.size(), c.first_lines.size());
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + c.first_lines.size()), c.first_lines);
  EXPECT_TRUE(expert.Logged(c.setting)) << c.setting;
}

std::string CaseName(const testing::TestParamInfo<SettingsCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Texts, Settings, testing::Values(
    SettingsCase{"AllFine", std::string("lot_multiplier=0.5\0", 19), -1, 0, {"setting lot_multiplier = 0.5"},
                 "setting master_time_offset = 0"},
    SettingsCase{"TwoProblems", std::string("lotz=1;reverse=maybe\0", 21), -1, 2,
                 {"lotz=1: unknown key", "reverse=maybe: not yes or no", "setting lot_multiplier = 1"},
                 "setting reverse = no"},
    SettingsCase{"UpToTheFirstZero", std::string("max_lots=2\0lotz=1\0", 18), -1, 0, {}, "setting max_lots = 2"},
    SettingsCase{"ArrayLongerThanItsText", std::string("max_lots=3") + std::string(54, '\0'), -1, 0, {},
                 "setting max_lots = 3"},
    SettingsCase{"NoZeroWithinTheSize", "max_lots=2x", 10, 0, {}, "setting max_lots = 2"},
    SettingsCase{"TimeOffset", std::string("master_time_offset=-3600\0", 25), -1, 0, {},
                 "setting master_time_offset = -3600"},
    SettingsCase{"TimeOffsetBeyondTwoDays", std::string("master_time_offset=172801\0", 26), -1, 1,
                 {"master_time_offset=172801: not a whole number of seconds from -172800 to 172800"},
                 "setting master_time_offset = 0"}),
    CaseName);

// ---------------------------------------------------------------------------------------------
// A session with a plan of one open, then every export with a bad argument: each answers its
// failure value, writes nothing and leaves the session as it was.
TEST(CopierExperts, BadArgumentsAnswerTheirFailureValueAndChangeNothing) {
  const ImageSet set = SplitSet(Image("4711", {Master(1001, kBuy, 1.0, "EURUSD", 1.08340)}));
  CopierExperts copiers;
  Expert expert{copiers, 1};
  ASSERT_EQ(expert.Settings("max_lots=2"), 0);
  ASSERT_EQ(expert.Pass(set, Account({})).size(), 1u);
  const std::vector<std::string> log = expert.Log();
  const std::string action = expert.Action(0);

  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  char text[16] = "untouched";
  int32_t i = 0;
  double d = 0;
  const TextBuffer none{nullptr, 16}, empty{text, 0}, buffer{text, sizeof text};
  auto action_out = [&](int32_t* kind, TextBuffer symbol, TextBuffer comment) {
    return ActionOut{kind, &i, symbol, &i, &d, &d, &d, &d, &i, &i, comment};
  };
  const SlaveOrder order = Slave(5001, kBuy, 1, "EURUSD", 1.08);
  auto with = [](SlaveOrder o, std::function<void(SlaveOrder&)> change) { return change(o), o; };
  auto facts_with = [](std::function<void(SymbolFacts&)> change) {
    SymbolFacts facts = Eurusd();
    change(facts);
    return facts;
  };
  struct Call {
    const char* what;
    std::function<int32_t()> call;
    int32_t answer;
  };
  const Call calls[] = {
      {"settings without text", [&] { return copiers.Settings(1, {nullptr, 10}); }, -1},
      {"settings of size 0", [&] { return copiers.Settings(1, {"max_lots=1", 0}); }, -1},
      {"settings of a negative size", [&] { return copiers.Settings(1, {"max_lots=1", -3}); }, -1},
      {"order without symbol", [&] { return copiers.OrderAdd(1, 0, order, {nullptr, 7}); }, -1},
      {"order's symbol of size 0", [&] { return copiers.OrderAdd(1, 0, order, {"EURUSD", 0}); }, -1},
      {"order of pool 2", [&] { return copiers.OrderAdd(1, 2, order, In("EURUSD")); }, -1},
      {"order of pool -1", [&] { return copiers.OrderAdd(1, -1, order, In("EURUSD")); }, -1},
      {"order of NaN lots", [&] { return copiers.OrderAdd(1, 0, with(order, [&](SlaveOrder& o) { o.lots = nan; }), In("EURUSD")); }, -1},
      {"order of infinite stop", [&] { return copiers.OrderAdd(1, 0, with(order, [&](SlaveOrder& o) { o.sl = inf; }), In("EURUSD")); }, -1},
      {"order of an unknown expert", [&] { return copiers.OrderAdd(2, 0, order, In("EURUSD")); }, -1},
      {"symbols wanted by an unknown expert", [&] { return copiers.SymbolsWanted(2, set.images); }, 0},
      {"symbol name -1", [&] { return copiers.SymbolName(1, -1, buffer); }, 0},
      {"symbol name past the last", [&] { return copiers.SymbolName(1, 1, buffer); }, 0},
      {"symbol name without buffer", [&] { return copiers.SymbolName(1, 0, none); }, 0},
      {"symbol name of size 0", [&] { return copiers.SymbolName(1, 0, empty); }, 0},
      {"symbol name of an unknown expert", [&] { return copiers.SymbolName(2, 0, buffer); }, 0},
      {"facts without name", [&] { return copiers.SymbolAdd(1, Eurusd(), {nullptr, 7}); }, -1},
      {"facts' name of size 0", [&] { return copiers.SymbolAdd(1, Eurusd(), {"EURUSD", 0}); }, -1},
      {"facts of NaN bid", [&] { return copiers.SymbolAdd(1, facts_with([&](SymbolFacts& f) { f.bid = nan; }), In("EURUSD")); }, -1},
      {"facts of infinite point", [&] { return copiers.SymbolAdd(1, facts_with([&](SymbolFacts& f) { f.point = inf; }), In("EURUSD")); }, -1},
      {"facts of an unknown expert", [&] { return copiers.SymbolAdd(2, Eurusd(), In("EURUSD")); }, -1},
      {"plan of an unknown expert", [&] { return copiers.Plan(2, set.images); }, -1},
      {"action -1", [&] { return copiers.ActionGet(1, -1, action_out(&i, buffer, buffer)); }, 0},
      {"action past the last", [&] { return copiers.ActionGet(1, 1, action_out(&i, buffer, buffer)); }, 0},
      {"action without kind", [&] { return copiers.ActionGet(1, 0, action_out(nullptr, buffer, buffer)); }, 0},
      {"action's symbol without buffer", [&] { return copiers.ActionGet(1, 0, action_out(&i, none, buffer)); }, 0},
      {"action's comment of size 0", [&] { return copiers.ActionGet(1, 0, action_out(&i, buffer, empty)); }, 0},
      {"action of an unknown expert", [&] { return copiers.ActionGet(2, 0, action_out(&i, buffer, buffer)); }, 0},
      {"result of action -1", [&] { return copiers.ActionDone(1, -1, 0); }, 0},
      {"result of an action past the last", [&] { return copiers.ActionDone(1, 1, 0); }, 0},
      {"result for an unknown expert", [&] { return copiers.ActionDone(2, 0, 0); }, 0},
      {"log of an unknown expert", [&] { return copiers.LogCount(2); }, 0},
      {"log line -1", [&] { return copiers.LogGet(1, -1, buffer); }, 0},
      {"log line past the last", [&] { return copiers.LogGet(1, int32_t(log.size()), buffer); }, 0},
      {"log line without buffer", [&] { return copiers.LogGet(1, 0, none); }, 0},
      {"log line of size 0", [&] { return copiers.LogGet(1, 0, empty); }, 0},
      {"log line of an unknown expert", [&] { return copiers.LogGet(2, 0, buffer); }, 0},
      {"end of an unknown expert", [&] { return copiers.End(2); }, -1},
  };
  for (const Call& c : calls) {
    i = 12345, d = 1.5;
    EXPECT_EQ(c.call(), c.answer) << c.what;
    EXPECT_STREQ(text, "untouched") << c.what;
    EXPECT_EQ(i, 12345) << c.what;
    EXPECT_EQ(d, 1.5) << c.what;
  }
  EXPECT_EQ(expert.Log(), log);
  EXPECT_EQ(expert.Action(0), action);
  EXPECT_EQ(expert.Pass(set, Account({})), std::vector<std::string>{action}) << "bad orders and facts were kept";
  EXPECT_EQ(copiers.LogCount(2), 0) << "a failed call started a session";
}

TEST(CopierExperts, PlanWithoutSettingsAnswersMinusOne) {
  CopierExperts copiers;
  Expert expert{copiers, 3};
  const ImageSet set = SplitSet(Image("4711", {Master(1001, kBuy, 1.0, "EURUSD", 1.08340)}));
  ASSERT_EQ(copiers.Begin(3, int32_t(kNow), 0), 0);
  EXPECT_EQ(copiers.SymbolsWanted(3, set.images), 0);
  EXPECT_EQ(copiers.Plan(3, set.images), -1);
  EXPECT_EQ(expert.Log(), std::vector<std::string>{"no settings were given: nothing is planned"});
  EXPECT_EQ(copiers.End(3), 0);
  EXPECT_EQ(copiers.End(3), -1);
  EXPECT_EQ(copiers.Plan(3, set.images), -1);
}

// ---------------------------------------------------------------------------------------------
struct CutCase {
  const char* name;
  const char* settings;
  int32_t size;
  const char* first_line;
};

TEST(CopierExperts, OutputTextsCutBetweenCharacters) {
  // "lotz€=1: unknown key": the euro sign is the bytes 4 to 6.
  const CutCase cases[] = {
      {"OnlyTheZero", "lotz\xE2\x82\xAC=1", 1, ""},
      {"BeforeTheEuro", "lotz\xE2\x82\xAC=1", 5, "lotz"},
      {"NotHalfTheEuro", "lotz\xE2\x82\xAC=1", 7, "lotz"},
      {"TheWholeEuro", "lotz\xE2\x82\xAC=1", 8, "lotz\xE2\x82\xAC"},
      {"AllOfIt", "lotz\xE2\x82\xAC=1", 64, "lotz\xE2\x82\xAC=1: unknown key"},
  };
  for (const CutCase& c : cases) {
    CopierExperts copiers;
    ASSERT_EQ(copiers.Settings(1, In(c.settings)), 1) << c.name;
    char line[80];
    std::fill(std::begin(line), std::end(line), 'x');
    ASSERT_EQ(copiers.LogGet(1, 0, {line, c.size}), 1) << c.name;
    EXPECT_STREQ(line, c.first_line) << c.name;
    EXPECT_EQ(line[c.size], 'x') << c.name << ": written past the size";
  }
}

// ---------------------------------------------------------------------------------------------
TEST(CopierExperts, SecondExpertClaimingALoginLogsWhoCopiesIt) {
  const ImageSet set = SplitSet(Image("4711", {Master(1001, kBuy, 1.0, "EURUSD", 1.08340)}));
  CopierExperts copiers;
  Expert first{copiers, 101}, second{copiers, 202};
  ASSERT_EQ(first.Settings(""), 0);
  ASSERT_EQ(second.Settings(""), 0);
  EXPECT_EQ(first.Pass(set, Account({})).size(), 1u);
  EXPECT_EQ(second.Pass(set, Account({})), std::vector<std::string>{});
  EXPECT_TRUE(second.Logged("login 4711 is copied by the expert on chart 101"));
  // A second look changes nothing; the first expert's end frees the login at once.
  EXPECT_EQ(second.Pass(set, At(Account({}), kNow + 10)), std::vector<std::string>{});
  EXPECT_EQ(copiers.End(101), 0);
  EXPECT_EQ(second.Pass(set, At(Account({}), kNow + 11)).size(), 1u);
  EXPECT_EQ(first.Settings(""), 0);
  EXPECT_EQ(first.Pass(set, At(Account({}), kNow + 12)), std::vector<std::string>{});
  EXPECT_TRUE(first.Logged("login 4711 is copied by the expert on chart 202"));
}

TEST(CopierExperts, ExpertNotFollowingALoginLeavesItFree) {
  const ImageSet set = SplitSet(Image("4711", {Master(1001, kBuy, 1.0, "EURUSD", 1.08340)}));
  CopierExperts copiers;
  Expert other{copiers, 101}, copier{copiers, 202};
  ASSERT_EQ(other.Settings("masters=4712"), 0);
  ASSERT_EQ(copier.Settings(""), 0);
  EXPECT_EQ(other.Pass(set, Account({})), std::vector<std::string>{});
  EXPECT_EQ(copier.Pass(set, Account({})).size(), 1u);
}

// ---------------------------------------------------------------------------------------------
struct ClockCase {
  const char* name;
  const char* settings;
  int64_t now;              // the slave's server time
  int64_t following_since;  // the slave's server time
  TOrder master;
  std::vector<std::string> actions;
  const char* log;
};

TEST(CopierExperts, TimesOnTheSlavesClockMeetTheMastersTimes) {
  const std::string limit_magic = Magic("4711", 1005);
  const ClockCase cases[] = {
      {"ExpirationOnTheSlavesClock", "master_time_offset=3600", kNow - 3600, 0,
       Master(1005, kBuyLimit, 0.5, "EURUSD", 1.08).Expires(kNow + 7200),
       {"open #0 EURUSD buy limit 0.5 at 1.08 sl 0 tp 0 exp 1700003600 magic " + limit_magic + " 'qelv 4711 #1005'"},
       "expires 1700003600"},
      {"OpenedBeforeFollowingOnTheMastersClock", "master_time_offset=3600", kNow - 3600, kNow - 3610,
       Master(1001, kBuy, 1, "EURUSD", 1.0834).Opened(kNow - 100), {}, "opened before this account began following"},
  };
  for (const ClockCase& c : cases) {
    CopierExperts copiers;
    Expert expert{copiers, 9};
    ASSERT_EQ(expert.Settings(c.settings), 0) << c.name;
    const ImageSet set = SplitSet(Image("4711", {c.master}));
    EXPECT_EQ(expert.Pass(set, At(Account({}), c.now, c.following_since)), c.actions) << c.name;
    EXPECT_TRUE(expert.Logged(c.log)) << c.name << ": " << c.log;
  }
}

// ---------------------------------------------------------------------------------------------
struct RefusalCase {
  int32_t error;
  bool tried_again;  // a minute later
};

TEST(CopierExperts, OpensRefusedWhileTradingWasOffTriedAgainAfterAMinute) {
  const RefusalCase cases[] = {{132, true}, {133, true}, {4109, true}, {134, false}, {130, false}};
  const ImageSet set = SplitSet(Image("4711", {Master(1001, kBuy, 1.0, "EURUSD", 1.08340)}));
  for (const RefusalCase& c : cases) {
    CopierExperts copiers;
    Expert expert{copiers, 4};
    ASSERT_EQ(expert.Settings(""), 0);
    ASSERT_EQ(expert.Pass(set, Account({})).size(), 1u) << c.error;
    ASSERT_EQ(copiers.ActionDone(4, 0, c.error), 1);
    EXPECT_EQ(expert.Pass(set, At(Account({}), kNow + 59)), std::vector<std::string>{}) << c.error;
    EXPECT_TRUE(expert.Logged("open refused: " + std::to_string(c.error))) << c.error;
    EXPECT_EQ(expert.Pass(set, At(Account({}), kNow + 60)).size(), c.tried_again ? 1u : 0u) << c.error;
  }
}

}  // namespace
