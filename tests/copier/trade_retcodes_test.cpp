// What an MT5 trade server's retcodes mean, read directly and through trade_errors.h as the
// memory reads them.
#include "trade_retcodes.h"

#include <gtest/gtest.h>

#include "trade_errors.h"

namespace {

TEST(Retcodes, DoneWhenPlacedDoneDonePartiallyOrNoChanges) {
  for (int32_t code : {10008, 10009, 10010, 10025}) EXPECT_TRUE(RetcodeMeansDone(code)) << code;
  for (int32_t code : {0, 10004, 10006, 10012, 10019, 10037, 10047}) EXPECT_FALSE(RetcodeMeansDone(code)) << code;
}

TEST(Retcodes, TransientUnknownOrPermanentAsTheMemoryReadsThem) {
  for (int32_t code : {10004, 10006, 10011, 10015, 10020, 10021, 10024, 10029, 10031}) {
    EXPECT_EQ(ClassifyRetcode(code), TradeErrorKind::kTransient) << code;
    EXPECT_EQ(ClassifyTradeError(code), TradeErrorKind::kTransient) << code;
  }
  EXPECT_EQ(ClassifyTradeError(10012), TradeErrorKind::kUnknownOutcome);
  for (int32_t code : {10007, 10013, 10014, 10016, 10017, 10019, 10030, 10040, 10044, 10045, 10046})
    EXPECT_EQ(ClassifyTradeError(code), TradeErrorKind::kPermanent) << code;
  // Codes nobody listed are not retried blind.
  for (int32_t code : {10000, 10005, 10037, 10047})
    EXPECT_EQ(ClassifyTradeError(code), TradeErrorKind::kPermanent) << code;
}

TEST(Retcodes, TradingIsOffWhileClosedDisabledOrWithoutAutotrading) {
  for (int32_t code : {10017, 10018, 10026, 10027}) EXPECT_TRUE(MeansTradingIsOff(code)) << code;
  for (int32_t code : {10019, 10044, 10031}) EXPECT_FALSE(MeansTradingIsOff(code)) << code;
}

TEST(Retcodes, TextsForTheLog) {
  EXPECT_EQ(TradeErrorText(10019), "10019 no money");
  EXPECT_EQ(TradeErrorText(10045), "10045 prohibited by FIFO rules");
  EXPECT_EQ(TradeErrorText(10037), "error 10037");
  // The terminal's own codes read as before.
  EXPECT_EQ(TradeErrorText(134), "134 not enough money");
}

}  // namespace
