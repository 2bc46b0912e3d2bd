#include "hub_settings.h"

#include <vector>

#include "extract_tag_values.h"
#include "number_text.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Hexadecimal with an optional 0x, up to the first non-hex digit; no digits give 0 (black).
uint32_t ParseHex(std::string_view text) {
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
  uint64_t value = 0;
  for (char c : text) {
    int digit = HexDigit(c);
    if (digit < 0) break;
    value = value * 16 + digit;
    if (value > UINT32_MAX) value = UINT32_MAX;
  }
  return static_cast<uint32_t>(value);
}

}  // namespace

uint32_t PlatformColor(uint32_t web) {
  return (web & 0xFF) << 16 | (web & 0xFF00) | ((web >> 16) & 0xFF);
}

HubSettings ReadHubSettings(std::string_view file) {
  HubSettings s;
  s.x = 22, s.y = 16, s.dx = 180, s.dy = 30;
  s.font_name = "Arial";
  s.font_size = 180;
  s.font_color = PlatformColor(0x0000FF);

  // The tag search sees the file up to its first zero byte, as a C string.
  const std::string text(file.substr(0, file.find('\0')));
  std::string root, window, panel, value;
  if (!FirstTagValue(text, "root", root) || !FirstTagValue(root, "window", window)) return s;
  if (FirstTagValue(window, "channel_id", value)) s.channel_id = value;
  if (!FirstTagValue(window, "text", panel)) return s;

  for (auto [name, field] : {std::pair{"x", &s.x}, {"y", &s.y}, {"dx", &s.dx}, {"dy", &s.dy},
                             {"font_size", &s.font_size}})
    if (FirstTagValue(panel, name, value)) *field = ReadInt32(value);
  if (FirstTagValue(panel, "font_name", value)) s.font_name = value;
  if (FirstTagValue(panel, "font_color", value)) s.font_color = PlatformColor(ParseHex(value));
  return s;
}
