#include "relay_log.h"

#include <algorithm>
#include <cstdio>

namespace {

// Days since 1970-01-01 to a civil date (Howard Hinnant's days_from_civil, inverted).
void CivilFromDays(int64_t days, int64_t& year, unsigned& month, unsigned& day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const unsigned day_of_era = static_cast<unsigned>(days - era * 146097);
  const unsigned year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const unsigned day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const unsigned shifted_month = (5 * day_of_year + 2) / 153;  // March is 0
  day = day_of_year - (153 * shifted_month + 2) / 5 + 1;
  month = shifted_month < 10 ? shifted_month + 3 : shifted_month - 9;
  year = static_cast<int64_t>(year_of_era) + era * 400 + (month <= 2 ? 1 : 0);
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0); }

}  // namespace

std::string LogTimeText(int64_t unix_ms) {
  const int64_t days = FloorDiv(unix_ms, 86'400'000);
  const int64_t in_day = unix_ms - days * 86'400'000;
  int64_t year;
  unsigned month, day;
  CivilFromDays(days, year, month, day);
  char text[48];
  std::snprintf(text, sizeof text, "%04lld-%02u-%02u %02d:%02d:%02d.%03d",
                static_cast<long long>(year), month, day, static_cast<int>(in_day / 3'600'000),
                static_cast<int>(in_day / 60'000 % 60), static_cast<int>(in_day / 1000 % 60),
                static_cast<int>(in_day % 1000));
  return text;
}

std::string LogLine(int64_t unix_ms, std::string_view event, const std::vector<std::string>& hidden) {
  std::vector<std::string_view> longest_first(hidden.begin(), hidden.end());
  std::stable_sort(longest_first.begin(), longest_first.end(),
                   [](std::string_view a, std::string_view b) { return a.size() > b.size(); });
  std::string text(event);
  for (std::string_view secret : longest_first) {
    if (secret.empty()) continue;
    for (size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at + 3))
      text.replace(at, secret.size(), "***");
  }
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return LogTimeText(unix_ms) + " " + text + "\n";
}

RelayLog::RelayLog(std::string path, Clock now_ms) : path_(std::move(path)), now_ms_(std::move(now_ms)) {}

void RelayLog::Hide(const std::string& text) {
  if (text.empty()) return;
  std::lock_guard<std::mutex> hold(lock_);
  hidden_.push_back(text);
}

void RelayLog::Write(std::string_view event) {
  std::lock_guard<std::mutex> hold(lock_);
  const std::string line = LogLine(now_ms_(), event, hidden_);
  if (std::FILE* file = std::fopen(path_.c_str(), "ab")) {
    std::fwrite(line.data(), 1, line.size(), file);
    std::fclose(file);
  }
}
