#include "image_text.h"

#include "fixed_point.h"

std::string BuildImageText(std::string_view channel_id, std::string_view login,
                           std::string_view market, std::string_view history) {
  std::string text;
  text.reserve(99 + channel_id.size() + login.size() + market.size() + history.size());
  text += tag::kImageOpen;
  text += tag::kChannelIdOpen, text += channel_id, text += tag::kChannelIdClose;
  text += tag::kLoginOpen, text += login, text += tag::kLoginClose;
  text += tag::kMarketOpen, text += market, text += tag::kMarketClose;
  text += tag::kHistoryOpen, text += history, text += tag::kHistoryClose;
  text += tag::kImageClose;
  return text;
}

void AppendImageSetHeader(std::string& out, int masters, int slaves) {
  out += tag::kMasterCountOpen, AppendInt(out, masters), out += tag::kMasterCountClose;
  out += tag::kSlaveCountOpen, AppendInt(out, slaves), out += tag::kSlaveCountClose;
}
