// terminal_sim slave --copy: the slave expert's cycle of e-qelv-slave.mq4, call for call,
// against the real library and a simulated trade server of the slave's own.
#pragma once
#include <string>

#include "slave_library_win.h"

struct CopyOptions {
  std::string channel;
  std::string settings;  // the copier's settings text (copy_settings.h)
  std::string journal;   // the account's journal; "<journal>.following" keeps following_since
  std::string faults, symbols;  // account_options.h
  std::string trace;  // where each pass that ran actions is timed (copy_pass_trace.h), if anywhere
  int instance = 1;
  int duration_ms = 0;  // 0: until stopped
};

// Runs the expert on `chart` until g_stop or the duration; answers the process's exit code:
// 0, 2 for settings with problems or an account that cannot be opened.
int RunCopyExpert(const SlaveExports& s, const CopyOptions& opt, int chart);
