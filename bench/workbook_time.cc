// The workbook of a generated estimate: the time to write it, its size and
// the peak memory, natively and (the same program for WebAssembly) under
// Node, where the viewer writes it.
//
//   impordano_workbook_time DIR POSITIONS...
//
// For each count writes DIR/estimate-N.txt, imports it into the page's
// model as impordano-dump --xlsx does, writes DIR/estimate-N.xlsx, and
// prints one line of figures: wall-clock and processor seconds (on a shared
// machine the second tells more). Nothing is asserted.
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <memory>
#include <string>

#if defined(__EMSCRIPTEN__)
#include <emscripten/emscripten.h>
#include <emscripten/heap.h>
#else
#include <sys/resource.h>
#endif

#include "estimate_generator.h"
#include "estimate_page.h"
#include "module.h"
#include "session.h"
#include "workbook_writer.h"

#if defined(__EMSCRIPTEN__)
// The C library's clock() is the wall clock there: Node counts the
// process's processor time.
EM_JS(double, NodeProcessorSeconds, (), {
  const usage = process.cpuUsage();
  return (usage.user + usage.system) / 1e6;
});
#endif

namespace {

double ProcessorSeconds() {
#if defined(__EMSCRIPTEN__)
  return NodeProcessorSeconds();
#else
  return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
#endif
}

// The peak memory so far in MiB: the resident size natively; under Node the
// WebAssembly memory, which grows and never shrinks.
double PeakMiB() {
#if defined(__EMSCRIPTEN__)
  return static_cast<double>(emscripten_get_heap_size()) / (1 << 20);
#else
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024;  // KiB on Linux
#endif
}

double MiB(const std::string& path) {
  struct stat status{};
  return stat(path.c_str(), &status) == 0 ? static_cast<double>(status.st_size) / (1 << 20) : -1;
}

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s DIR POSITIONS...\n", argv[0]);
    return 64;
  }
  const impdump::ModuleExports module{&ImpStart, &ImpGetDescr, &ImpKosztDescr, &ImpGetNextToken,
                                      &ImpEnd};
  for (int i = 2; i < argc; ++i) {
    const int positions = std::atoi(argv[i]);
    const std::string base = std::string(argv[1]) + "/estimate-" + std::to_string(positions);
    impdump::Options options;
    options.file = base + ".txt";
    std::FILE* file = std::fopen(options.file.c_str(), "wb");
    if (!file) return std::perror(options.file.c_str()), 1;
    imp_bench::WriteEstimate(file, positions);
    std::fclose(file);

    auto start = std::chrono::steady_clock::now();
    auto page = std::make_unique<imppage::EstimatePage>();
    const int status = impdump::LoadEstimatePage(module, options, stderr, page.get());
    if (status != impdump::kExitOk) return status;
    const double loaded = Since(start);
    const double modelPeak = PeakMiB();

    start = std::chrono::steady_clock::now();
    const double processorStart = ProcessorSeconds();
    std::string error;
    if (!imppage::WriteWorkbook(*page, imppage::WordsFor(imppage::Language::kPolish),
                                imppage::WorkbookSettings{}, base + ".xlsx", &error)) {
      std::fprintf(stderr, "%s.xlsx: %s\n", base.c_str(), error.c_str());
      return 1;
    }
    const double written = Since(start);
    const double processor = ProcessorSeconds() - processorStart;
    std::printf("%d positions (%.1f MiB): model %.2f s, workbook written in %.2f s (processor "
                "%.2f s), %.1f MiB; peak memory %.0f MiB with the model, %.0f MiB after writing\n",
                positions, MiB(options.file), loaded, written, processor, MiB(base + ".xlsx"),
                modelPeak, PeakMiB());
    std::fflush(stdout);
  }
  return 0;
}
