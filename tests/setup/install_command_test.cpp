// Lobrine.exe /install core|master|slave <folder>: the plans without the dialog, as an install
// script runs them.
#include <windows.h>

#include <gtest/gtest.h>

#include "setup_messages.h"
#include "setup_process_win.h"

namespace {

int Install(const SetupFolder& setup, const std::string& arguments, std::string* output = nullptr) {
  SetupProcess process(setup.program(), arguments);
  int code = process.Wait();
  if (output) *output = process.Output();
  return code;
}

// A distribution laid out as the tool expects installs the suite into a Dremont folder and two
// terminals.
TEST(InstallCommand, PutsTheSuiteIntoTheDremontFolderAndBothTerminals) {
  SetupFolder setup;
  setup.AddFiles("core", {"Varnick.exe", "qelv.xml"});
  setup.AddFiles("master", {"e-master.mq4", "e-master.ex4", "s-close.ex4", "qelv_d30or.dll"});
  setup.AddFiles("slave", {"e-slave.ex4", "s-close.ex4", "qelv_r30uv.dll", "symbols.txt"});
  const std::string dremont = setup / "Dremont", master = setup / "Terminal 1",
                    slave = setup / "Terminal 2";
  MakeFolder(dremont);
  for (const std::string& terminal : {master, slave}) MakeTerminalFolder(terminal);

  for (const std::string& arguments : {"/install core \"" + dremont + "\"",
                                       "/install master \"" + master + "\"",
                                       "/install slave \"" + slave + "\""}) {
    std::string output;
    EXPECT_EQ(Install(setup, arguments, &output), 0) << arguments;
    EXPECT_EQ(output, "") << arguments;
  }
  for (const std::string& file :
       {dremont + "\\Varnick.exe", dremont + "\\qelv.xml", master + "\\experts\\e-master.mq4",
        master + "\\experts\\e-master.ex4", master + "\\experts\\scripts\\s-close.ex4",
        master + "\\experts\\libraries\\qelv_d30or.dll", slave + "\\experts\\e-slave.ex4",
        slave + "\\experts\\scripts\\s-close.ex4", slave + "\\experts\\libraries\\qelv_r30uv.dll",
        slave + "\\experts\\files\\symbols.txt"}) {
    const std::string name = file.substr(file.rfind('\\') + 1);
    EXPECT_EQ(ReadFileText(file), "new " + name) << file;
  }
}

TEST(InstallCommand, AnswersYesAndPrintsEveryMessage) {
  SetupFolder setup;
  setup.AddFiles("core", {"Varnick.exe"});
  const std::string dremont = setup / "Dremont";
  MakeFolder(dremont);
  WriteFileText(dremont + "\\Varnick.exe", "old");

  std::string output;
  EXPECT_EQ(Install(setup, "/install core " + dremont, &output), 0);
  EXPECT_EQ(output, "Warning: " +
                        OverwriteQuestion(dremont + "\\Varnick.exe", setup / "core\\Varnick.exe") +
                        " Yes\r\n");
  EXPECT_EQ(ReadFileText(dremont + "\\Varnick.exe"), "new Varnick.exe");

  const std::string gone = setup / "gone";
  EXPECT_EQ(Install(setup, "/install master " + gone, &output), 1);
  EXPECT_EQ(output, "Warning: " + FolderMissingText(gone + "\\experts") + "\r\n" +
                        "Warning: " + FolderMissingText(gone + "\\experts\\scripts") + "\r\n" +
                        "Warning: " + FolderMissingText(gone + "\\experts\\libraries") + "\r\n");
}

// With its extension in capitals the program still finds its source folders beside itself.
TEST(InstallCommand, ProgramNamedInCapitalsFindsItsFolders) {
  SetupFolder setup("LOBRINE.EXE");
  setup.AddFiles("core", {"Varnick.exe"});
  const std::string dremont = setup / "Dremont";
  MakeFolder(dremont);
  EXPECT_EQ(Install(setup, "/install core " + dremont), 0);
  EXPECT_EQ(ReadFileText(dremont + "\\Varnick.exe"), "new Varnick.exe");
}

TEST(InstallCommand, WrongCommandLinesAreRefused) {
  SetupFolder setup;
  for (const char* arguments : {"/install", "/install core", "/install hub C:\\x", "/install core a b"}) {
    std::string output;
    EXPECT_EQ(Install(setup, arguments, &output), 2) << arguments;
    EXPECT_EQ(output, "usage: Lobrine.exe /install core|master|slave <folder>\r\n");
  }
}

// A terminal's data folder (MQL4, no experts) gets the plan's files in the MQL4 folders and the
// experts' include files in MQL4\Include; no experts folder is made.
TEST(InstallCommand, PutsMasterAndSlaveIntoDataFolders) {
  SetupFolder setup;
  setup.AddFiles("master", {"e-master.ex4", "s-close.ex4", "qelv_d30or.dll"});
  setup.AddFiles("slave", {"e-slave.ex4", "qelv_r30uv.dll", "symbols.txt"});
  MakeFolder(setup / "include");
  setup.AddFiles("include", {"qelv_d30or.mqh", "qelv_r30uv.mqh"});
  const struct {
    const char* plan;
    std::string terminal;
    std::vector<std::string> files;
  } installs[] = {
      {"master", setup / "Data 1",
       {"MQL4\\Experts\\e-master.ex4", "MQL4\\Scripts\\s-close.ex4",
        "MQL4\\Libraries\\qelv_d30or.dll", "MQL4\\Include\\qelv_d30or.mqh",
        "MQL4\\Include\\qelv_r30uv.mqh"}},
      {"slave", setup / "Data 2",
       {"MQL4\\Experts\\e-slave.ex4", "MQL4\\Libraries\\qelv_r30uv.dll",
        "MQL4\\Files\\symbols.txt", "MQL4\\Include\\qelv_d30or.mqh",
        "MQL4\\Include\\qelv_r30uv.mqh"}},
  };
  for (const auto& install : installs) {
    for (const char* folder : {"", "\\MQL4", "\\MQL4\\Experts", "\\MQL4\\Scripts",
                               "\\MQL4\\Libraries", "\\MQL4\\Files", "\\MQL4\\Include"}) {
      MakeFolder(install.terminal + folder);
    }
    std::string output;
    EXPECT_EQ(Install(setup, std::string("/install ") + install.plan + " \"" + install.terminal + "\"",
                      &output),
              0)
        << install.plan;
    EXPECT_EQ(output, "") << install.plan;
    for (const std::string& file : install.files) {
      const std::string name = file.substr(file.rfind('\\') + 1);
      EXPECT_EQ(ReadFileText(install.terminal + "\\" + file), "new " + name) << file;
    }
    EXPECT_FALSE(PathExists(install.terminal + "\\experts")) << install.plan;
  }
}

// A 64-bit terminal's data folder (MQL5) from a distribution without master\mt5 fails and gets
// nothing, not the 32-bit library; once master\mt5 is there, it gets that folder's files.
TEST(InstallCommand, Mql5DataFolderTakesOnlyThe64BitLibraries) {
  SetupFolder setup;
  setup.AddFiles("master", {"e-master.ex4", "qelv_d30or.dll"});
  const std::string terminal = setup / "Data 5";
  for (const char* folder : {"", "\\MQL5", "\\MQL5\\Experts", "\\MQL5\\Scripts", "\\MQL5\\Libraries",
                             "\\MQL5\\Include"}) {
    MakeFolder(terminal + folder);
  }
  const std::string arguments = "/install master \"" + terminal + "\"";
  std::string output;
  EXPECT_EQ(Install(setup, arguments, &output), 1);
  EXPECT_EQ(output, "Warning: " + LibrariesMissingText(setup / "master\\mt5\\*.dll") + "\r\n");
  EXPECT_FALSE(PathExists(terminal + "\\MQL5\\Libraries\\qelv_d30or.dll"));

  MakeFolder(setup / "master\\mt5");
  setup.AddFiles("master\\mt5", {"e-master.mq5", "qelv_d30or.dll"});
  EXPECT_EQ(Install(setup, arguments, &output), 0);
  EXPECT_EQ(output, "");
  for (const char* file : {"MQL5\\Experts\\e-master.mq5", "MQL5\\Libraries\\qelv_d30or.dll"}) {
    EXPECT_TRUE(PathExists(terminal + "\\" + file)) << file;
  }
}

}  // namespace
