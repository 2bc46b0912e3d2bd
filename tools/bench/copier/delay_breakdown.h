// Where the copy delay goes: each copy's delay, from the master's change until the copy's trade
// is in the slave's journal, cut into stages at the times the benchmark and the slave's pass
// trace took. The stages of one copy add up to its delay.
#pragma once
#include <string>
#include <vector>

#include "copy_pass_trace.h"

// One change as the benchmark saw it, in performance-counter milliseconds: when the master's
// account changed, when its expert's send began and when it returned (the hub has published by
// then), and when each copying slave's journal showed the copy.
struct ChangeTimes {
  double changed = 0, send_began = 0, sent = 0;
  std::vector<double> detected;  // one per copier
};

enum Stage {
  kMasterScan,  // the change waits for the master expert's timer and its image
  kSend,        // the image goes to the hub, which publishes it
  kSlaveBusy,   // the slave was still in its previous pass at the publication
  kWake,        // from the publication (or the end of that pass) until the wait answered
  kFetch,
  kSplit,
  kGather,   // the account's orders and symbols handed to the library
  kPlan,
  kExecute,  // the trade on the simulated server, journal included
  kDetect,   // until the benchmark saw the journal's new line
  kStageCount
};
const char* StageName(Stage stage);

struct CopyStages {
  double ms[kStageCount] = {};
};

// The stages of every copy: copy (change c, copier k) goes with the first pass of copier k,
// after the one matched before, that ended once the change's send began and had planned by the
// time the copy was seen. `passes[k]` are copier k's traced passes in order. Copies without such a pass
// are left out and counted in `unmatched`.
std::vector<CopyStages> SplitDelays(const std::vector<ChangeTimes>& changes,
                                    const std::vector<std::vector<CopyPassTrace>>& passes, int& unmatched);

// The value at quantile q (0 to 1) of `values`: element floor(q * n) of them sorted, the largest
// for q = 1; 0 for none.
double Percentile(std::vector<double> values, double q);

// One line per stage and one for the whole delay: mean, p50, p95, p99 and max in ms.
std::string BreakdownTable(const std::vector<CopyStages>& copies);
