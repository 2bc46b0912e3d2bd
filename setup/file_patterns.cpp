#include "file_patterns.h"

#include <utility>

#include "ascii_case.h"
#include "white_space.h"

void SplitPatterns(const std::string& list, std::vector<std::string>& patterns) {
  patterns.clear();
  size_t start = 0;
  for (;;) {
    size_t bar = list.find('|', start);
    size_t end = bar == std::string::npos ? list.size() : bar;
    patterns.emplace_back(TrimWhiteSpace(std::string_view(list).substr(start, end - start)));
    if (bar == std::string::npos) return;
    start = bar + 1;
  }
}

void SortFileNames(std::vector<std::string>& names) {
  for (size_t i = 0; i < names.size(); ++i)
    for (size_t j = i + 1; j < names.size(); ++j)
      if (CompareIgnoringCase(names[i], names[j]) < 0) std::swap(names[i], names[j]);
}

std::string JoinFileNames(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) {
    if (!text.empty()) text += ", ";
    text += name;
  }
  return text;
}
