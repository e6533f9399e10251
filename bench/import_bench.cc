// Throughput of whole imports and of the containers under large inputs.
//
// Each benchmark reports records (or items) per second; the time per item
// must stay flat as the input grows ten- and a hundredfold, which is what
// shows that no step is quadratic.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "impordano.h"
#include "support/value_tally.h"

namespace {

// An estimate of `positions` positions, each with numbered take-off lines
// (some with large, sparse numbers), auxiliary materials and four resource
// lines (R, M, S, R), so that every placement rule of the queue is used.
std::string MakeEstimate(int positions) {
  std::string text =
      "[Plik]\r\nOpis=Benchmark\r\nSymbol dziesi\xEAtny=,\r\n[Kosztorys]\r\nNazwa=Bench\r\n";
  for (int p = 1; p <= positions; ++p) {
    const std::string n = std::to_string(p);
    if (p % 50 == 1) text += "[Element " + n + "]\r\nOpis=Rozdzia\xB3 " + n + "\r\nObmiar=1\r\n";
    text += "[Pozycja 1." + n + "]\r\nKatalog=KNR\r\nKolumna=0202-0101-02\r\nOpis=Roboty " + n +
            "\r\nObmiar=12,5\r\nJM=m2\r\nCena=10,25\r\nPrzedmiar 1=2*3\r\nKomentarz 1=opis\r\n"
            "Przedmiar 2=4*5\r\nPrzedmiar 1000000=7\r\nMateria\xB3y pomocnicze=3\r\n";
    const char* kinds[] = {"R", "M", "S", "R"};
    for (int r = 0; r < 4; ++r) {
      text += "[RMS 1." + n + "." + std::to_string(r + 1) + "]\r\nTyp=" + kinds[r] +
              "\r\nNazwa=Zas\xF3" "b " + n + "\r\nJM=szt\r\nCena=12,5\r\nTarvo=0,25\r\n"
              "Wsp\xF3\xB3" "czynnik koryguj\xB9" "cy=1,5\r\nKoszty po\x9Crednie=" +
              std::to_string(60 + p % 3) + "\r\nZysk Kb=12\r\nZysk Kp=12\r\n";
    }
  }
  return text;
}

std::string WriteEstimate(int positions, int64_t* bytes) {
  const std::string path = "/tmp/impordano_bench_" + std::to_string(positions) + ".txt";
  const std::string text = MakeEstimate(positions);
  std::ofstream(path, std::ios::binary) << text;
  *bytes = static_cast<int64_t>(text.size());
  return path;
}

void BM_WholeImport(benchmark::State& state) {
  int64_t bytes = 0;
  const std::string path = WriteEstimate(static_cast<int>(state.range(0)), &bytes);
  static unsigned char buffer[IMP_MAX_RECORD_SIZE];
  int64_t records = 0;
  for (auto _ : state) {
    if (ImpStart(path.c_str()) != IMP_START_OK) state.SkipWithError("ImpStart failed");
    int32_t type = 0;
    while (ImpGetNextToken(&type, buffer) == 1) ++records;
    ImpEnd();
  }
  state.SetBytesProcessed(bytes * state.iterations());
  state.counters["records/s"] = benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsRate);
  state.counters["ns/record"] = benchmark::Counter(
      static_cast<double>(records), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  std::remove(path.c_str());
}
BENCHMARK(BM_WholeImport)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

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
