// Any settings text: the parser must neither crash nor read outside it, and whatever it read
// must format to a text that parses back to the same settings without a complaint.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "copy_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ParsedSettings parsed = ParseCopySettings(std::string_view(reinterpret_cast<const char*>(data), size));
  ParsedSettings again = ParseCopySettings(FormatCopySettings(parsed.settings));
  if (!again.problems.empty() || !(again.settings == parsed.settings)) std::abort();
  return 0;
}
