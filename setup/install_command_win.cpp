#include <windows.h>

#include "install_command.h"
#include "module_path.h"
#include "plan_runner.h"
#include "setup_messages.h"

namespace {

// The program has no console of its own: it writes to the standard output it was given, or
// else to the console of the process that started it.
class ConsolePrompter : public Prompter {
 public:
  ConsolePrompter() : _out(GetStdHandle(STD_OUTPUT_HANDLE)) {
    if (!_out || _out == INVALID_HANDLE_VALUE) {
      if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        _out = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
      }
    }
  }

  int Ask(const std::string& text, const char* caption, unsigned style) override {
    const bool question = (style & MB_TYPEMASK) == MB_YESNO;
    if (style & MB_ICONERROR) ++failures;
    Write(std::string(caption) + ": " + text + (question ? " Yes" : "") + "\r\n");
    return question ? IDYES : IDOK;
  }

  void Write(const std::string& text) {
    DWORD written;
    if (_out && _out != INVALID_HANDLE_VALUE) {
      WriteFile(_out, text.data(), static_cast<DWORD>(text.size()), &written, NULL);
    }
  }

  int failures = 0;

 private:
  HANDLE _out;
};

}  // namespace

bool IsInstallCommand(int argc, char** argv) {
  return argc >= 2 && lstrcmpiA(argv[1], "/install") == 0;
}

int RunInstallCommand(int argc, char** argv) {
  ConsolePrompter console;
  Plan plan;
  if (argc != 4 || !PlanFromName(argv[2], plan)) {
    console.Write("usage: Lobrine.exe /install core|master|slave <folder>\r\n");
    return 2;
  }
  std::string module_path;
  if (unsigned long code = GetModulePath(module_path)) {
    console.Write(ModulePathFailedText(code, module_path) + "\r\n");
    return 1;
  }
  RunPlan(plan, module_path, argv[3], console);
  return console.failures ? 1 : 0;
}
