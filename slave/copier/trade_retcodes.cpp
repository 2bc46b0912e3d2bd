#include "trade_retcodes.h"

#include "fixed_point.h"

namespace {

struct KnownRetcode {
  int32_t code;
  bool done;
  TradeErrorKind kind;  // of a failure
  const char* text;
};

constexpr bool kDone = true;
constexpr bool kFailed = false;
constexpr TradeErrorKind kTransient = TradeErrorKind::kTransient;
constexpr TradeErrorKind kPermanent = TradeErrorKind::kPermanent;

const KnownRetcode kKnownRetcodes[] = {
    {10004, kFailed, kTransient, "requote"},
    // A dealer's no is often the price of the moment: worth the bounded retry.
    {10006, kFailed, kTransient, "request rejected"},
    {10007, kFailed, kPermanent, "request cancelled by the trader"},
    {10008, kDone, kPermanent, "order placed"},
    {10009, kDone, kPermanent, "done"},
    {10010, kDone, kPermanent, "done partially"},
    {10011, kFailed, kTransient, "request processing error"},
    // Cancelled by timeout, the server says, but the request may have been dealt meanwhile.
    {10012, kFailed, TradeErrorKind::kUnknownOutcome, "request timeout"},
    {10013, kFailed, kPermanent, "invalid request"},
    {10014, kFailed, kPermanent, "invalid volume"},
    {10015, kFailed, kTransient, "invalid price"},
    {10016, kFailed, kPermanent, "invalid stops"},
    {10017, kFailed, kPermanent, "trade disabled"},
    {10018, kFailed, kPermanent, "market closed"},
    {10019, kFailed, kPermanent, "no money"},
    {10020, kFailed, kTransient, "price changed"},
    {10021, kFailed, kTransient, "off quotes"},
    {10022, kFailed, kPermanent, "invalid expiration"},
    {10023, kFailed, kTransient, "order state changed"},
    {10024, kFailed, kTransient, "too many requests"},
    {10025, kDone, kPermanent, "no changes"},
    {10026, kFailed, kPermanent, "autotrading disabled by the server"},
    {10027, kFailed, kPermanent, "autotrading disabled in the terminal"},
    {10028, kFailed, kTransient, "request locked for processing"},
    // Within the freeze level: passes when the price moves on.
    {10029, kFailed, kTransient, "order or position frozen"},
    {10030, kFailed, kPermanent, "invalid fill type"},
    {10031, kFailed, kTransient, "no connection"},
    {10032, kFailed, kPermanent, "only for real accounts"},
    {10033, kFailed, kPermanent, "pending orders limit reached"},
    {10034, kFailed, kPermanent, "volume limit reached"},
    {10035, kFailed, kPermanent, "invalid or prohibited order type"},
    {10036, kFailed, kPermanent, "position already closed"},
    {10038, kFailed, kPermanent, "invalid close volume"},
    {10039, kFailed, kPermanent, "close order already exists"},
    {10040, kFailed, kPermanent, "positions limit reached"},
    {10041, kFailed, kPermanent, "pending order activation rejected"},
    {10042, kFailed, kPermanent, "long positions only"},
    {10043, kFailed, kPermanent, "short positions only"},
    {10044, kFailed, kPermanent, "closing only"},
    {10045, kFailed, kPermanent, "prohibited by FIFO rules"},
    {10046, kFailed, kPermanent, "hedging prohibited"},
};

const KnownRetcode* Find(int32_t retcode) {
  for (const KnownRetcode& known : kKnownRetcodes)
    if (known.code == retcode) return &known;
  return nullptr;
}

}  // namespace

bool RetcodeMeansDone(int32_t retcode) {
  const KnownRetcode* known = Find(retcode);
  return known && known->done;
}

bool IsKnownRetcode(int32_t retcode) { return Find(retcode) != nullptr; }

TradeErrorKind ClassifyRetcode(int32_t retcode) {
  const KnownRetcode* known = Find(retcode);
  return known && !known->done ? known->kind : kPermanent;
}

bool RetcodeMeansTradingIsOff(int32_t retcode) {
  return retcode == 10017 || retcode == 10018 || retcode == 10026 || retcode == 10027;
}

std::string RetcodeText(int32_t retcode) {
  std::string text;
  const KnownRetcode* known = Find(retcode);
  if (!known) text = "error ";
  AppendInt(text, retcode);
  if (known) (text += ' ') += known->text;
  return text;
}
