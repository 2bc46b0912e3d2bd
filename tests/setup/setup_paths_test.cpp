#include "setup_paths.h"

#include <gtest/gtest.h>

namespace {

TEST(SetupPath, NamesFilesAndFoldersBesideTheExecutable) {
  const struct {
    const char* module;
    const char* name;
    const char* path;
  } cases[] = {
      {"C:\\Setup\\Lobrine.exe", "config.xml", "C:\\Setup\\config.xml"},
      {"C:\\Setup\\Lobrine.exe", "core", "C:\\Setup\\core"},
      {"C:\\Setup\\Lobrine.exe", "master", "C:\\Setup\\master"},
      {"C:\\Setup\\Lobrine.exe", "slave", "C:\\Setup\\slave"},
      // An extension not written ".exe" must not leave the executable's own path.
      {"C:\\Setup\\LOBRINE.EXE", "config.xml", "C:\\Setup\\config.xml"},
      {"C:\\Setup\\Lobrine.EXE", "core", "C:\\Setup\\core"},
      {"C:\\Setup\\Lobrine.Exe", "slave", "C:\\Setup\\slave"},
      {"C:\\Lobrine.exe.d\\Lobrine.exe", "core", "C:\\core.d\\core"},
  };
  for (const auto& c : cases) EXPECT_EQ(SetupPath(c.module, c.name), c.path) << c.module;
}

TEST(AppendPath, AddsOneBackslash) {
  EXPECT_EQ(AppendPath("C:\\T", "experts"), "C:\\T\\experts");
  EXPECT_EQ(AppendPath("C:\\T\\", "experts\\files"), "C:\\T\\experts\\files");
  EXPECT_EQ(WithBackslash("D:\\Dremont"), "D:\\Dremont\\");
  EXPECT_EQ(WithBackslash("D:\\"), "D:\\");
}

TEST(SetupPaths, PathBufferHoldsTwoHundredFiftyNineCharacters) {
  EXPECT_TRUE(FitsPathBuffer(std::string(259, 'a')));
  EXPECT_FALSE(FitsPathBuffer(std::string(260, 'a')));
}

TEST(SetupPaths, BlankFolderNamesNothing) {
  EXPECT_TRUE(IsBlankFolder(""));
  EXPECT_TRUE(IsBlankFolder(" \t "));
  EXPECT_FALSE(IsBlankFolder("C:\\"));
  EXPECT_FALSE(IsBlankFolder(" x "));
}

}  // namespace
