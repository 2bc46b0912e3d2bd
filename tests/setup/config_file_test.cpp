// config.xml on disk: what ReadXml and WriteXml do with real files and their failures.
#include <windows.h>

#include <gtest/gtest.h>

#include "config_file.h"
#include "recording_prompter_win.h"
#include "setup_messages.h"
#include "system_error_text.h"
#include "temp_folder.h"

namespace {

using Texts = std::vector<std::string>;

TEST(ConfigFile, MissingFileIsReportedAndChangesNothing) {
  TempFolder folder;
  RecordingPrompter prompter;
  SetupFolders folders = DefaultFolders();
  const std::string path = folder / "config.xml";
  EXPECT_EQ(ReadXml(path, folders, prompter), 1);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, "ReadXml: CreateFile failed \r\nErrorCode: 2 \r\nErrorMessage: " +
                                           SystemErrorText(2) + " \r\nPath: " + path);
  EXPECT_EQ(prompter.messages[0].caption, "Warning");
  EXPECT_EQ(prompter.messages[0].style, unsigned(MB_ICONERROR));
  EXPECT_EQ(folders.m_strCorePath, DefaultFolders().m_strCorePath);
}

TEST(ConfigFile, WrittenFileReadsBackTrimmed) {
  TempFolder folder;
  RecordingPrompter prompter;
  const std::string path = folder / "config.xml";
  const SetupFolders written{" D:\\Dremont & co ", "E:\\Master", "F:\\Slave"};
  WriteFileText(path, "an older and longer file that is replaced whole");
  EXPECT_EQ(WriteXml(path, written, prompter), 0);
  EXPECT_EQ(ReadFileText(path), ConfigXmlText(written));

  SetupFolders read = DefaultFolders();
  EXPECT_EQ(ReadXml(path, read, prompter), 0);
  EXPECT_EQ(read.m_strCorePath, "D:\\Dremont & co");
  EXPECT_EQ(read.m_strMasterPath, "E:\\Master");
  EXPECT_EQ(read.m_strSlavePath, "F:\\Slave");
  EXPECT_EQ(prompter.Texts(), Texts{});
}

TEST(ConfigFile, FileIsReadWholeAndOnlyUpToAZeroByte) {
  TempFolder folder;
  RecordingPrompter prompter;
  const std::string path = folder / "config.xml";
  // Tags beyond the first read chunks of 1023 bytes.
  WriteFileText(path, std::string(5000, '\n') + "<root><core><path>D:\\Far</path></core></root>");
  SetupFolders read = DefaultFolders();
  EXPECT_EQ(ReadXml(path, read, prompter), 0);
  EXPECT_EQ(read.m_strCorePath, "D:\\Far");

  const char hidden[] = "<root>\0<core><path>D:\\Hidden</path></core></root>";
  WriteFileText(path, std::string(hidden, sizeof hidden - 1));
  read = DefaultFolders();
  EXPECT_EQ(ReadXml(path, read, prompter), 0);
  EXPECT_EQ(read.m_strCorePath, DefaultFolders().m_strCorePath);
  EXPECT_EQ(prompter.Texts(), Texts{});
}

TEST(ConfigFile, FileThatCannotBeCreatedIsReported) {
  TempFolder folder;
  RecordingPrompter prompter;
  const std::string path = folder / "gone\\config.xml";
  EXPECT_EQ(WriteXml(path, DefaultFolders(), prompter), 1);
  EXPECT_EQ(prompter.Texts(), Texts{CreateFileFailedText("WriteXml", 3, SystemErrorText(3), path)});
  EXPECT_EQ(prompter.messages[0].style, unsigned(MB_ICONERROR));
}

}  // namespace
