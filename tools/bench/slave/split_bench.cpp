// _images_split throughput on a large image set built by the master's own writer.
#include <benchmark/benchmark.h>

#include <string>

#include "image_set_split.h"
#include "image_text.h"
#include "master_image.h"

namespace {

// `masters` images of `orders` market and `orders` history orders each, as the hub sends them.
std::string LargeImageSet(int masters, int orders) {
  std::string text;
  AppendImageSetHeader(text, masters, 10);
  for (int m = 0; m < masters; m++) {
    MasterImage image;
    const std::string comment = "copied from master #" + std::to_string(m);
    image.Set("channel " + std::to_string(m), std::to_string(1000000 + m));
    for (int i = 0; i < orders; i++) {
      OrderFields o{100000000 + i, i % 7,  i % 6,       0.01 * (1 + i % 500), "EURUSD",  1.08 + i * 1e-5,
                    1.07,          1.09,   1700000000 + i, 1.0812,            i,         0,
                    comment};
      image.Append(kMarketOrders, 5, 2, o);
      image.Append(kHistoryOrders, 5, 2, o);
    }
    text += image.Text();
  }
  return text;
}

void ImagesSplit(benchmark::State& state) {
  std::string text = LargeImageSet(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  ImageSet set;
  for (auto _ : state)
    if (SplitImageSet(text, set) != 1) state.SkipWithError("the set did not split");
  state.SetBytesProcessed(state.iterations() * text.size());
  state.counters["set_bytes"] = static_cast<double>(text.size());
}

}  // namespace

// 1 master with 100 + 100 orders (a usual set), 10 masters with 10000 + 10000 each (about 20 MB).
BENCHMARK(ImagesSplit)->Args({1, 100})->Args({10, 10000})->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
