// The copy engine and the plans on real folders, with the messages caught by a recorder.
#include <windows.h>

#include <gtest/gtest.h>

#include "copy_engine.h"
#include "plan_runner.h"
#include "recording_prompter_win.h"
#include "setup_messages.h"
#include "system_error_text.h"
#include "temp_folder.h"

namespace {

using Texts = std::vector<std::string>;

class CopyEngine : public testing::Test {
 protected:
  // A source folder of the master plan and a terminal with all three experts folders.
  void SetUpMaster() {
    MakeFolder(master_);
    for (const char* name : {"e-b.mq4", "e-a.mq4", "e-a.ex4", "s-x.mq4", "q.dll"}) {
      WriteFileText(master_ + "\\" + name, std::string("new ") + name);
    }
    MakeTerminal({"experts", "experts\\scripts", "experts\\libraries"});
  }
  void MakeTerminal(std::initializer_list<const char*> folders) {
    MakeFolder(terminal_);
    for (const char* folder : folders) MakeFolder(terminal_ + "\\" + folder);
  }
  std::string InTerminal(const std::string& relative) const { return terminal_ + "\\" + relative; }
  std::string Question(const std::string& destination, const std::string& source) const {
    return OverwriteQuestion(InTerminal(destination), master_ + "\\" + source);
  }

  TempFolder root_;
  // The plans copy from the folders beside it; the program itself is not needed.
  const std::string module_ = root_ / "Lobrine.exe";
  const std::string master_ = root_ / "master";
  const std::string terminal_ = root_ / "terminal";
  RecordingPrompter prompter_;
};

const char* const kMasterFiles[] = {"experts\\e-b.mq4", "experts\\e-a.mq4", "experts\\e-a.ex4",
                                    "experts\\scripts\\s-x.mq4", "experts\\libraries\\q.dll"};

TEST_F(CopyEngine, MasterPlanCopiesEveryFileSilently) {
  SetUpMaster();
  std::string names;
  EXPECT_EQ(GetFilesAsString(master_, "e-*.mq4|e-*.ex4|s-*.mq4|s-*.ex4|*.dll", names, prompter_), 5);
  EXPECT_EQ(names, "e-b.mq4, e-a.mq4, e-a.ex4, s-x.mq4, q.dll");

  RunPlan(Plan::kMaster, module_, terminal_, prompter_);
  EXPECT_EQ(prompter_.Texts(), Texts{});
  for (const char* file : kMasterFiles) {
    const std::string name = std::string(file).substr(std::string(file).rfind('\\') + 1);
    EXPECT_EQ(ReadFileText(InTerminal(file)), "new " + name);
  }
}

// The questions come in the order of the copies.
TEST_F(CopyEngine, CopyingAgainAsksOncePerFileInOrderAndNoLeavesEverything) {
  SetUpMaster();
  RunPlan(Plan::kMaster, module_, terminal_, prompter_);
  for (const char* file : kMasterFiles) WriteFileText(InTerminal(file), "old");

  RunPlan(Plan::kMaster, module_, terminal_, prompter_);
  EXPECT_EQ(prompter_.Texts(),
            (Texts{Question("experts\\e-b.mq4", "e-b.mq4"), Question("experts\\e-a.mq4", "e-a.mq4"),
                   Question("experts\\e-a.ex4", "e-a.ex4"),
                   Question("experts\\scripts\\s-x.mq4", "s-x.mq4"),
                   Question("experts\\libraries\\q.dll", "q.dll")}));
  for (const Message& message : prompter_.messages) {
    EXPECT_EQ(message.caption, "Warning");
    EXPECT_EQ(message.style, unsigned(MB_YESNO | MB_ICONQUESTION));
  }
  for (const char* file : kMasterFiles) EXPECT_EQ(ReadFileText(InTerminal(file)), "old") << file;
}

TEST_F(CopyEngine, YesReplacesTheFile) {
  SetUpMaster();
  WriteFileText(InTerminal("experts\\libraries\\q.dll"), "old");
  prompter_.answer = IDYES;
  RunPlan(Plan::kMaster, module_, terminal_, prompter_);
  EXPECT_EQ(prompter_.Texts(), Texts{Question("experts\\libraries\\q.dll", "q.dll")});
  EXPECT_EQ(ReadFileText(InTerminal("experts\\libraries\\q.dll")), "new q.dll");
}

TEST_F(CopyEngine, SlaveTerminalWithoutFilesFolderGetsAllButTheTextFiles) {
  const std::string slave = root_ / "slave";
  MakeFolder(slave);
  for (const char* name : {"e-s.ex4", "s-s.ex4", "r.dll", "a.txt"}) WriteFileText(slave + "\\" + name, name);
  MakeTerminal({"experts", "experts\\scripts", "experts\\libraries"});

  RunPlan(Plan::kSlave, module_, terminal_, prompter_);
  ASSERT_EQ(prompter_.Texts(), Texts{FolderMissingText(InTerminal("experts\\files"))});
  EXPECT_EQ(prompter_.messages[0].style, unsigned(MB_ICONERROR));
  for (const char* file : {"experts\\e-s.ex4", "experts\\scripts\\s-s.ex4", "experts\\libraries\\r.dll"}) {
    EXPECT_TRUE(PathExists(InTerminal(file))) << file;
  }
  EXPECT_FALSE(PathExists(InTerminal("experts\\files")));
}

TEST_F(CopyEngine, MissingFoldersAreReportedOncePerCheck) {
  // Source missing: one message, the terminal is not looked at.
  RunPlan(Plan::kMaster, module_, terminal_, prompter_);
  EXPECT_EQ(prompter_.Texts(), Texts{FolderMissingText(master_)});

  // Terminal missing: one message per step.
  SetUpMaster();
  prompter_.messages.clear();
  const std::string gone = root_ / "gone";
  RunPlan(Plan::kMaster, module_, gone, prompter_);
  EXPECT_EQ(prompter_.Texts(), (Texts{FolderMissingText(gone + "\\experts"),
                                      FolderMissingText(gone + "\\experts\\scripts"),
                                      FolderMissingText(gone + "\\experts\\libraries")}));
}

std::string OverwriteFailure(unsigned long code, const std::string& source,
                             const std::string& destination) {
  return "CopyFiles: CopyFile failed.\r\nErrorCode: " + std::to_string(code) +
         "\r\nErroMessage: " + SystemErrorText(code) + " \r\n\r\nSource: " + source +
         " \r\nDestinition: " + destination;
}

TEST_F(CopyEngine, ReadOnlyDestinationWithYesGivesTheFailureWithBlanks) {
  SetUpMaster();
  const std::string locked = InTerminal("experts\\libraries\\q.dll");
  WriteFileText(locked, "old");
  ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
  // Wine maps the attribute to the file's Unix write permission, which does not stop root.
  HANDLE probe = CreateFileA(locked.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
  if (probe != INVALID_HANDLE_VALUE) {
    CloseHandle(probe);
    GTEST_SKIP() << "this system lets the user write read-only files";
  }
  prompter_.answer = IDYES;
  CopyFiles(master_, InTerminal("experts\\libraries"), "*.dll", prompter_);
  const std::string source = master_ + "\\q.dll";
  EXPECT_EQ(prompter_.Texts(),
            (Texts{OverwriteQuestion(locked, source), OverwriteFailure(5, source, locked)}));
  EXPECT_EQ(prompter_.messages.back().style, unsigned(MB_ICONERROR));
  EXPECT_EQ(ReadFileText(locked), "old");
}

// A folder in the destination cannot be replaced by a file: the same failure, on any system.
TEST_F(CopyEngine, DestinationThatCannotBeReplacedGivesTheFailureWithBlanks) {
  SetUpMaster();
  const std::string in_the_way = InTerminal("experts\\libraries\\q.dll");
  MakeFolder(in_the_way);
  prompter_.answer = IDYES;
  CopyFiles(master_, InTerminal("experts\\libraries"), "*.dll", prompter_);
  const std::string source = master_ + "\\q.dll";
  EXPECT_EQ(prompter_.Texts(),
            (Texts{OverwriteQuestion(in_the_way, source), OverwriteFailure(5, source, in_the_way)}));
}

TEST_F(CopyEngine, FolderMatchingAPatternIsListedAndItsCopyFails) {
  MakeFolder(master_);
  MakeFolder(master_ + "\\e-folder.mq4");
  WriteFileText(master_ + "\\e-file.mq4", "x");
  MakeTerminal({"experts"});

  std::string names;
  GetFilesAsString(master_, "e-*.mq4", names, prompter_);
  EXPECT_EQ(names, "e-folder.mq4, e-file.mq4");

  CopyFiles(master_, InTerminal("experts"), "e-*.mq4", prompter_);
  ASSERT_EQ(prompter_.messages.size(), 1u);
  const std::string& text = prompter_.messages[0].text;
  EXPECT_EQ(text.rfind("CopyFiles: CopyFile failed.\r\nErrorCode: ", 0), 0u) << text;
  EXPECT_NE(text.find("\r\n\r\nSource: " + master_ + "\\e-folder.mq4\r\nDestinition: " +
                      InTerminal("experts\\e-folder.mq4")),
            std::string::npos)
      << text;
  EXPECT_TRUE(PathExists(InTerminal("experts\\e-file.mq4")));
}

TEST_F(CopyEngine, NameMatchedByTwoPatternsIsCopiedTwice) {
  SetUpMaster();
  CopyFiles(master_, InTerminal("experts\\libraries"), "*.dll|q.*", prompter_);
  EXPECT_EQ(prompter_.Texts(), Texts{Question("experts\\libraries\\q.dll", "q.dll")});
}

TEST_F(CopyEngine, DestinationEndingInBackslashGetsNoSecondOne) {
  const std::string core = root_ / "core";
  MakeFolder(core);
  WriteFileText(core + "\\Varnick.exe", "hub");
  WriteFileText(core + "\\qelv.xml", "settings");
  const std::string dremont = root_ / "Dremont";
  MakeFolder(dremont);

  RunPlan(Plan::kCore, module_, dremont + "\\", prompter_);
  RunPlan(Plan::kCore, module_, dremont + "\\", prompter_);
  EXPECT_EQ(prompter_.Texts(),
            (Texts{OverwriteQuestion(dremont + "\\Varnick.exe", core + "\\Varnick.exe"),
                   OverwriteQuestion(dremont + "\\qelv.xml", core + "\\qelv.xml")}));
  EXPECT_EQ(ReadFileText(dremont + "\\qelv.xml"), "settings");
}

// A blank field would point into the working folder or, joined with "experts", into the root
// of the current drive.
TEST_F(CopyEngine, BlankFieldIsAMissingFolderAndCopiesNothing) {
  SetUpMaster();
  const std::string core = root_ / "core";
  MakeFolder(core);
  WriteFileText(core + "\\Varnick.exe", "hub");
  SetCurrentDirectoryA(terminal_.c_str());

  for (const char* field : {"", "  "}) {
    prompter_.messages.clear();
    RunPlan(Plan::kCore, module_, field, prompter_);
    RunPlan(Plan::kMaster, module_, field, prompter_);
    EXPECT_EQ(prompter_.Texts(), (Texts{FolderMissingText(field), FolderMissingText(field)}));
  }
  EXPECT_FALSE(PathExists(InTerminal("Varnick.exe")));
  EXPECT_FALSE(PathExists(InTerminal("experts\\e-a.mq4")));
  EXPECT_FALSE(PathExists("\\experts\\e-a.mq4"));
}

TEST_F(CopyEngine, PathsOfTwoHundredSixtyCharactersAreRefusedNotCut) {
  SetUpMaster();
  // A destination that exists and fits, but whose file paths for longer names do not.
  std::string deep = terminal_;
  while (deep.size() < 240) {
    deep += "\\" + std::string(std::min<size_t>(40, 249 - deep.size()), 'd');
    MakeFolder(deep);
  }
  WriteFileText(master_ + "\\z-a-name-long-enough-to-overflow.dll", "long");

  CopyFiles(master_, deep, "*.dll", prompter_);
  EXPECT_EQ(prompter_.Texts(), Texts{PathTooLongText(deep + "\\z-a-name-long-enough-to-overflow.dll")});
  EXPECT_TRUE(PathExists(deep + "\\q.dll"));

  prompter_.messages.clear();
  MakeFolder(root_ / "core");
  const std::string too_long = deep + "\\" + std::string(20, 'x');
  RunPlan(Plan::kCore, module_, too_long, prompter_);
  EXPECT_EQ(prompter_.Texts(), Texts{PathTooLongText(too_long)});
}

TEST_F(CopyEngine, SearchesThatFindNothingAreSilent) {
  MakeFolder(master_);
  std::vector<std::string> names{"stale"};
  EXPECT_EQ(GetFilesAsArray(master_ + "\\*.dll", names, prompter_), 0);
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(GetFilesAsArray(root_ / "gone\\*.dll", names, prompter_), 0);
  // "." and ".." are found by "*" but are not names to copy.
  MakeFolder(master_ + "\\sub");
  EXPECT_EQ(GetFilesAsArray(master_ + "\\sub\\*", names, prompter_), 1);
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(prompter_.Texts(), Texts{});
}

}  // namespace
