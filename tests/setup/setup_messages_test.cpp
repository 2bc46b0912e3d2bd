#include "setup_messages.h"

#include <gtest/gtest.h>

#include "module_path.h"

namespace {

TEST(ModulePathFailedText, RefusesAPathTooLongAndOtherwiseNamesTheSystemsCode) {
  const std::string long_path = "C:\\" + std::string(260, 'd') + "\\Lobrine.exe";
  const struct {
    unsigned long code;
    std::string path, text;
  } cases[] = {
      {kModulePathTooLong, long_path, "Path is too long (260 characters or more):\r\n" + long_path},
      {5, "", "GetModuleFileNameA failed (LastError = 5)"},
      {126, "C:\\Setup\\Lobrine.exe", "GetModuleFileNameA failed (LastError = 126)"},
      {0xFFFFFFFFul, "", "GetModuleFileNameA failed (LastError = -1)"},  // as "%d" shows it
  };
  for (const auto& c : cases) EXPECT_EQ(ModulePathFailedText(c.code, c.path), c.text) << c.code;
}

}  // namespace
