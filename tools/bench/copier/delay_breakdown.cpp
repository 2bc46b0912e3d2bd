#include "delay_breakdown.h"

#include <algorithm>
#include <cstdio>

namespace {

// The stages of one copy, as differences of times that follow one another, so that they add
// up to the delay. The hub publishes inside the master's send, so a slave may wake before the
// send returns: the publication is taken as whichever came first. Likewise the benchmark may
// see the journal's line before the slave takes the time its actions ended.
CopyStages Stages(const ChangeTimes& change, const CopyPassTrace& pass, double detected) {
  const double published = std::max(change.send_began, std::min(change.sent, pass.woke));
  const double waiting_from = std::max(published, std::min(pass.wait_began, pass.woke));
  const double traded = std::min(pass.done, detected);
  CopyStages s;
  s.ms[kMasterScan] = change.send_began - change.changed;
  s.ms[kSend] = published - change.send_began;
  s.ms[kSlaveBusy] = waiting_from - published;
  s.ms[kWake] = pass.woke - waiting_from;
  s.ms[kFetch] = pass.fetched - pass.woke;
  s.ms[kSplit] = pass.split - pass.fetched;
  s.ms[kGather] = pass.gathered - pass.split;
  s.ms[kPlan] = pass.planned - pass.gathered;
  s.ms[kExecute] = traded - pass.planned;
  s.ms[kDetect] = detected - traded;
  return s;
}

}  // namespace

const char* StageName(Stage stage) {
  static const char* const kNames[kStageCount] = {"master scan", "send, publish", "slave busy", "wake",
                                                  "fetch",       "split",         "gather",     "plan",
                                                  "execute",     "detect"};
  return stage >= 0 && stage < kStageCount ? kNames[stage] : "?";
}

std::vector<CopyStages> SplitDelays(const std::vector<ChangeTimes>& changes,
                                    const std::vector<std::vector<CopyPassTrace>>& passes, int& unmatched) {
  std::vector<CopyStages> copies;
  unmatched = 0;
  std::vector<size_t> next(passes.size(), 0);
  for (const ChangeTimes& change : changes)
    for (size_t k = 0; k < change.detected.size(); k++) {
      if (k >= passes.size()) {
        unmatched++;
        continue;
      }
      const std::vector<CopyPassTrace>& own = passes[k];
      size_t& j = next[k];
      while (j < own.size() && own[j].done < change.send_began) j++;
      if (j < own.size() && own[j].planned <= change.detected[k])
        copies.push_back(Stages(change, own[j++], change.detected[k]));
      else
        unmatched++;
    }
  return copies;
}

double Percentile(std::vector<double> values, double q) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const double at = std::clamp(q, 0.0, 1.0) * static_cast<double>(values.size());
  return values[std::min(values.size() - 1, static_cast<size_t>(at))];
}

std::string BreakdownTable(const std::vector<CopyStages>& copies) {
  std::string table = "stage              mean ms    p50 ms    p95 ms    p99 ms    max ms\n";
  auto line = [&](const char* name, const std::vector<double>& ms) {
    double sum = 0;
    for (double v : ms) sum += v;
    char text[160];
    std::snprintf(text, sizeof text, "%-15s %10.2f %9.2f %9.2f %9.2f %9.2f\n", name,
                  ms.empty() ? 0.0 : sum / static_cast<double>(ms.size()), Percentile(ms, 0.5),
                  Percentile(ms, 0.95), Percentile(ms, 0.99), Percentile(ms, 1.0));
    table += text;
  };
  std::vector<double> totals(copies.size(), 0.0);
  for (int s = 0; s < kStageCount; s++) {
    std::vector<double> ms;
    for (size_t c = 0; c < copies.size(); c++) {
      ms.push_back(copies[c].ms[s]);
      totals[c] += copies[c].ms[s];
    }
    line(StageName(static_cast<Stage>(s)), ms);
  }
  line("whole delay", totals);
  return table;
}
