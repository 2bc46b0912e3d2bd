#include "browse_start.h"

#include <gtest/gtest.h>

#include "folder_set.h"

namespace {

struct StartCase {
  const char* name;
  const char* field;
  const char* app_data;
  std::vector<std::string> folders;
  const char* start;
};

void PrintTo(const StartCase& c, std::ostream* out) { *out << c.name; }

class SetupBrowseStart : public testing::TestWithParam<StartCase> {};

TEST_P(SetupBrowseStart, EmptyFieldOpensWhereTheDataFoldersAre) {
  const StartCase& c = GetParam();
  FolderSet disk{c.folders};
  EXPECT_EQ(TerminalBrowseStart(c.field, c.app_data, disk.Check()), c.start);
}

const char kTerminals[] = "C:\\Users\\t\\AppData\\Roaming\\MetaQuotes\\Terminal";

INSTANTIATE_TEST_SUITE_P(
    Fields, SetupBrowseStart,
    testing::Values(
        StartCase{"Empty", "", "C:\\Users\\t\\AppData\\Roaming", {kTerminals}, kTerminals},
        StartCase{"AppDataEndsInBackslash", "", "C:\\Users\\t\\AppData\\Roaming\\", {kTerminals}, kTerminals},
        StartCase{"Blank", "  ", "C:\\Users\\t\\AppData\\Roaming", {kTerminals}, kTerminals},
        // A folder in the field is where the user left off.
        StartCase{"Folder", "D:\\MT4", "C:\\Users\\t\\AppData\\Roaming", {kTerminals}, "D:\\MT4"},
        // No terminal has made its data folders here yet.
        StartCase{"NoTerminalsYet", "", "C:\\Users\\t\\AppData\\Roaming", {"C:\\Users\\t\\AppData\\Roaming"}, ""},
        // Without %APPDATA% the joined path would name the drive's root.
        StartCase{"NoAppData", "", "", {"\\MetaQuotes\\Terminal"}, ""},
        StartCase{"BlankAppData", " ", " ", {" \\MetaQuotes\\Terminal"}, " "}),
    [](const testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

}  // namespace
