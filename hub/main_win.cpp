// Varnick.exe: the hub between one master terminal and its slaves.
#include <windows.h>

#include "varnick_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    CVarnickApp app;
    return app.Run();
  } catch (...) {
    return 1;
  }
}
