// The master and slave plans on a terminal's data folder (MQL4 or MQL5, no experts) and on
// folders that keep the experts layout, on real folders, with the messages caught by a recorder.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "plan_runner.h"
#include "recording_prompter_win.h"
#include "setup_messages.h"
#include "temp_folder.h"

namespace {

using Paths = std::vector<std::string>;

// Every file and folder below `folder`, relative to it.
void ListTree(const std::string& folder, const std::string& relative, Paths& found) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\" + relative + "*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    found.push_back(relative + name);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ListTree(folder, relative + name + "\\", found);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
}

Paths Sorted(Paths paths) {
  std::sort(paths.begin(), paths.end());
  return paths;
}

struct TerminalCase {
  const char* name;
  Plan plan;
  Paths folders;          // below the terminal before the plan runs
  bool include_folder;    // the distribution has its include folder
  Paths copied;           // files below the terminal afterwards
  Paths missing;          // subfolders reported missing, in order
};

void PrintTo(const TerminalCase& c, std::ostream* out) { *out << c.name; }

const Paths kAllMql4 = {"MQL4", "MQL4\\Experts", "MQL4\\Scripts", "MQL4\\Libraries",
                        "MQL4\\Files", "MQL4\\Include"};
const Paths kAllMql5 = {"MQL5", "MQL5\\Experts", "MQL5\\Scripts", "MQL5\\Libraries",
                        "MQL5\\Files", "MQL5\\Include"};
const Paths kAllExperts = {"experts", "experts\\scripts", "experts\\libraries", "experts\\files"};

Paths Both() {
  Paths both = kAllMql4;
  both.insert(both.end(), kAllExperts.begin(), kAllExperts.end());
  return both;
}

class TerminalLayoutPlan : public testing::TestWithParam<TerminalCase> {
 protected:
  // A distribution beside a program that need not be there: the plans only name its folders.
  void SetUp() override {
    for (const char* source : {"master", "slave"}) MakeFolder(root_ / source);
    for (const char* name : {"e-m.mq4", "e-m.ex4", "s-m.ex4", "m.dll"}) Add("master", name);
    for (const char* name : {"e-s.ex4", "s-s.mq4", "s.dll", "s.txt"}) Add("slave", name);
    for (const char* source : {"master\\mt5", "slave\\mt5"}) MakeFolder(root_ / source);
    for (const char* name : {"e-m.mq5", "e-m.ex5", "s-m.ex5", "m.dll"}) Add("master\\mt5", name);
    for (const char* name : {"e-s.ex5", "s-s.mq5", "s.dll", "s.txt"}) Add("slave\\mt5", name);
    if (GetParam().include_folder) {
      MakeFolder(root_ / "include");
      for (const char* name : {"qelv_d30or.mqh", "qelv_r30uv.mqh", "notes.txt"}) Add("include", name);
    }
    MakeFolder(terminal_);
    for (const std::string& folder : GetParam().folders) MakeFolder(terminal_ + "\\" + folder);
  }
  void Add(const std::string& source, const std::string& name) {
    WriteFileText(root_ / (source + "\\" + name), "new " + name);
  }

  TempFolder root_;
  const std::string module_ = root_ / "Lobrine.exe";
  const std::string terminal_ = root_ / "Terminal";
  RecordingPrompter prompter_;
};

TEST_P(TerminalLayoutPlan, FilesGoWhereTheTerminalKeepsThemAndNowhereElse) {
  const TerminalCase& c = GetParam();
  RunPlan(c.plan, module_, terminal_, prompter_);

  Paths messages;
  for (const std::string& folder : c.missing) messages.push_back(FolderMissingText(terminal_ + "\\" + folder));
  EXPECT_EQ(prompter_.Texts(), messages);
  // Nothing but the copied files is new: no experts folder for a data folder, no include files
  // for the experts layout.
  Paths expected = c.folders;
  expected.insert(expected.end(), c.copied.begin(), c.copied.end());
  Paths found;
  ListTree(terminal_, "", found);
  EXPECT_EQ(Sorted(found), Sorted(expected));
  for (const std::string& file : c.copied) {
    EXPECT_EQ(ReadFileText(terminal_ + "\\" + file), "new " + file.substr(file.rfind('\\') + 1)) << file;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Terminals, TerminalLayoutPlan,
    testing::Values(
        TerminalCase{"MasterDataFolder", Plan::kMaster, kAllMql4, true,
                     {"MQL4\\Experts\\e-m.mq4", "MQL4\\Experts\\e-m.ex4", "MQL4\\Scripts\\s-m.ex4",
                      "MQL4\\Libraries\\m.dll", "MQL4\\Include\\qelv_d30or.mqh",
                      "MQL4\\Include\\qelv_r30uv.mqh"},
                     {}},
        TerminalCase{"SlaveDataFolder", Plan::kSlave, kAllMql4, true,
                     {"MQL4\\Experts\\e-s.ex4", "MQL4\\Scripts\\s-s.mq4", "MQL4\\Libraries\\s.dll",
                      "MQL4\\Files\\s.txt", "MQL4\\Include\\qelv_d30or.mqh",
                      "MQL4\\Include\\qelv_r30uv.mqh"},
                     {}},
        // A folder with experts is installed as designed, whatever else it holds.
        TerminalCase{"MasterExpertsBesideMql4", Plan::kMaster, Both(), true,
                     {"experts\\e-m.mq4", "experts\\e-m.ex4", "experts\\scripts\\s-m.ex4",
                      "experts\\libraries\\m.dll"},
                     {}},
        TerminalCase{"SlaveExpertsBesideMql4", Plan::kSlave, Both(), true,
                     {"experts\\e-s.ex4", "experts\\scripts\\s-s.mq4", "experts\\libraries\\s.dll",
                      "experts\\files\\s.txt"},
                     {}},
        // A distribution without include files has nothing for that step, and says nothing.
        TerminalCase{"DataFolderWithoutIncludeFiles", Plan::kSlave, kAllMql4, false,
                     {"MQL4\\Experts\\e-s.ex4", "MQL4\\Scripts\\s-s.mq4", "MQL4\\Libraries\\s.dll",
                      "MQL4\\Files\\s.txt"},
                     {}},
        // Missing MQL4 subfolders are reported and skipped like missing experts subfolders.
        TerminalCase{"DataFolderWithoutFilesAndInclude", Plan::kSlave,
                     {"MQL4", "MQL4\\Experts", "MQL4\\Scripts", "MQL4\\Libraries"}, true,
                     {"MQL4\\Experts\\e-s.ex4", "MQL4\\Scripts\\s-s.mq4", "MQL4\\Libraries\\s.dll"},
                     {"MQL4\\Files", "MQL4\\Include"}},
        TerminalCase{"BareMql4", Plan::kMaster, {"MQL4"}, true, {},
                     {"MQL4\\Experts", "MQL4\\Scripts", "MQL4\\Libraries", "MQL4\\Include"}},
        // A 64-bit terminal gets the files of master\mt5 or slave\mt5 in its MQL5 folders.
        TerminalCase{"MasterMql5DataFolder", Plan::kMaster, kAllMql5, true,
                     {"MQL5\\Experts\\e-m.mq5", "MQL5\\Experts\\e-m.ex5", "MQL5\\Scripts\\s-m.ex5",
                      "MQL5\\Libraries\\m.dll", "MQL5\\Include\\qelv_d30or.mqh",
                      "MQL5\\Include\\qelv_r30uv.mqh"},
                     {}},
        TerminalCase{"SlaveMql5DataFolder", Plan::kSlave, kAllMql5, true,
                     {"MQL5\\Experts\\e-s.ex5", "MQL5\\Scripts\\s-s.mq5", "MQL5\\Libraries\\s.dll",
                      "MQL5\\Files\\s.txt", "MQL5\\Include\\qelv_d30or.mqh",
                      "MQL5\\Include\\qelv_r30uv.mqh"},
                     {}},
        TerminalCase{"BareMql5", Plan::kSlave, {"MQL5"}, true, {},
                     {"MQL5\\Experts", "MQL5\\Scripts", "MQL5\\Libraries", "MQL5\\Files",
                      "MQL5\\Include"}},
        // Neither layout: the experts layout names what is missing.
        TerminalCase{"NeitherLayout", Plan::kMaster, {}, true, {},
                     {"experts", "experts\\scripts", "experts\\libraries"}}),
    [](const testing::TestParamInfo<TerminalCase>& info) { return std::string(info.param.name); });

// The overwrite questions of the include step name the distribution's include folder.
TEST(DataFolderPlan, CopyingAgainAsksOncePerFileIncludeFilesLast) {
  TempFolder root;
  MakeFolder(root / "master");
  MakeFolder(root / "include");
  WriteFileText(root / "master\\m.dll", "new");
  WriteFileText(root / "include\\qelv_d30or.mqh", "new");
  const std::string terminal = root / "Terminal";
  for (const char* folder : {"", "\\MQL4", "\\MQL4\\Experts", "\\MQL4\\Scripts", "\\MQL4\\Libraries",
                             "\\MQL4\\Include"}) {
    MakeFolder(terminal + folder);
  }
  RecordingPrompter prompter(IDNO);
  RunPlan(Plan::kMaster, root / "Lobrine.exe", terminal, prompter);
  ASSERT_EQ(prompter.Texts(), Paths{});
  WriteFileText(terminal + "\\MQL4\\Include\\qelv_d30or.mqh", "changed by the user");

  RunPlan(Plan::kMaster, root / "Lobrine.exe", terminal, prompter);
  EXPECT_EQ(prompter.Texts(),
            (Paths{OverwriteQuestion(terminal + "\\MQL4\\Libraries\\m.dll", root / "master\\m.dll"),
                   OverwriteQuestion(terminal + "\\MQL4\\Include\\qelv_d30or.mqh",
                                     root / "include\\qelv_d30or.mqh")}));
  EXPECT_EQ(ReadFileText(terminal + "\\MQL4\\Include\\qelv_d30or.mqh"), "changed by the user");
}

// A distribution whose master holds a 32-bit library, and master\mt5 the files named (none: no
// such folder), and a 64-bit terminal's data folder without MQL5\Files and MQL5\Include.
class Mql5DataFolderPlan : public testing::TestWithParam<Paths> {
 protected:
  void Install(const Paths& mt5_files) {
    MakeFolder(root_ / "master");
    WriteFileText(root_ / "master\\m.dll", "32-bit");
    if (!mt5_files.empty()) MakeFolder(root_ / "master\\mt5");
    for (const std::string& name : mt5_files) WriteFileText(root_ / ("master\\mt5\\" + name), "64-bit");
    for (const char* folder : {"", "\\MQL5", "\\MQL5\\Experts", "\\MQL5\\Scripts", "\\MQL5\\Libraries"}) {
      MakeFolder(terminal_ + folder);
    }
    RunPlan(Plan::kMaster, root_ / "Lobrine.exe", terminal_, prompter_);
  }
  Paths Mql5Tree() const {
    Paths found;
    ListTree(terminal_ + "\\MQL5", "", found);
    return Sorted(found);
  }

  TempFolder root_;
  const std::string terminal_ = root_ / "Terminal";
  RecordingPrompter prompter_;
};

// The 32-bit library of the same name is never taken for the 64-bit one.
TEST_F(Mql5DataFolderPlan, CopiesTheLibraryOfTheMt5Folder) {
  Install({"e-m.mq5", "m.dll"});
  EXPECT_EQ(prompter_.Texts(), Paths{FolderMissingText(terminal_ + "\\MQL5\\Include")});
  EXPECT_EQ(Mql5Tree(), (Paths{"Experts", "Experts\\e-m.mq5", "Libraries", "Libraries\\m.dll", "Scripts"}));
  EXPECT_EQ(ReadFileText(terminal_ + "\\MQL5\\Libraries\\m.dll"), "64-bit");
}

TEST_P(Mql5DataFolderPlan, CopiesNothingWithoutA64BitLibraryAndSaysSo) {
  Install(GetParam());
  EXPECT_EQ(prompter_.Texts(), Paths{LibrariesMissingText(root_ / "master\\mt5\\*.dll")});
  EXPECT_EQ(Mql5Tree(), (Paths{"Experts", "Libraries", "Scripts"}));
}

INSTANTIATE_TEST_SUITE_P(Distributions, Mql5DataFolderPlan,
                         testing::Values(Paths{"e-m.mq5"}, Paths{}),
                         [](const testing::TestParamInfo<Paths>& info) {
                           return std::string(info.param.empty() ? "NoMt5Folder" : "ExpertOnly");
                         });

}  // namespace
