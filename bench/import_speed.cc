// The speed and memory of whole imports, beside two anchors on the same
// file: a plain fgets loop into a 9192-byte buffer (what reading the lines
// of a text file costs at the least) and a raw scan (1 MiB fread blocks,
// memchr for the line feeds).
//
//   impordano_speed [--positions N,M,...] [--runs K] [--dir DIR] [--smoke]
//
// For each size it generates an estimate (estimate_generator.h), times each
// of the three readings (best of K runs, the file in the page cache), and
// starts a child process of itself that does one import, whose peak
// resident memory it prints beside the file size. The scaling exponent is
// log(t2 / t1) / log(bytes2 / bytes1) between the first and the last size:
// 1.0 means linear time. Nothing is asserted; the figures are for people.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "estimate_generator.h"
#include "impordano.h"
#include "whole_import.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// One import through the exports; the number of records delivered. A
// failed import ends the program: its figures would mean nothing.
int64_t ImportOnce(const char* path) {
  const int64_t records = ImportWholeFile(path);
  if (records < 0) {
    std::fprintf(stderr, "importing %s failed: \"%s\"\n", path, ImpGetDescr());
    std::exit(1);
  }
  return records;
}

int64_t FgetsLoop(const char* path) {
  std::FILE* file = std::fopen(path, "r");
  char line[9192];
  int64_t lines = 0;
  while (std::fgets(line, sizeof line, file) != nullptr) ++lines;
  std::fclose(file);
  return lines;
}

int64_t RawScan(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  static std::vector<char> block(1 << 20);
  int64_t lines = 0;
  size_t got;
  while ((got = std::fread(block.data(), 1, block.size(), file)) > 0) {
    for (const char* p = block.data(); (p = static_cast<const char*>(
                                            std::memchr(p, '\n', block.data() + got - p)));
         ++p) {
      ++lines;
    }
  }
  std::fclose(file);
  return lines;
}

template <typename F>
double Best(int runs, F&& f) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    f();
    const double t = Seconds(start);
    if (t < best) best = t;
  }
  return best;
}

#if defined(_WIN32)
// This process's peak working set. A child reports its own: for a process
// that has ended, wine gives no figure.
int64_t OwnPeakMemory() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
  return static_cast<int64_t>(counters.PeakWorkingSetSize);
}
#endif

// Peak resident memory in bytes of a fresh process of this program that
// runs `arguments`; -1 when it cannot be measured.
int64_t ChildPeakMemory(const std::string& self, std::vector<std::string> arguments,
                        const std::string& dir) {
#if defined(_WIN32)
  const std::string report = dir + "/impordano_speed_peak.txt";
  arguments.push_back(report);
  std::string command = "\"" + self + "\"";
  for (const std::string& a : arguments) command += " \"" + a + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return -1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  long long peak = -1;
  if (std::FILE* in = std::fopen(report.c_str(), "r")) {
    if (std::fscanf(in, "%lld", &peak) != 1) peak = -1;
    std::fclose(in);
  }
  std::remove(report.c_str());
  return peak;
#else
  (void)dir;
  const pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    std::vector<char*> argv{const_cast<char*>(self.c_str())};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv("/proc/self/exe", argv.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return -1;
  }
  return static_cast<int64_t>(usage.ru_maxrss) * 1024;
#endif
}

// The child's part: on Windows it writes its own peak into `report`.
int ChildDone(int argc, char** argv, int reportIndex) {
#if defined(_WIN32)
  if (reportIndex < argc) {
    if (std::FILE* out = std::fopen(argv[reportIndex], "w")) {
      std::fprintf(out, "%lld\n", static_cast<long long>(OwnPeakMemory()));
      std::fclose(out);
    }
  }
#else
  (void)argc, (void)argv, (void)reportIndex;
#endif
  return 0;
}

std::string SelfPath(const char* argv0) {
#if defined(_WIN32)
  char path[MAX_PATH];
  if (GetModuleFileNameA(nullptr, path, sizeof path) > 0) return path;
#endif
  return argv0;
}

std::vector<int> ParseSizes(const char* text) {
  std::vector<int> sizes;
  for (const char* p = text; *p != '\0';) {
    sizes.push_back(std::atoi(p));
    p = std::strchr(p, ',');
    if (p == nullptr) break;
    ++p;
  }
  return sizes;
}

double MiB(double bytes) { return bytes / (1024.0 * 1024.0); }

// A peak memory figure, or "n/a" where the system gave none.
std::string PeakText(int64_t bytes) {
  if (bytes <= 0) return "n/a";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", MiB(static_cast<double>(bytes)));
  return text;
}

struct Result {
  int positions;
  int64_t bytes, records;
  double importTime, fgetsTime, rawTime;
  int64_t peak;
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes{10000, 100000};
  int runs = 3;
  std::string dir = ".";
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--child" && i + 1 < argc) {  // one import, for the memory figure
      ImportOnce(argv[i + 1]);
      return ChildDone(argc, argv, i + 2);
    }
    if (a == "--idle") return ChildDone(argc, argv, i + 1);  // the program alone
    if (a == "--positions" && i + 1 < argc) {
      sizes = ParseSizes(argv[++i]);
    } else if (a == "--runs" && i + 1 < argc) {
      runs = std::atoi(argv[++i]);
    } else if (a == "--dir" && i + 1 < argc) {
      dir = argv[++i];
    } else if (a == "--smoke") {
      sizes = {300, 3000};
      runs = 1;
    } else {
      std::fprintf(stderr, "usage: %s [--positions N,M,...] [--runs K] [--dir DIR] [--smoke]\n",
                   argv[0]);
      return 64;
    }
  }
  const std::string self = SelfPath(argv[0]);
  const int64_t idle = ChildPeakMemory(self, {"--idle"}, dir);

  std::vector<Result> results;
  for (int positions : sizes) {
    const std::string path = dir + "/impordano_speed_" + std::to_string(positions) + ".txt";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
      std::perror(path.c_str());
      return 1;
    }
    Result r{};
    r.positions = positions;
    r.bytes = imp_bench::WriteEstimate(out, positions);
    std::fclose(out);
    RawScan(path.c_str());  // into the page cache
    r.rawTime = Best(runs, [&] { RawScan(path.c_str()); });
    r.fgetsTime = Best(runs, [&] { FgetsLoop(path.c_str()); });
    r.importTime = Best(runs, [&] { r.records = ImportOnce(path.c_str()); });
    r.peak = ChildPeakMemory(self, {"--child", path}, dir);
    results.push_back(r);
    std::remove(path.c_str());
  }

  std::printf("%10s %9s %9s %8s %10s %11s %9s %9s %8s %8s %10s\n", "positions", "file MiB",
              "records", "import s", "MB/s", "records/s", "fgets s", "raw s", "x fgets", "x raw",
              "peak MiB");
  for (const Result& r : results) {
    std::printf("%10d %9.1f %9lld %8.4f %10.1f %11.0f %9.4f %9.4f %8.2f %8.2f %10s\n",
                r.positions, MiB(static_cast<double>(r.bytes)), static_cast<long long>(r.records),
                r.importTime, static_cast<double>(r.bytes) / r.importTime / 1e6,
                static_cast<double>(r.records) / r.importTime, r.fgetsTime, r.rawTime,
                r.importTime / r.fgetsTime, r.importTime / r.rawTime, PeakText(r.peak).c_str());
  }
  std::printf("peak MiB of the program without an import: %s\n", PeakText(idle).c_str());
  if (results.size() >= 2) {
    const Result& a = results.front();
    const Result& b = results.back();
    std::printf("scaling exponent between %d and %d positions: %.3f\n", a.positions, b.positions,
                std::log(b.importTime / a.importTime) /
                    std::log(static_cast<double>(b.bytes) / static_cast<double>(a.bytes)));
  }
  for (const Result& r : results) {
    if (r.peak <= 0) continue;
    std::printf("%d positions: peak memory %.1f MiB for a file of %.1f MiB (file %+.1f MiB)\n",
                r.positions, MiB(static_cast<double>(r.peak)), MiB(static_cast<double>(r.bytes)),
                MiB(static_cast<double>(r.peak - r.bytes)));
  }
  return 0;
}
