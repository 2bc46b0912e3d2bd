// Feeds arbitrary bytes to the settings reader: it must never crash, and every value it
// returns must come from the file or the defaults.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "hub_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view file(reinterpret_cast<const char*>(data), size);
  HubSettings s = ReadHubSettings(file);
  if (s.font_color > 0xFFFFFF) __builtin_trap();
  if (s.channel_id.size() > size || s.font_name.size() > (size > 5 ? size : 5)) __builtin_trap();
  return 0;
}
