// Results of trade calls: what each error code means, and stories of plans and results where
// the memory decides what the next plans may do.
#include "copy_memory.h"

#include <gtest/gtest.h>

#include "copier_builders.h"
#include "copy_plan.h"
#include "copy_settings.h"
#include "trade_errors.h"

namespace {

TEST(ClassifyTradeError, TransientUnknownOrPermanent) {
  for (int32_t code : {4, 6, 8, 129, 135, 136, 137, 138, 141, 146})
    EXPECT_EQ(ClassifyTradeError(code), TradeErrorKind::kTransient) << code;
  EXPECT_EQ(ClassifyTradeError(128), TradeErrorKind::kUnknownOutcome);
  for (int32_t code : {2, 3, 64, 65, 130, 131, 132, 133, 134, 139, 140, 145, 147, 148, 149, 150, 4106, 4109})
    EXPECT_EQ(ClassifyTradeError(code), TradeErrorKind::kPermanent) << code;
  // Codes nobody listed are not retried blind.
  for (int32_t code : {1, 5, 4051, 4108, -1})
    EXPECT_EQ(ClassifyTradeError(code), TradeErrorKind::kPermanent) << code;
}

TEST(TradeErrorText, CodeAndMeaning) {
  EXPECT_EQ(TradeErrorText(134), "134 not enough money");
  EXPECT_EQ(TradeErrorText(146), "146 trade context busy");
  EXPECT_EQ(TradeErrorText(4051), "error 4051");
}

struct Step {
  int64_t at;  // seconds after kNow
  std::vector<TImage> masters;
  std::vector<SlaveOrder> slave_open;
  std::vector<std::string> actions;  // what the plan asks
  int32_t result;                    // what the expert reports for each of them
  const char* log;                   // a line of the plan's log holds this
  int refusals = -1;                 // how many refusals the memory holds after the step
};

struct Story {
  const char* name;
  std::vector<Step> steps;
  const char* settings = "";
};

void PrintTo(const Story& story, std::ostream* out) { *out << story.name; }

class Memory : public testing::TestWithParam<Story> {};

TEST_P(Memory, DecidesWhatTheNextPlansMayDo) {
  CopyMemory memory;
  const CopySettings settings = ParseCopySettings(GetParam().settings).settings;
  for (size_t i = 0; i < GetParam().steps.size(); i++) {
    const Step& step = GetParam().steps[i];
    // Every story's history holds a deleted pending copy of the master's #1005.
    SlaveState slave = Account(step.slave_open, {Slave(8005, kBuyLimit, 0.5, "EURUSD", 1.08).Of("4711", 1005)});
    slave.now = kNow + step.at;
    CopyPlan plan = PlanCopy(step.masters, slave, settings, memory);
    EXPECT_EQ(Describe(plan.actions), step.actions) << "step " << i;
    bool logged = !*step.log;
    for (const std::string& line : plan.log) logged = logged || line.find(step.log) != std::string::npos;
    EXPECT_TRUE(logged) << "step " << i << ": no log line holds \"" << step.log << "\"";
    for (const CopyAction& action : plan.actions) memory.Record(action, step.result, slave.now);
    if (step.refusals >= 0) {
      EXPECT_EQ(int(memory.refusals().size()), step.refusals) << "step " << i;
    }
  }
}

std::string StoryName(const testing::TestParamInfo<Story>& info) { return info.param.name; }

const std::vector<TImage> kBuyImage = {Image("4711", {Master(1001, kBuy, 1, "EURUSD", 1.0834).Sl(1.075)})};
const std::vector<TImage> kMovedBuyImage = {Image("4711", {Master(1001, kBuy, 1, "EURUSD", 1.0834).Sl(1.076)})};
const std::vector<TImage> kClosedBuyImage = {Image("4711", {}, {Master(1001, kBuy, 1, "EURUSD", 1.0834).Closed(kNow)})};
const std::vector<TImage> kTriggeredImage = {Image("4711", {Master(1005, kBuy, 0.5, "EURUSD", 1.0834)})};
const SlaveOrder kCopy = Slave(9001, kBuy, 1, "EURUSD", 1.0835).Sl(1.075).Of("4711", 1001);
const char* kOpen = "open 4711 #1001: buy 1 EURUSD at 1.0835 sl 1.075 tp 0";
const char* kClose = "close #9001 1";

INSTANTIATE_TEST_SUITE_P(Results, Memory, testing::Values(
    Story{"TimedOutOpenThatWentThroughIsNeverSentAgain",
          {{0, kBuyImage, {}, {kOpen}, 128, ""},
           {10, kBuyImage, {}, {}, 0, "held after a trade timeout of its open until it shows or for 50 s more"},
           {20, kBuyImage, {kCopy}, {}, 0, ""},
           {200, kBuyImage, {kCopy}, {}, 0, ""}}},
    Story{"HoldEndsAsSoonAsTheCopyShows",
          {{0, kBuyImage, {}, {kOpen}, 128, ""},
           {5, kBuyImage, {Slave(9001, kBuy, 1, "EURUSD", 1.0835).Of("4711", 1001)},
            {"modify #9001 at 1.0835 sl 1.075 tp 0 exp 0"}, 0, ""}}},
    Story{"DeletedPendingCopyInTheHistoryDoesNotEndTheHold",
          {{0, kTriggeredImage, {}, {"open 4711 #1005: buy 0.5 EURUSD at 1.0835 sl 0 tp 0"}, 128, ""},
           {10, kTriggeredImage, {}, {}, 0, "held after a trade timeout of its open"}}},
    Story{"TimedOutOpenThatNeverShowsIsSentAgainAfterTheHold",
          {{0, kBuyImage, {}, {kOpen}, 128, ""},
           {59, kBuyImage, {}, {}, 0, "held after a trade timeout"},
           {60, kBuyImage, {}, {kOpen}, 0, ""}}},
    Story{"TimedOutCloseDecidedAfreshAfterTheHold",
          {{0, kClosedBuyImage, {kCopy}, {kClose}, 128, ""},
           {30, kClosedBuyImage, {kCopy}, {}, 0, "held after a trade timeout of its close"},
           {60, kClosedBuyImage, {kCopy}, {kClose}, 0, ""}}},
    Story{"TransientErrorsRetriedWithGrowingDelaysThenRefused",
          {{0, kBuyImage, {}, {kOpen}, 138, ""},
           {1, kBuyImage, {}, {}, 0, "retry 2 of 3 in 1 s after 138 requote"},
           {2, kBuyImage, {}, {kOpen}, 146, ""},
           {5, kBuyImage, {}, {}, 0, "retry 3 of 3 in 1 s after 146 trade context busy"},
           {6, kBuyImage, {}, {kOpen}, 146, "", 1},
           {500, kBuyImage, {}, {}, 0, "open refused: gave up after 3 tries, 146 trade context busy"},
           {501, kMovedBuyImage, {}, {"open 4711 #1001: buy 1 EURUSD at 1.0835 sl 1.076 tp 0"}, 0, "", 0}}},
    Story{"DoneStartsTheCountAgain",
          {{0, kBuyImage, {}, {kOpen}, 138, ""},
           {2, kBuyImage, {}, {kOpen}, 0, ""},
           {3, kClosedBuyImage, {kCopy}, {kClose}, 138, ""},
           {5, kClosedBuyImage, {kCopy}, {kClose}, 138, "", 0}}},
    Story{"PermanentErrorRefusesUntilTheMasterChangesItsOrder",
          {{0, kBuyImage, {}, {kOpen}, 134, "", 1},
           {1000, kBuyImage, {}, {}, 0, "skip master 4711 #1001 EURUSD: open refused: 134 not enough money"},
           {1001, kMovedBuyImage, {}, {"open 4711 #1001: buy 1 EURUSD at 1.0835 sl 1.076 tp 0"}, 0, "", 0}}},
    Story{"RefusedCloseTriedAgainEveryMinute",
          {{0, kClosedBuyImage, {kCopy}, {kClose}, 4109, ""},
           {59, kClosedBuyImage, {kCopy}, {}, 0, "close refused: 4109 trade not allowed"},
           {60, kClosedBuyImage, {kCopy}, {kClose}, 0, "", 0}}},
    Story{"OpenRefusedWhileTheMarketWasClosedTriedAgainEveryMinute",
          {{0, kBuyImage, {}, {kOpen}, 132, "", 1},
           {59, kBuyImage, {}, {}, 0, "open refused: 132 market closed"},
           {60, kBuyImage, {}, {kOpen}, 133, "", 1},
           {119, kBuyImage, {}, {}, 0, "open refused: 133 trade disabled"},
           {120, kBuyImage, {}, {kOpen}, 4109, "", 1},
           {180, kBuyImage, {}, {kOpen}, 0, "", 0}}},
    Story{"OpenRetriedAfterTheMarketOpenedStillMeetsTheGuards",
          {{0, kBuyImage, {}, {kOpen}, 132, "", 1},
           {60, kBuyImage, {}, {}, 0, "signal is 65 s old (at most 30)", 0}},
          "max_signal_age=30"},
    Story{"OpenRefusedForOtherReasonsWaitsForTheMaster",
          {{0, kBuyImage, {}, {kOpen}, 131, "", 1},
           {600, kBuyImage, {}, {}, 0, "open refused: 131 invalid trade volume", 1}}},
    Story{"RefusedModifyLiftedWhenTheMasterCloses",
          {{0, kMovedBuyImage, {kCopy}, {"modify #9001 at 1.0835 sl 1.076 tp 0 exp 0"}, 130, "", 1},
           {1, kMovedBuyImage, {kCopy}, {}, 0, "modify refused: 130 invalid stops"},
           {2, kClosedBuyImage, {kCopy}, {kClose}, 0, "", 0}}},
    Story{"ForgottenWithTheMastersOrders",
          {{0, kBuyImage, {}, {kOpen}, 134, "", 1},
           {1, {}, {}, {}, 0, "", 0},
           {2, kBuyImage, {}, {kOpen}, 0, ""}}}),
    StoryName);

}  // namespace
