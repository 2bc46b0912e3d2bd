#include "extract_tag_values.h"

#include "white_space.h"

int ExtractTagValues(const char* source, const char* open, const char* close,
                     std::vector<std::string>& values) {
  values.clear();
  if (!source || !open || !close) return 1;
  const std::string_view text(source);  // up to the first zero byte
  const std::string_view open_tag(open), close_tag(close);
  if (open_tag.empty()) return 0;  // an empty tag would match everywhere and never advance

  size_t at = text.find(open_tag);
  while (at != std::string_view::npos) {
    const size_t value_start = at + open_tag.size();
    const size_t end = text.find(close_tag, value_start);
    if (end == std::string_view::npos) {
      at = text.find(open_tag, value_start);
      continue;
    }
    std::string_view value = TrimWhiteSpace(text.substr(value_start, end - value_start));
    if (!value.empty()) values.emplace_back(value);
    at = text.find(open_tag, end + close_tag.size());
  }
  return 0;
}

bool FirstTagValue(const std::string& source, const std::string& name, std::string& value) {
  std::vector<std::string> values;
  ExtractTagValues(source.c_str(), ("<" + name + ">").c_str(), ("</" + name + ">").c_str(), values);
  if (values.empty()) return false;
  value = std::move(values.front());
  return true;
}
