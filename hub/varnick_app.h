// The hub process: reads its settings, allows one hub per channel id, registers the hidden
// window's class under the channel id and runs the hub dialog.
#pragma once
#include "hub_settings.h"

class CVarnickApp {
 public:
  // Runs the hub until its dialog closes, or ends at once when it must; the exit code.
  int Run();

 private:
  // Reads the settings and runs the dialog until it closes; returns at once when a hub of the
  // channel runs already or start-up fails. The exit step follows on every path.
  void InitInstance();
  void ExitInstance();

  HubSettings settings_;  // those of an unreadable file until qelv.xml is read
};
