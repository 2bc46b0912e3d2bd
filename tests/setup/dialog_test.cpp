// The setup dialog driven from outside, as a user would: Lobrine.exe runs in its own process
// from a scratch setup folder; the test finds its windows, types, clicks and answers its boxes.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "config_xml.h"
#include "setup_messages.h"
#include "setup_process_win.h"
#include "system_error_text.h"

namespace {

using Texts = std::vector<std::string>;

constexpr char kTitle[] = "Dremont: Lobrine";

// Reads each folder on the way to `path` once. Wine's browser finds the folder it opens at by
// comparing folder entries byte for byte, access times included; a folder read for the first
// time since it changed gets a new access time (relatime mounts), and when that falls between
// the browser's two looks, it opens higher up. Read beforehand, the times hold still.
void ReadFoldersDownTo(const std::string& path) {
  for (size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path.substr(0, end) + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
      while (FindNextFileA(search, &entry)) {
      }
      FindClose(search);
    }
    if (end == std::string::npos) return;
  }
}

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

  // Clicks a browse button and waits for the folder browser, which opens at `opens_at`; its
  // caption is the section's label or the browser's own title, as the system has it. NULL on
  // time-out.
  HWND OpenBrowser(HWND dialog, int button, const char* label, const std::string& opens_at) {
    ReadFoldersDownTo(opens_at);
    PostMessageA(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
    HWND browser = NULL;
    EXPECT_TRUE(AnswerBoxesUntil(*process_, [&] {
      return (browser = FindProcessWindow(*process_, label)) != NULL ||
             (browser = FindProcessWindow(*process_, "Browse for Folder")) != NULL;
    }, boxes_));
    return browser;
  }

  // Presses a button of the browser and waits until it is gone.
  bool CloseBrowser(HWND browser, int button) {
    PostMessageA(browser, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    return AnswerBoxesUntil(*process_, [&] { return !IsWindow(browser); }, boxes_);
  }

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

TEST_F(SetupDialog, EnterEndsTheDialogWithoutWritingConfigXml) {
  const std::string stored = "<root><master><path>E:\\Master</path></master></root>";
  WriteFileText(config_, stored);
  HWND dialog = Start();
  ASSERT_TRUE(dialog);
  HWND field = GetDlgItem(dialog, 1005);
  SetControlText(field, "F:\\Typed");
  // Through the dialog manager, which makes the key an OK command: the dialog has no default
  // button.
  PostMessageA(field, WM_KEYDOWN, VK_RETURN, 1);
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
    HWND browser = OpenBrowser(dialog, 1011, "Slave terminal:", start);
    ASSERT_TRUE(browser);
    ASSERT_TRUE(CloseBrowser(browser, button));
    // Cancel leaves the field; OK takes the folder the browser was opened at.
    EXPECT_EQ(Field(dialog, 1009), start);
  }
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  WaitForEnd();
  EXPECT_EQ(boxes_, Texts{});
}

TEST_F(SetupDialog, FolderChosenInTheBrowserReplacesTheFieldAndTheCloseBoxWritesIt) {
  WriteFileText(config_, "");
  const std::string start = setup_ / "slave", chosen = start.substr(0, start.rfind('\\'));
  HWND dialog = Start();
  ASSERT_TRUE(dialog);
  SetControlText(GetDlgItem(dialog, 1009), start);

  HWND browser = OpenBrowser(dialog, 1011, "Slave terminal:", start);
  ASSERT_TRUE(browser);
  // The user clicks the folder above the one the browser opened at.
  HWND tree = FindWindowExA(browser, NULL, WC_TREEVIEWA, NULL);
  ASSERT_TRUE(tree);
  const LRESULT opened = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
  const LRESULT parent = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_PARENT, opened);
  ASSERT_TRUE(opened && parent);
  ASSERT_TRUE(SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, parent));
  ASSERT_TRUE(CloseBrowser(browser, IDOK));
  EXPECT_EQ(Field(dialog, 1009), chosen);

  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  WaitForEnd();
  EXPECT_EQ(boxes_, Texts{});
  SetupFolders written;
  ReadConfigXmlText(ReadFileText(config_).c_str(), written);
  EXPECT_EQ(written.m_strSlavePath, chosen);
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
    HWND browser = OpenBrowser(dialog, section.browse, section.title, terminals);
    ASSERT_TRUE(browser);
    ASSERT_TRUE(CloseBrowser(browser, IDOK));
    EXPECT_EQ(Field(dialog, section.field), terminals) << section.title;
  }
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  WaitForEnd();
  EXPECT_EQ(boxes_, Texts{});
}

}  // namespace
