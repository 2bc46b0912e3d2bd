#include "file_patterns.h"

#include <utility>

#include "extract_tag_values.h"

namespace {

// Case is folded for ASCII letters only, as the C runtime compares without case in its default
// locale.
int CompareIgnoringCase(const std::string& a, const std::string& b) {
  auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    int difference = fold(a[i]) - fold(b[i]);
    if (difference) return difference;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

}  // namespace

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
