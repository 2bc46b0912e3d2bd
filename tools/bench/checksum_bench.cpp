// Image checksum throughput on order-like ASCII text, next to zlib's crc32 on the same buffer.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <string>

#include "image_checksum.h"

namespace {

std::string OrderText(size_t size) {
  const std::string line = "12345678\t0\t0\t0.10\tEURUSD\t1.23450\t1.30000\t0.00000\t0\t0.00000\t0\t0\tcomment\n";
  std::string text;
  while (text.size() < size) text += line;
  text.resize(size);
  return text;
}

void ImageChecksum(benchmark::State& state) {
  std::string text = OrderText(state.range(0));
  for (auto _ : state)
    benchmark::DoNotOptimize(image_checksum(text.data(), static_cast<int32_t>(text.size())));
  state.SetBytesProcessed(state.iterations() * text.size());
}

void ZlibCrc32(benchmark::State& state) {
  std::string text = OrderText(state.range(0));
  for (auto _ : state)
    benchmark::DoNotOptimize(crc32(0, reinterpret_cast<const Bytef*>(text.data()), text.size()));
  state.SetBytesProcessed(state.iterations() * text.size());
}

}  // namespace

BENCHMARK(ImageChecksum)->Arg(64 << 10)->Arg(6 << 20);
BENCHMARK(ZlibCrc32)->Arg(64 << 10)->Arg(6 << 20);
BENCHMARK_MAIN();
