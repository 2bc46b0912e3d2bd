// Time for the hub to accept one master image and rebuild and checksum the whole image set,
// for M masters of N market orders each (every master's image has the same size).
#include <benchmark/benchmark.h>

#include <string>

#include "image_set.h"
#include "image_text.h"
#include "order_line.h"

namespace {

std::string MasterImageText(int master, int orders) {
  std::string market;
  for (int i = 0; i < orders; i++) {
    OrderFields o;
    o.num1 = 100000 + i, o.num2 = 1250000000 + i, o.type = i % 6, o.lots = 0.1 * (1 + i % 7);
    o.symbol = "EURUSD", o.price6 = 1.08345 + i * 1e-5, o.price7 = 1.07, o.price8 = 1.1;
    o.num11 = 777, o.num12 = i, o.comment = "copied by the simulator";
    if (i) market += '\n';
    market += FormatOrderLine(o, 5, 2);
  }
  return BuildImageText("bench", std::to_string(40000 + master), market, "");
}

void AcceptAndRebuild(benchmark::State& state) {
  const int masters = static_cast<int>(state.range(0));
  const int orders = static_cast<int>(state.range(1));
  TerminalRegistry registry([] { return 0u; });
  for (int m = 1; m <= masters; m++) {
    registry.Marker(kMasterKind, m, 1);
    std::string image = MasterImageText(m, orders);
    AcceptImage(registry, m, image.data(), image.size());
  }
  const std::string image = MasterImageText(masters, orders);  // the last master sends again
  size_t set_bytes = BuildImageSet(registry).size();
  for (auto _ : state) {
    auto checksum = AcceptImage(registry, masters, image.data(), image.size());
    benchmark::DoNotOptimize(checksum);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * set_bytes));
  state.counters["set_kB"] = static_cast<double>(set_bytes) / 1024;
}

BENCHMARK(AcceptAndRebuild)
    ->ArgNames({"masters", "orders"})
    ->ArgsProduct({{1, 10, 50}, {10, 200, 1000}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
