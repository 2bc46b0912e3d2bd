// The setup dialog driven from outside, as a user would: Lobrine.exe runs in its own process
// from a scratch setup folder; the test finds its windows, types, clicks and answers its boxes.
#include <windows.h>

#include <gtest/gtest.h>

#include "config_xml.h"
#include "setup_messages.h"
#include "setup_process.h"
#include "system_error_text.h"

namespace {

using Texts = std::vector<std::string>;

constexpr char kTitle[] = "Dremont: Lobrine";

class SetupDialog : public testing::Test {
 protected:
  void SetUp() override {
    setup_.AddFiles("core", {"Varnick.exe", "qelv.xml", "readme.doc"});
    setup_.AddFiles("master", {"e-a.mq4", "e-b.mq4", "s-x.ex4", "qelv_d30or.dll"});
    setup_.AddFiles("slave", {"e-s.ex4", "qelv_r30uv.dll", "b.txt", "A.txt"});
  }

  // Starts the program and waits for its dialog, answering the boxes shown before it.
  HWND Start() {
    process_ = std::make_unique<SetupProcess>(setup_.program());
    HWND dialog = NULL;
    EXPECT_TRUE(AnswerBoxesUntil(
        *process_, [&] { return (dialog = FindProcessWindow(*process_, kTitle)) != NULL; }, boxes_));
    return dialog;
  }

  // Lets the program end, answering what it still asks; returns its exit code.
  int WaitForEnd() {
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(AnswerBoxesUntil(*process_, [&] { return (code = process_->ExitCode()) != STILL_ACTIVE; }, boxes_));
    return static_cast<int>(code);
  }

  std::string Field(HWND dialog, int id) { return ControlText(GetDlgItem(dialog, id)); }

  SetupFolder setup_;
  const std::string config_ = setup_ / "config.xml";
  std::unique_ptr<SetupProcess> process_;
  Texts boxes_;
};

TEST_F(SetupDialog, ShowsTheFoldersOfConfigXmlAndTheFilesToCopyAndEscWritesNothing) {
  const std::string stored =
      "<root>\r\n<core><path>  D:\\Suite  </path></core>\r\n<slave><path>E:\\Slave</path></slave></root>";
  WriteFileText(config_, stored);
  HWND dialog = Start();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(Field(dialog, 1000), "D:\\Suite");
  EXPECT_EQ(Field(dialog, 1005), DefaultFolders().m_strMasterPath);
  EXPECT_EQ(Field(dialog, 1009), "E:\\Slave");
  EXPECT_EQ(Field(dialog, 1001), "Varnick.exe, qelv.xml");
  EXPECT_EQ(Field(dialog, 1006), "e-b.mq4, e-a.mq4, s-x.ex4, qelv_d30or.dll");
  EXPECT_EQ(Field(dialog, 1010), "e-s.ex4, qelv_r30uv.dll, b.txt, A.txt");

  SetControlText(GetDlgItem(dialog, 1005), "F:\\Typed");
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);  // the Esc key
  WaitForEnd();
  EXPECT_EQ(ReadFileText(config_), stored);
  EXPECT_EQ(boxes_, Texts{});
}

TEST_F(SetupDialog, FirstRunReportsTheMissingFileAndTheCloseBoxWritesIt) {
  HWND dialog = Start();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(boxes_, Texts{CreateFileFailedText("ReadXml", 2, SystemErrorText(2), config_)});
  const SetupFolders defaults = DefaultFolders();
  EXPECT_EQ(Field(dialog, 1000), defaults.m_strCorePath);
  EXPECT_EQ(Field(dialog, 1009), defaults.m_strSlavePath);

  SetControlText(GetDlgItem(dialog, 1005), " F:\\Typed ");
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
  WaitForEnd();
  EXPECT_EQ(ReadFileText(config_),
            ConfigXmlText({defaults.m_strCorePath, " F:\\Typed ", defaults.m_strSlavePath}));
}

TEST_F(SetupDialog, CopyButtonRunsThePlanAndAsksBeforeOverwriting) {
  const std::string terminal = setup_ / "terminal";
  for (const char* folder : {"", "\\experts", "\\experts\\scripts", "\\experts\\libraries"}) {
    MakeFolder(terminal + folder);
  }
  const std::string dll = terminal + "\\experts\\libraries\\qelv_d30or.dll";
  WriteFileText(dll, "old");
  WriteFileText(config_, "");
  HWND dialog = Start();
  ASSERT_TRUE(dialog);
  SetControlText(GetDlgItem(dialog, 1005), terminal);

  PostMessageA(GetDlgItem(dialog, 1008), BM_CLICK, 0, 0);
  auto copied = [&] { return ReadFileText(dll) == "new qelv_d30or.dll"; };
  EXPECT_TRUE(AnswerBoxesUntil(*process_, copied, boxes_, IDYES));
  EXPECT_EQ(boxes_, Texts{OverwriteQuestion(dll, setup_ / "master\\qelv_d30or.dll")});
  for (const char* file : {"experts\\e-a.mq4", "experts\\e-b.mq4", "experts\\scripts\\s-x.ex4"}) {
    EXPECT_TRUE(PathExists(terminal + "\\" + file)) << file;
  }

  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  WaitForEnd();
  EXPECT_EQ(boxes_.size(), 1u);
  SetupFolders written = DefaultFolders();
  ReadConfigXmlText(ReadFileText(config_).c_str(), written);
  EXPECT_EQ(written.m_strMasterPath, terminal);
}

TEST_F(SetupDialog, FolderBrowserOpensAtTheFieldsFolder) {
  WriteFileText(config_, "");
  const std::string start = setup_ / "slave";
  HWND dialog = Start();
  ASSERT_TRUE(dialog);
  SetControlText(GetDlgItem(dialog, 1009), start);

  for (int button : {IDCANCEL, IDOK}) {
    PostMessageA(GetDlgItem(dialog, 1011), BM_CLICK, 0, 0);
    HWND browser = NULL;
    ASSERT_TRUE(AnswerBoxesUntil(*process_, [&] {
      return (browser = FindProcessWindow(*process_, "Slave terminal:")) != NULL ||
             (browser = FindProcessWindow(*process_, "Browse for Folder")) != NULL;
    }, boxes_));
    PostMessageA(browser, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    ASSERT_TRUE(AnswerBoxesUntil(*process_, [&] { return !IsWindow(browser); }, boxes_));
    // Cancel leaves the field; OK takes the folder the browser was opened at.
    EXPECT_EQ(Field(dialog, 1009), start);
  }
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  WaitForEnd();
  EXPECT_EQ(boxes_, Texts{});
}

// With its field empty, a terminal's browser opens where newer terminals keep their data
// folders (%APPDATA%\MetaQuotes\Terminal), so that OK takes that folder.
TEST_F(SetupDialog, EmptyTerminalFieldBrowsesFromTheTerminalsDataFolders) {
  WriteFileText(config_, "");
  const std::string roaming = setup_ / "Roaming", terminals = roaming + "\\MetaQuotes\\Terminal";
  for (const std::string& folder : {roaming, roaming + "\\MetaQuotes", terminals}) MakeFolder(folder);
  char saved[MAX_PATH] = "";
  const DWORD saved_length = GetEnvironmentVariableA("APPDATA", saved, sizeof saved);
  SetEnvironmentVariableA("APPDATA", roaming.c_str());  // inherited by the program
  HWND dialog = Start();
  SetEnvironmentVariableA("APPDATA", saved_length > 0 && saved_length < sizeof saved ? saved : NULL);
  ASSERT_TRUE(dialog);

  const struct {
    int field, browse;
    const char* title;
  } terminal_sections[] = {{1005, 1007, "Master terminal:"}, {1009, 1011, "Slave terminal:"}};
  for (const auto& section : terminal_sections) {
    SetControlText(GetDlgItem(dialog, section.field), "");
    PostMessageA(GetDlgItem(dialog, section.browse), BM_CLICK, 0, 0);
    HWND browser = NULL;
    ASSERT_TRUE(AnswerBoxesUntil(*process_, [&] {
      return (browser = FindProcessWindow(*process_, section.title)) != NULL ||
             (browser = FindProcessWindow(*process_, "Browse for Folder")) != NULL;
    }, boxes_));
    PostMessageA(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(AnswerBoxesUntil(*process_, [&] { return !IsWindow(browser); }, boxes_));
    EXPECT_EQ(Field(dialog, section.field), terminals) << section.title;
  }
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  WaitForEnd();
  EXPECT_EQ(boxes_, Texts{});
}

}  // namespace
