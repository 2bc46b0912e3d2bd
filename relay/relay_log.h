// The relay's log, qelv-relay.log beside the program: one line per event, stamped with the UTC
// time to the millisecond,
//
//   2026-12-08 10:43:39.123 connected to wss://broker.example:8884/mqtt
//
// Line breaks inside an event become spaces, so that every line is one event; the password and
// the channel secret, once hidden, are written as "***" wherever they appear.
#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// "YYYY-MM-DD HH:MM:SS.mmm" in UTC for milliseconds since 1970 (negative ones count back).
std::string LogTimeText(int64_t unix_ms);

// One line of the log, its line feed included. A hidden text inside a longer one goes with it.
std::string LogLine(int64_t unix_ms, std::string_view event, const std::vector<std::string>& hidden);

class RelayLog {
 public:
  using Clock = std::function<int64_t()>;  // milliseconds since 1970
  RelayLog(std::string path, Clock now_ms);

  // `text` is never written from now on; empty texts are ignored.
  void Hide(const std::string& text);
  // Appends the event's line; a file that cannot be opened loses the line, not the program.
  void Write(std::string_view event);

 private:
  const std::string path_;
  const Clock now_ms_;
  std::mutex lock_;  // the broker's and the hub's threads both write
  std::vector<std::string> hidden_;
};
