#include "sequence_file.h"

#include <cstdio>
#include <vector>

#include "atomic_file.h"

namespace {

constexpr std::string_view kHeader = "qelv-relay-sequences 1\n";
constexpr std::string_view kEnd = "end ";

// The next line of `rest` without its line feed; false when no line feed ends it.
bool TakeLine(std::string_view& rest, std::string_view& line) {
  const size_t lf = rest.find('\n');
  if (lf == std::string_view::npos) return false;
  line = rest.substr(0, lf);
  rest.remove_prefix(lf + 1);
  return true;
}

bool ParseMark(std::string_view line, ReplayGuard::Mark& mark) {
  const size_t first = line.find(' ');
  if (first == std::string_view::npos) return false;
  const size_t second = line.find(' ', first + 1);
  if (second == std::string_view::npos) return false;
  const std::string_view channel = line.substr(0, first);
  const std::string_view login = line.substr(first + 1, second - first - 1);
  if (!IsEnvelopeName(channel) || !IsEnvelopeName(login) ||
      !ParseStrictDecimal(line.substr(second + 1), UINT64_MAX, mark.seq))
    return false;
  mark.channel = channel;
  mark.login = login;
  return true;
}

}  // namespace

std::string SequenceFileText(const ReplayGuard& guard) {
  std::string text(kHeader);
  const std::vector<ReplayGuard::Mark> marks = guard.Marks();
  for (const ReplayGuard::Mark& mark : marks)
    text.append(mark.channel).append(" ").append(mark.login).append(" ")
        .append(std::to_string(mark.seq)).append("\n");
  return text.append(kEnd).append(std::to_string(marks.size())).append("\n");
}

bool ReadSequenceText(std::string_view text, ReplayGuard& guard) {
  if (!text.starts_with(kHeader)) return false;
  std::string_view rest = text.substr(kHeader.size()), line;
  std::vector<ReplayGuard::Mark> marks;
  while (TakeLine(rest, line)) {
    if (line.starts_with(kEnd)) {
      uint64_t count = 0;
      if (!rest.empty() || !ParseStrictDecimal(line.substr(kEnd.size()), UINT64_MAX, count) ||
          count != marks.size())
        return false;
      for (const ReplayGuard::Mark& mark : marks) guard.Record(mark.channel, mark.login, mark.seq);
      return true;
    }
    ReplayGuard::Mark mark;
    if (!ParseMark(line, mark)) return false;
    marks.push_back(std::move(mark));
  }
  return false;
}

SequenceFileState LoadSequenceFile(const std::string& path, ReplayGuard& guard) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return SequenceFileState::kMissing;
  std::string text;
  char chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
  const bool whole = !std::ferror(file);
  std::fclose(file);
  return whole && ReadSequenceText(text, guard) ? SequenceFileState::kRead
                                                : SequenceFileState::kDamaged;
}

bool SaveSequenceFile(const std::string& path, const ReplayGuard& guard) {
  return ReplaceFileAtomically(path, SequenceFileText(guard));
}
