#include "setup_process_win.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "poll_until.h"

namespace {

constexpr DWORD kPollLimitMs = 120000;  // slow, busy machines: a bound, not an expectation

struct WindowSearch {
  DWORD process;
  std::string title;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char title[256] = "";
  char name[64] = "";
  GetWindowTextA(window, title, sizeof title);
  GetClassNameA(window, name, sizeof name);
  if (owner == search->process && IsWindowVisible(window) && search->title == title &&
      std::string(name) == "#32770") {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// A message box's text is its one static control with text (the control's ID differs between
// Windows and Wine).
BOOL CALLBACK FindBoxText(HWND control, LPARAM data) {
  char name[64] = "";
  GetClassNameA(control, name, sizeof name);
  std::string text = ControlText(control);
  if (lstrcmpiA(name, "Static") == 0 && !text.empty()) {
    *reinterpret_cast<std::string*>(data) = text;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

SetupFolder::SetupFolder(const std::string& program_name) : _program(_folder / program_name) {
  EXPECT_TRUE(CopyFileA(QELV_BIN_DIR "Lobrine.exe", _program.c_str(), FALSE));
  for (const char* source : {"core", "master", "slave"}) MakeFolder(_folder / source);
}

void SetupFolder::AddFiles(const std::string& source, std::initializer_list<const char*> names) {
  for (const char* name : names) WriteFileText(_folder / (source + "\\" + name), "new " + std::string(name));
}

void MakeTerminalFolder(const std::string& path) {
  MakeFolder(path);
  for (const char* folder : {"\\experts", "\\experts\\scripts", "\\experts\\libraries", "\\experts\\files"})
    MakeFolder(path + folder);
}

SetupProcess::SetupProcess(const std::string& program, const std::string& arguments) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, NULL, TRUE};
  HANDLE write_end = NULL;
  EXPECT_TRUE(CreatePipe(&_output, &write_end, &inherit, 1 << 16));
  SetHandleInformation(_output, HANDLE_FLAG_INHERIT, 0);
  std::string command = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
  // The program's working folder is not its own: nothing may depend on it.
  EXPECT_TRUE(_process.StartWithHandles(command, write_end, write_end, NULL)) << command;
  CloseHandle(write_end);
}

SetupProcess::~SetupProcess() {
  _process.Kill();  // before the pipe closes
  if (_output) CloseHandle(_output);
}

int SetupProcess::Wait() {
  if (!_process.WaitForExit(kPollLimitMs)) return -1;
  return static_cast<int>(ExitCode());
}

std::string SetupProcess::Output() {
  // Only what the pipe holds: reading to its end could wait for ever, as a Wine background
  // process the program started (explorer.exe, when none ran) keeps the program's handles.
  char chunk[4096];
  DWORD available = 0, read = 0;
  while (PeekNamedPipe(_output, NULL, 0, NULL, &available, NULL) && available > 0 &&
         ReadFile(_output, chunk, std::min<DWORD>(available, sizeof chunk), &read, NULL) && read > 0)
    _collected.append(chunk, read);
  return _collected;
}

HWND FindProcessWindow(const SetupProcess& process, const char* title) {
  WindowSearch search{process.id(), title, NULL};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool AnswerBoxesUntil(const SetupProcess& process, const std::function<bool()>& done,
                      std::vector<std::string>& boxes, int answer) {
  return PollUntil(kPollLimitMs, [&] {
    HWND box = FindProcessWindow(process, "Warning");
    if (!box) return done();
    std::string text;
    EnumChildWindows(box, FindBoxText, reinterpret_cast<LPARAM>(&text));
    boxes.push_back(text);
    const int button = GetDlgItem(box, IDYES) ? answer : IDOK;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    PollUntil(kPollLimitMs, [&] { return !IsWindow(box); });  // until that box is gone
    return false;
  });
}

std::string ControlText(HWND window) {
  char text[4096] = "";
  DWORD_PTR length = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, kPollLimitMs, &length);
  return std::string(text, length);
}

void SetControlText(HWND window, const std::string& text) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                      SMTO_ABORTIFHUNG, kPollLimitMs, &result);
}
