// One copying pass of the slave expert, timed for the copy-delay benchmark's breakdown: when
// its wait began and when each step ended, in milliseconds of the performance counter, which
// every process of the machine reads alike. One line per pass that ran actions:
//
//   pass 1200.125 1203.500 1204.000 1204.250 1205.000 1206.500 1207.750 1
//
// (wait began, woke, fetched, split, gathered, planned, done, actions).
#pragma once
#include <string>
#include <string_view>
#include <vector>

struct CopyPassTrace {
  double wait_began = 0;  // the expert asked for the published checksum
  double woke = 0;        // the wait answered
  double fetched = 0;     // the set is in the library (= woke when the set held was current)
  double split = 0;       // and split (= fetched likewise)
  double gathered = 0;    // the account's orders and the wanted symbols' facts are given
  double planned = 0;
  double done = 0;  // the actions ran: their trades are in the account's journal
  int actions = 0;
};

std::string FormatPassTrace(const CopyPassTrace& pass);
// False for a line that is not a pass, or whose steps do not follow one another in time.
bool ParsePassTrace(std::string_view line, CopyPassTrace& pass);
// The passes of a trace file's text; its last line is left out when it has no end yet (the
// slave was stopped while writing it). False for a complete line that is not a pass.
bool ParsePassTraces(std::string_view text, std::vector<CopyPassTrace>& passes);
