#include "relay_plan.h"

#include <gtest/gtest.h>

#include "fake_mac.h"
#include "image_set_cut.h"
#include "image_text.h"

void PrintTo(const PublishPlan& p, std::ostream* os) {
  auto list = [os](const char* name, const std::vector<std::string>& logins) {
    *os << name << " [";
    for (const std::string& l : logins) *os << l << " ";
    *os << "] ";
  };
  list("publish", p.publish);
  list("clear", p.clear);
  list("unpublishable", p.unpublishable);
}

namespace {

std::string Image(std::string_view login, std::string_view market = "") {
  return BuildImageText("room1", login, market, "");
}

const std::string kLine = "101\t2\t0\t0.10\tEURUSD\t1.23450\t1.20000\t1.30000\t0\t0.00000\t11\t12\tc";

struct CutCase {
  const char* name;
  std::string set;
  ImageMap expected;
};
void PrintTo(const CutCase& c, std::ostream* os) { *os << c.name; }

std::string Set(std::initializer_list<std::string> images) {
  std::string set;
  AppendImageSetHeader(set, static_cast<int>(images.size()), 1);
  for (const std::string& image : images) set += image;
  return set;
}

class ImageSetCut : public testing::TestWithParam<CutCase> {};

TEST_P(ImageSetCut, KeepsEachImageByteForByte) { EXPECT_EQ(ImagesByLogin(GetParam().set), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(RelaySets, ImageSetCut, testing::Values(
    CutCase{"empty", "", {}},
    CutCase{"header only", Set({}), {}},
    CutCase{"two masters", Set({Image("1", kLine), Image("2")}), {{"1", Image("1", kLine)}, {"2", Image("2")}}},
    CutCase{"first of a login wins", Set({Image("1", kLine), Image("1")}), {{"1", Image("1", kLine)}}},
    CutCase{"image without a login", Set({BuildImageText("room1", "", "", "")}),
            {{"", BuildImageText("room1", "", "", "")}}},
    CutCase{"list ends at an empty image", Set({Image("1"), "<image>\n</image>\n", Image("2")}),
            {{"1", Image("1")}}},
    CutCase{"unclosed image ends the list", Set({Image("1")}) + "<image>\n<login>2</login>\n",
            {{"1", Image("1")}}},
    CutCase{"zero byte ends the set", Set({Image("1")}) + std::string(1, '\0') + Image("2"),
            {{"1", Image("1")}}}));

struct PublishCase {
  const char* name;
  ImageMap current;
  ImageMap published;
  std::set<std::string> injected;
  PublishPlan expected;
};
void PrintTo(const PublishCase& c, std::ostream* os) { *os << c.name; }

class Publisher : public testing::TestWithParam<PublishCase> {};

TEST_P(Publisher, PublishesChangesAndClearsLeavers) {
  const PublishCase& c = GetParam();
  const PublishPlan plan = PlanPublishing(c.current, c.published, c.injected);
  EXPECT_EQ(plan, c.expected);

  // Once the plan was carried out, the next pass has nothing left to do.
  ImageMap published = c.published;
  for (const std::string& login : plan.publish) published[login] = c.current.at(login);
  for (const std::string& login : plan.clear) published.erase(login);
  EXPECT_EQ(PlanPublishing(c.current, published, c.injected), (PublishPlan{{}, {}, plan.unpublishable}));
}

INSTANTIATE_TEST_SUITE_P(RelayPlans, Publisher, testing::Values(
    PublishCase{"nothing", {}, {}, {}, {}},
    PublishCase{"first pass publishes all", {{"1", "a"}, {"2", "b"}}, {}, {}, {{"1", "2"}, {}, {}}},
    PublishCase{"unchanged stays", {{"1", "a"}}, {{"1", "a"}}, {}, {}},
    PublishCase{"changed is published", {{"1", "a2"}, {"2", "b"}}, {{"1", "a"}, {"2", "b"}}, {}, {{"1"}, {}, {}}},
    PublishCase{"leaver is cleared", {{"2", "b"}}, {{"1", "a"}, {"2", "b"}}, {}, {{}, {"1"}, {}}},
    PublishCase{"injected never published", {{"1", "a"}, {"9", "x"}}, {}, {"9"}, {{"1"}, {}, {}}},
    PublishCase{"injected never cleared", {}, {{"9", "x"}}, {"9"}, {}},
    PublishCase{"login unfit for a topic", {{"", "e"}, {"a/b", "s"}, {"1", "a"}}, {}, {},
                {{"1"}, {}, {"", "a/b"}}}));

struct IncomingCase {
  const char* name;
  std::string topic;
  std::string payload;
  IncomingDecision::Action action;
  std::string reason_part = "";
};
void PrintTo(const IncomingCase& c, std::ostream* os) { *os << c.name; }

const MacFunction kMac = FakeMac("channel secret 0123456789");
const std::vector<std::string> kLogins = {"4711", "4712", "4713", "4714"};
const std::set<std::string> kOwn = {"4714"};
constexpr uint64_t kApplied = 500;  // the last sequence applied for 4711
constexpr int64_t kNow = 1765190400000;
constexpr int64_t kMaxAge = 300'000;

std::string Sealed(std::string_view channel, std::string_view login, uint64_t seq,
                   std::string image = "", const MacFunction& mac = kMac, int64_t time_ms = kNow) {
  if (image.empty()) image = Image(login, kLine);
  return SealEnvelope({std::string(channel), std::string(login), seq, time_ms, image}, mac);
}

std::string SealedAt(int64_t time_ms, uint64_t seq = 900) {
  return Sealed("desk-a", "4711", seq, "", kMac, time_ms);
}

std::string Removal(uint64_t seq, const MacFunction& mac = kMac, int64_t time_ms = kNow) {
  return SealEnvelope({"desk-a", "4711", seq, time_ms, "", true}, mac);
}

class Subscriber : public testing::TestWithParam<IncomingCase> {};

TEST_P(Subscriber, AppliesRemovesOrRejects) {
  ReplayGuard guard;
  guard.Record("desk-a", "4711", kApplied);
  const SubscriberView view{"qelv", "desk-a", kLogins, kOwn, kMac, guard, kNow, kMaxAge};
  const IncomingDecision d = DecideIncoming(GetParam().topic, GetParam().payload, view);
  EXPECT_EQ(d.action, GetParam().action) << d.reason;
  EXPECT_NE(d.reason.find(GetParam().reason_part), std::string::npos) << d.reason;
  if (d.action == IncomingDecision::kReject) {
    EXPECT_FALSE(d.reason.empty());
  }
  if (d.action == IncomingDecision::kApply) {
    EXPECT_EQ(d.envelope.image, Image(d.login, kLine));
    EXPECT_EQ(d.envelope.login, d.login);
  }
  if (d.action == IncomingDecision::kRemove) {
    EXPECT_TRUE(d.envelope.removed);
    EXPECT_EQ(d.envelope.login, d.login);
  }
}

INSTANTIATE_TEST_SUITE_P(RelayMessages, Subscriber, testing::Values(
    IncomingCase{"fresh image", "qelv/desk-a/4711", Sealed("desk-a", "4711", kApplied + 1), IncomingDecision::kApply},
    IncomingCase{"first image of a login", "qelv/desk-a/4712", Sealed("desk-a", "4712", 1), IncomingDecision::kApply},
    IncomingCase{"signed removal", "qelv/desk-a/4711", Removal(kApplied + 1), IncomingDecision::kRemove},
    IncomingCase{"empty message", "qelv/desk-a/4711", "", IncomingDecision::kReject, "unsigned removal"},
    IncomingCase{"removal under another secret", "qelv/desk-a/4711", Removal(900, FakeMac("guessed secret")),
                 IncomingDecision::kReject, "bad signature"},
    IncomingCase{"removal without its mac", "qelv/desk-a/4711",
                 Removal(900).substr(0, Removal(900).rfind("mac ")), IncomingDecision::kReject, "unsigned"},
    IncomingCase{"replayed removal", "qelv/desk-a/4711", Removal(kApplied - 1), IncomingDecision::kReject,
                 "replay"},
    IncomingCase{"stale removal", "qelv/desk-a/4711", Removal(900, kMac, kNow - kMaxAge - 1000),
                 IncomingDecision::kReject, "stale"},
    IncomingCase{"the envelope applied last, again", "qelv/desk-a/4711", Sealed("desk-a", "4711", kApplied),
                 IncomingDecision::kApply},
    IncomingCase{"older sequence", "qelv/desk-a/4711", Sealed("desk-a", "4711", 3),
                 IncomingDecision::kReject, "replay"},
    IncomingCase{"unsigned image", "qelv/desk-a/4711", Image("4711"), IncomingDecision::kReject, "unsigned"},
    IncomingCase{"as old as allowed", "qelv/desk-a/4711", SealedAt(kNow - kMaxAge), IncomingDecision::kApply},
    IncomingCase{"stale image, however high its sequence", "qelv/desk-a/4711",
                 SealedAt(kNow - kMaxAge - 1, UINT64_MAX), IncomingDecision::kReject, "stale: sealed 300 s ago"},
    IncomingCase{"as far ahead as allowed", "qelv/desk-a/4711", SealedAt(kNow + kMaxAge), IncomingDecision::kApply},
    IncomingCase{"too far ahead of this clock", "qelv/desk-a/4711", SealedAt(kNow + kMaxAge + 1),
                 IncomingDecision::kReject, "ahead of this computer's clock"},
    IncomingCase{"sealed at the end of time", "qelv/desk-a/4711", SealedAt(INT64_MAX),
                 IncomingDecision::kReject, "ahead"},
    IncomingCase{"sealed in 1970", "qelv/desk-a/4711", SealedAt(0), IncomingDecision::kReject, "stale"},
    IncomingCase{"envelope version 1", "qelv/desk-a/4711",
                 [] {
                   std::string text = Sealed("desk-a", "4711", 900);
                   text.replace(0, 12, "qelv-relay 1");
                   return text;
                 }(),
                 IncomingDecision::kReject, "another version"},
    IncomingCase{"wrong secret", "qelv/desk-a/4711",
                 Sealed("desk-a", "4711", 900, "", FakeMac("guessed secret")),
                 IncomingDecision::kReject, "bad signature"},
    IncomingCase{"envelope moved to another login's topic", "qelv/desk-a/4712",
                 Sealed("desk-a", "4711", 900), IncomingDecision::kReject, "another login"},
    IncomingCase{"envelope of another channel on ours", "qelv/desk-a/4711",
                 Sealed("desk-b", "4711", 900), IncomingDecision::kReject, "another channel"},
    IncomingCase{"topic of another channel", "qelv/desk-b/4711", Sealed("desk-b", "4711", 900),
                 IncomingDecision::kReject, "wrong channel"},
    IncomingCase{"login not listed", "qelv/desk-a/9999", Sealed("desk-a", "9999", 900),
                 IncomingDecision::kReject, "not in the logins list"},
    IncomingCase{"removal of a login not listed", "qelv/desk-a/9999", "", IncomingDecision::kReject,
                 "not in the logins list"},
    IncomingCase{"own master coming back", "qelv/desk-a/4714", Sealed("desk-a", "4714", 900),
                 IncomingDecision::kReject, "publishes itself"},
    IncomingCase{"own master's removal", "qelv/desk-a/4714", "", IncomingDecision::kReject, "publishes itself"},
    IncomingCase{"image of another login inside", "qelv/desk-a/4713",
                 Sealed("desk-a", "4713", 900, Image("4711")), IncomingDecision::kReject, "image names"},
    IncomingCase{"other prefix", "x/desk-a/4711", Sealed("desk-a", "4711", 900), IncomingDecision::kReject,
                 "not a master topic"},
    IncomingCase{"deeper topic", "qelv/desk-a/4711/x", "", IncomingDecision::kReject, "not a master topic"}));

TEST(RelaySubscriber, EveryLoginWhenTheListIsEmpty) {
  ReplayGuard guard;
  const std::vector<std::string> every;
  const std::set<std::string> none;
  const SubscriberView view{"qelv", "desk-a", every, none, kMac, guard, kNow, kMaxAge};
  EXPECT_EQ(DecideIncoming("qelv/desk-a/9999", Sealed("desk-a", "9999", 1), view).action,
            IncomingDecision::kApply);
}

}  // namespace
