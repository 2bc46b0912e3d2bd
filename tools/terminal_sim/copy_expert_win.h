// terminal_sim slave --copy: the slave expert of e-qelv-slave.mq4 itself, translated, on a
// chart of a simulated terminal whose account trades on a simulated trade server of its own;
// with --mt5, e-qelv-slave.mq5 on a simulated MT5 account.
#pragma once
#include <string>

struct CopyOptions {
  std::string channel;
  std::string inputs;   // the expert's inputs, "Name=value;..." (ChannelId is the channel's)
  std::string dll;      // the slave library the expert's #import loads
  std::string journal;  // the account's journal; "<journal>.globals" keeps the terminal's global variables
                        // (an MT5 account: its state, mt5_account_state.h, rewritten as it changes)
  std::string mt5;      // "hedging" or "netting": an MT5 account of that margin mode; "": MT4
  std::string faults, symbols;  // account_options.h
  std::string trace;  // where each pass that ran actions is timed (copy_pass_trace.h), if anywhere
  int instance = 1;   // the terminal: its account is login 5000 + instance
  int duration_ms = 0;  // 0: until stopped
};

// Runs the expert on the chart window `chart` until g_stop or the duration; answers the
// process's exit code: 0, 2 when the expert did not start (its inputs or settings refused) or
// the account cannot be opened.
int RunCopyExpert(const CopyOptions& opt, int chart);
