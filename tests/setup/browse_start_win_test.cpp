// The start folder of a terminal field's browser, with this process's %APPDATA% pointed at a
// scratch folder.
#include <windows.h>

#include <gtest/gtest.h>

#include "browse_start.h"
#include "temp_folder.h"

namespace {

enum class AppData { kWithTerminals, kWithoutTerminals, kTerminalsIsAFile, kUnset, kTooLong };

struct StartCase {
  const char* name;
  AppData app_data;
  bool opens_at_terminals;  // else at the empty field
};

void PrintTo(const StartCase& c, std::ostream* out) { *out << c.name; }

class SetupBrowseStartUnderWine : public testing::TestWithParam<StartCase> {
 protected:
  void SetUp() override {
    char saved[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("APPDATA", saved, sizeof saved);
    had_app_data_ = length > 0 && length < sizeof saved;
    if (had_app_data_) saved_ = saved;
  }
  void TearDown() override {
    SetEnvironmentVariableA("APPDATA", had_app_data_ ? saved_.c_str() : NULL);
  }

  TempFolder roaming_;
  const std::string terminals_ = roaming_ / "MetaQuotes\\Terminal";
  std::string saved_;
  bool had_app_data_ = false;
};

TEST_P(SetupBrowseStartUnderWine, EmptyFieldOpensAtTheTerminalsDataFoldersWhenThereAreAny) {
  const StartCase& c = GetParam();
  MakeFolder(roaming_ / "MetaQuotes");
  if (c.app_data == AppData::kWithTerminals) MakeFolder(terminals_);
  if (c.app_data == AppData::kTerminalsIsAFile) WriteFileText(terminals_, "");
  switch (c.app_data) {
    case AppData::kUnset: SetEnvironmentVariableA("APPDATA", NULL); break;
    case AppData::kTooLong:
      SetEnvironmentVariableA("APPDATA", (roaming_.path() + std::string(300, 'x')).c_str());
      break;
    default: SetEnvironmentVariableA("APPDATA", roaming_.path().c_str());
  }
  EXPECT_EQ(TerminalBrowseStart(""), c.opens_at_terminals ? terminals_ : "");
}

INSTANTIATE_TEST_SUITE_P(
    AppDataFolders, SetupBrowseStartUnderWine,
    testing::Values(StartCase{"EmptyField", AppData::kWithTerminals, true},
                    StartCase{"NoTerminalsYet", AppData::kWithoutTerminals, false},
                    StartCase{"TerminalsIsAFile", AppData::kTerminalsIsAFile, false},
                    StartCase{"AppDataUnset", AppData::kUnset, false},
                    StartCase{"AppDataTooLong", AppData::kTooLong, false}),
    [](const testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

}  // namespace
