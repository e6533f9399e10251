// The time of whole imports of one file through the exports, best of a few
// runs: the same program built natively and for WebAssembly (run under
// Node) gives the two figures whose ratio says what the browser costs.
//
//   impordano_import_time FILE [RUNS]
//
// Prints "FILE: N records, best of RUNS: S s". Nothing is asserted.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "impordano.h"
#include "whole_import.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s FILE [RUNS]\n", argv[0]);
    return 64;
  }
  const int runs = argc == 3 ? std::atoi(argv[2]) : 3;
  double best = 0.0;
  int64_t records = 0;
  for (int run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    records = ImportWholeFile(argv[1]);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (records < 0) {
      std::fprintf(stderr, "%s: the import failed: \"%s\"\n", argv[1], ImpGetDescr());
      return 1;
    }
    if (run == 0 || seconds < best) best = seconds;
  }
  std::printf("%s: %lld records, best of %d: %.3f s\n", argv[1], static_cast<long long>(records),
              runs, best);
  return 0;
}
