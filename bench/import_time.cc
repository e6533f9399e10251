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

namespace {

// One import; the number of records delivered, or -1 when it failed.
int64_t ImportOnce(const char* path) {
  alignas(8) static unsigned char buffer[IMP_MAX_RECORD_SIZE];
  if (ImpStart(path) != IMP_START_OK) {
    ImpEnd();
    return -1;
  }
  int64_t records = 0;
  int32_t type = 0;
  while (ImpGetNextToken(&type, buffer) == 1) {
    if (type != IMP_TOKEN_PROGRESS) ++records;
  }
  const bool failed = ImpGetDescr()[0] != '\0';
  ImpEnd();
  return failed ? -1 : records;
}

}  // namespace

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
    records = ImportOnce(argv[1]);
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
