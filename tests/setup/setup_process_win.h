// Lobrine.exe run as a separate process from a scratch setup folder, and the windows it shows.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "child_process.h"
#include "temp_folder.h"

// A setup folder: the program (under a name of the test's choosing) beside core, master and
// slave, each holding the files named.
class SetupFolder {
 public:
  explicit SetupFolder(const std::string& program_name = "Lobrine.exe");
  void AddFiles(const std::string& source, std::initializer_list<const char*> names);
  std::string operator/(const std::string& relative) const { return _folder / relative; }
  const std::string& program() const { return _program; }

 private:
  TempFolder _folder;
  std::string _program;
};

// A terminal's folder with the experts folders an install copies into.
void MakeTerminalFolder(const std::string& path);

// One run of the program; ended by force if it still runs when the object goes.
class SetupProcess {
 public:
  // `arguments` follow the program's path on the command line. Standard output is collected.
  SetupProcess(const std::string& program, const std::string& arguments = "");
  ~SetupProcess();
  SetupProcess(const SetupProcess&) = delete;
  SetupProcess& operator=(const SetupProcess&) = delete;

  // Waits, within a generous bound, for the end; returns the exit code or -1 on time-out.
  int Wait();
  // The exit code, or STILL_ACTIVE while the process runs.
  DWORD ExitCode() const { return _process.ExitCode(); }
  // What the program wrote, once it has ended.
  std::string Output();
  DWORD id() const { return _process.Id(); }

 private:
  ChildProcess _process;
  HANDLE _output = NULL;
  std::string _collected;
};

// Polls, within a generous bound, until `done` holds. Every message box the process shows on
// the way ("Warning" boxes) is recorded in `boxes` and answered: Yes/No boxes with `answer`,
// others with OK. Returns false on time-out.
bool AnswerBoxesUntil(const SetupProcess& process, const std::function<bool()>& done,
                      std::vector<std::string>& boxes, int answer = IDNO);

// The process's visible top-level dialog with that title, or NULL.
HWND FindProcessWindow(const SetupProcess& process, const char* title);

// The text of a control in another process.
std::string ControlText(HWND window);
void SetControlText(HWND window, const std::string& text);
