// qelv_relay.exe: carries master images between hubs over a broker.
#include <windows.h>

#include "relay_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    return RelayApp().Run();
  } catch (...) {
    return 1;
  }
}
