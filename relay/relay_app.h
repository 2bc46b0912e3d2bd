// The relay process: reads qelv-relay.xml beside itself, logs to qelv-relay.log beside itself,
// keeps the sequence numbers it took in qelv-relay.sequences beside itself, runs the relay while
// its status window is open. Settings it cannot read or refuses are shown
// in the window and the log, and nothing else runs.
#pragma once

class RelayApp {
 public:
  // Runs until the status window closes; the exit code.
  int Run();
};
