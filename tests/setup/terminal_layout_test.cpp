#include "terminal_layout.h"

#include <gtest/gtest.h>

#include "folder_set.h"

namespace {

struct LayoutCase {
  const char* name;
  const char* terminal;
  std::vector<std::string> folders;
  TerminalLayout layout;
};

void PrintTo(const LayoutCase& c, std::ostream* out) { *out << c.name; }

class SetupTerminalLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(SetupTerminalLayout, ExpertsFolderDecidesBeforeMql4AndMql4BeforeMql5) {
  const LayoutCase& c = GetParam();
  FolderSet disk{c.folders};
  EXPECT_EQ(DetectTerminalLayout(c.terminal, disk.Check()), c.layout);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, SetupTerminalLayout,
    testing::Values(
        LayoutCase{"Experts", "C:\\T", {"C:\\T", "C:\\T\\experts"}, TerminalLayout::kExperts},
        LayoutCase{"Mql4", "C:\\T", {"C:\\T", "C:\\T\\MQL4"}, TerminalLayout::kDataFolder},
        // A data folder that still has an old "experts" beside MQL4 is installed as designed.
        LayoutCase{"Both", "C:\\T", {"C:\\T", "C:\\T\\experts", "C:\\T\\MQL4"}, TerminalLayout::kExperts},
        // Neither, or no folder at all: the experts layout reports what is missing.
        LayoutCase{"Neither", "C:\\T", {"C:\\T"}, TerminalLayout::kExperts},
        LayoutCase{"Missing", "C:\\Gone", {}, TerminalLayout::kExperts},
        // Subfolders of MQL4 alone make no data folder: MQL4 itself must be there.
        LayoutCase{"SubfolderOnly", "C:\\T", {"C:\\T", "C:\\T\\MQL4\\Experts"}, TerminalLayout::kExperts},
        LayoutCase{"FieldEndsInBackslash", "C:\\T\\", {"C:\\T\\MQL4"}, TerminalLayout::kDataFolder},
        LayoutCase{"Mql5", "C:\\T", {"C:\\T", "C:\\T\\MQL5"}, TerminalLayout::kMql5DataFolder},
        // A folder with experts or MQL4 beside MQL5 is installed as before MQL5 was known.
        LayoutCase{"Mql4BesideMql5", "C:\\T", {"C:\\T", "C:\\T\\MQL4", "C:\\T\\MQL5"},
                   TerminalLayout::kDataFolder},
        LayoutCase{"ExpertsBesideMql5", "C:\\T", {"C:\\T", "C:\\T\\experts", "C:\\T\\MQL5"},
                   TerminalLayout::kExperts},
        LayoutCase{"Mql5SubfolderOnly", "C:\\T", {"C:\\T", "C:\\T\\MQL5\\Libraries"},
                   TerminalLayout::kExperts},
        LayoutCase{"UnderAppData", "D:\\AppData\\Roaming\\MetaQuotes\\Terminal\\0A1B",
                   {"D:\\AppData\\Roaming\\MetaQuotes\\Terminal\\0A1B\\MQL4"},
                   TerminalLayout::kDataFolder}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

}  // namespace
