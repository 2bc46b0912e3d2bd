#include "account_journal.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace {

// Reads the complete lines of the file; `complete_size` is the bytes they take up.
bool ReadCompleteLines(const std::string& path, std::vector<JournalEvent>& events,
                       size_t& complete_size, std::string& error) {
  events.clear();
  complete_size = 0;
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "cannot read " + path;
    return false;
  }
  std::stringstream buffer;
  buffer << file.rdbuf();
  const std::string text = buffer.str();
  for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    JournalEvent event;
    if (!ParseJournalLine(std::string_view(text).substr(start, end - start), event)) {
      error = path + " line " + std::to_string(events.size() + 1) + ": cannot read it";
      return false;
    }
    events.push_back(std::move(event));
    complete_size = end + 1;
  }
  return true;
}

}  // namespace

AccountJournal::~AccountJournal() {
  if (file_) std::fclose(file_);
}

bool AccountJournal::Open(const std::string& path, std::vector<JournalEvent>& events,
                          std::string& error) {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  events.clear();
  std::error_code failure;
  if (std::filesystem::exists(path, failure)) {
    size_t complete_size = 0;
    if (!ReadCompleteLines(path, events, complete_size, error)) return false;
    if (std::filesystem::file_size(path, failure) != complete_size)
      std::filesystem::resize_file(path, complete_size, failure);
    if (failure) {
      error = "cannot cut the torn last line off " + path + ": " + failure.message();
      return false;
    }
  }
  file_ = std::fopen(path.c_str(), "ab");
  if (!file_) error = "cannot open " + path + " for writing";
  return file_ != nullptr;
}

bool AccountJournal::Append(const JournalEvent& event) {
  if (!file_) return false;
  const std::string line = FormatJournalLine(event) + '\n';
  if (std::fwrite(line.data(), 1, line.size(), file_) == line.size() && std::fflush(file_) == 0)
    return true;
  // Whatever follows a line written in part would be joined to it: nothing more is written.
  std::fclose(file_);
  file_ = nullptr;
  return false;
}

bool ReadJournal(const std::string& path, std::vector<JournalEvent>& events, std::string& error) {
  size_t complete_size = 0;
  return ReadCompleteLines(path, events, complete_size, error);
}

std::vector<SimOrder> JournaledOpens(const std::vector<JournalEvent>& events) {
  std::vector<SimOrder> opens;
  for (const JournalEvent& event : events)
    if (event.kind == JournalEvent::kOpen) {
      opens.push_back(event.order);
      opens.back().open_time = event.time;
    }
  return opens;
}
