#include "trade_errors.h"

#include "fixed_point.h"
#include "trade_retcodes.h"

namespace {

struct KnownError {
  int32_t code;
  TradeErrorKind kind;
  const char* text;
};

constexpr TradeErrorKind kTransient = TradeErrorKind::kTransient;
constexpr TradeErrorKind kPermanent = TradeErrorKind::kPermanent;

const KnownError kKnownErrors[] = {
    {2, kPermanent, "common error"},
    {3, kPermanent, "invalid trade parameters"},
    {4, kTransient, "trade server busy"},
    {6, kTransient, "no connection"},
    {8, kTransient, "too frequent requests"},
    {64, kPermanent, "account disabled"},
    {65, kPermanent, "invalid account"},
    {128, TradeErrorKind::kUnknownOutcome, "trade timeout"},
    {129, kTransient, "invalid price"},
    {130, kPermanent, "invalid stops"},
    {131, kPermanent, "invalid trade volume"},
    {132, kPermanent, "market closed"},
    {133, kPermanent, "trade disabled"},
    {134, kPermanent, "not enough money"},
    {135, kTransient, "price changed"},
    {136, kTransient, "off quotes"},
    {137, kTransient, "broker busy"},
    {138, kTransient, "requote"},
    {139, kPermanent, "order locked"},
    {140, kPermanent, "long positions only"},
    {141, kTransient, "too many requests"},
    {145, kPermanent, "modification denied: too close to market"},
    {146, kTransient, "trade context busy"},
    {147, kPermanent, "expirations denied"},
    {148, kPermanent, "too many orders"},
    {149, kPermanent, "hedging prohibited"},
    {150, kPermanent, "prohibited by FIFO rules"},
    {4106, kPermanent, "unknown symbol"},
    {4109, kPermanent, "trade not allowed"},
};

const KnownError* Find(int32_t error) {
  for (const KnownError& known : kKnownErrors)
    if (known.code == error) return &known;
  return nullptr;
}

}  // namespace

TradeErrorKind ClassifyTradeError(int32_t error) {
  if (IsKnownRetcode(error)) return ClassifyRetcode(error);
  const KnownError* known = Find(error);
  return known ? known->kind : kPermanent;
}

bool MeansTradingIsOff(int32_t error) {
  return error == 132 || error == 133 || error == 4109 || RetcodeMeansTradingIsOff(error);
}

std::string TradeErrorText(int32_t error) {
  if (IsKnownRetcode(error)) return RetcodeText(error);
  std::string text;
  const KnownError* known = Find(error);
  if (!known) text = "error ";
  AppendInt(text, error);
  if (known) (text += ' ') += known->text;
  return text;
}
