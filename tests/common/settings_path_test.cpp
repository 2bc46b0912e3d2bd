#include "settings_path.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsPath, ReplacesTheProgramFileName) {
  EXPECT_EQ(SettingsPath("C:\\Setup\\Lobrine.exe", "Lobrine", "config.xml"), "C:\\Setup\\config.xml");
  EXPECT_EQ(SettingsPath("C:\\Setup\\Lobrine.exe", "Lobrine", "core"), "C:\\Setup\\core");
}

TEST(SettingsPath, ReplacesEveryOccurrence) {
  EXPECT_EQ(SettingsPath("C:\\Varnick.exe\\Varnick.exe", "Varnick", "qelv.xml"),
            "C:\\qelv.xml\\qelv.xml");
}

TEST(SettingsPath, CapitalExtensionStillNamesAFileInTheProgramFolder) {
  EXPECT_EQ(SettingsPath("C:\\Setup\\LOBRINE.EXE", "LOBRINE", "config.xml"), "C:\\Setup\\config.xml");
  EXPECT_EQ(SettingsPath("C:\\Hub\\Varnick.Exe", "Varnick", "qelv.xml"), "C:\\Hub\\qelv.xml");
}

TEST(SettingsPath, BaseNameDropsFolderAndExtension) {
  EXPECT_EQ(BaseName("C:\\a.b\\Varnick.exe"), "Varnick");
  EXPECT_EQ(BaseName("Varnick"), "Varnick");
}

}  // namespace
