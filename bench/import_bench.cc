// Throughput of the surcharge tallies under many distinct rates: the time
// per item must stay flat as the input grows a hundredfold, which shows that
// counting is not quadratic. Whole imports are measured by impordano_speed.
#include <benchmark/benchmark.h>

#include "support/value_tally.h"

namespace {

void BM_DistinctRates(benchmark::State& state) {
  const int64_t count = state.range(0);
  for (auto _ : state) {
    imp::ValueTally tally;
    for (int64_t i = 0; i < count; ++i) tally.Add(static_cast<double>(i) * 0.01);
    benchmark::DoNotOptimize(tally.MostFrequent());
  }
  state.SetItemsProcessed(count * state.iterations());
}
BENCHMARK(BM_DistinctRates)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
