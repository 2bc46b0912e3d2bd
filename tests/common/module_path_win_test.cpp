// GetModulePath in the running test program.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "module_path.h"

namespace {

TEST(GetModulePath, IsTheRunningProgramsWholePath) {
  char expected[MAX_PATH] = "";
  const DWORD length = GetModuleFileNameA(NULL, expected, sizeof expected);
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, DWORD{MAX_PATH});
  std::string path = "stale";
  EXPECT_EQ(GetModulePath(path), 0u);
  EXPECT_EQ(path, std::string(expected, length));
  EXPECT_NE(path.find("common_win_tests.exe"), std::string::npos) << path;
}

}  // namespace
