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

std::string RotatedLogPath(const std::string& path, int number) {
  const size_t dot = path.rfind('.');
  const size_t separator = path.find_last_of("/\\");
  const bool has_extension =
      dot != std::string::npos && (separator == std::string::npos || dot > separator);
  const size_t at = has_extension ? dot : path.size();
  return path.substr(0, at) + "." + std::to_string(number) + path.substr(at);
}

RelayLog::RelayLog(std::string path, Clock now_ms, size_t file_bytes, int rotated_files)
    : path_(std::move(path)),
      now_ms_(std::move(now_ms)),
      file_bytes_(file_bytes),
      rotated_files_(rotated_files) {}

void RelayLog::Hide(const std::string& text) {
  if (text.empty()) return;
  std::lock_guard<std::mutex> hold(lock_);
  hidden_.push_back(text);
}

void RelayLog::Write(std::string_view event) {
  std::lock_guard<std::mutex> hold(lock_);
  waiting_ += LogLine(now_ms_(), event, hidden_);
  for (size_t first_end; waiting_.size() > file_bytes_ &&
                         (first_end = waiting_.find('\n')) + 1 < waiting_.size();)
    waiting_.erase(0, first_end + 1);
  std::FILE* file = std::fopen(path_.c_str(), "ab");
  if (!file) return;
  // Append mode may report 0 until the first write: the end is sought for the size.
  const long size = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
  if (size > 0 && static_cast<size_t>(size) + waiting_.size() > file_bytes_) {
    std::fclose(file);
    Rotate();
    if (!(file = std::fopen(path_.c_str(), "ab"))) return;
  }
  // A full disk may take a part: the rest follows it with the next line.
  waiting_.erase(0, std::fwrite(waiting_.data(), 1, waiting_.size(), file));
  std::fclose(file);
}

void RelayLog::Rotate() {
  // Each rename finds its target gone, as rename() on Windows replaces no file.
  std::remove(RotatedLogPath(path_, rotated_files_).c_str());
  for (int number = rotated_files_ - 1; number >= 1; number--)
    std::rename(RotatedLogPath(path_, number).c_str(), RotatedLogPath(path_, number + 1).c_str());
  std::rename(path_.c_str(), RotatedLogPath(path_, 1).c_str());
}
