// The relay's log, qelv-relay.log beside the program: one line per event, stamped with the UTC
// time to the millisecond,
//
//   2026-12-08 10:43:39.123 connected to wss://broker.example:8884/mqtt
//
// Line breaks inside an event become spaces, so that every line is one event; the password and
// the channel secret, once hidden, are written as "***" wherever they appear. A line that would
// take the file beyond its bound goes to a new file: the full one becomes qelv-relay.1.log, the
// one before qelv-relay.2.log, and so on up to a few, the oldest dropped. A line is never split
// between two files.
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

// `path` with ".<number>" before its extension: qelv-relay.log and 2 give qelv-relay.2.log.
std::string RotatedLogPath(const std::string& path, int number);

constexpr size_t kLogFileBytes = 1u << 20;
constexpr int kRotatedLogFiles = 3;

class RelayLog {
 public:
  using Clock = std::function<int64_t()>;  // milliseconds since 1970
  RelayLog(std::string path, Clock now_ms, size_t file_bytes = kLogFileBytes,
           int rotated_files = kRotatedLogFiles);

  // `text` is never written from now on; empty texts are ignored.
  void Hide(const std::string& text);
  // Appends the event's line. While the file cannot be opened (another program holds it without
  // letting others write), lines wait, up to a file's bound of them, and go with the next line
  // that can be written; the oldest waiting ones go first. A file that cannot be rotated (another
  // program holds it without letting it be renamed) grows on until it can be.
  void Write(std::string_view event);

 private:
  void Rotate();

  const std::string path_;
  const Clock now_ms_;
  const size_t file_bytes_;
  const int rotated_files_;
  std::mutex lock_;  // the broker's and the hub's threads both write
  std::vector<std::string> hidden_;
  std::string waiting_;  // whole lines not written yet
};
