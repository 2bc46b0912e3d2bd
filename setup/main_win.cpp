// Lobrine.exe: the setup dialog, or with "/install" the install command.
#include <windows.h>

#include <cstdlib>

#include "install_command.h"
#include "lobrine_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    if (IsInstallCommand(__argc, __argv)) return RunInstallCommand(__argc, __argv);
    CLobrineApp app;
    app.InitInstance();
    return 0;
  } catch (...) {
    return 1;
  }
}
