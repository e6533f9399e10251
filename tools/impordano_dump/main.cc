// impordano-dump: shows what the import module makes of an estimate file.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>  // isatty
#elif defined(__EMSCRIPTEN__)
#include <emscripten/emscripten.h>
#else
#include <unistd.h>
#endif

#include "module.h"
#include "options.h"
#include "session.h"

#ifndef IMPORDANO_DUMP_VERSION
#define IMPORDANO_DUMP_VERSION "unknown"
#endif

#if defined(__EMSCRIPTEN__)
EM_JS(int, NodeOutputIsTerminal, (), { return require('tty').isatty(1) ? 1 : 0; });
#endif

namespace {

// Whether standard output is a terminal. Under Node, where the WebAssembly
// build runs, the C library's standard output is a terminal device of its
// own whatever Node's is: Node is asked.
bool OutputIsTerminal() {
#if defined(__EMSCRIPTEN__)
  return NodeOutputIsTerminal() != 0;
#else
  return isatty(fileno(stdout)) != 0;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  using namespace impdump;
#if defined(_WIN32)
  // The same bytes on every system: no CR before each line feed.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  std::vector<std::string> args(argv + 1, argv + argc);
  Options options;
  std::string error;
  if (!ParseOptions(args, &options, &error)) {
    std::fprintf(stderr, "impordano-dump: %s\nTry 'impordano-dump --help'.\n", error.c_str());
    return kExitUsage;
  }
  if (options.mode == Mode::kHelp || options.mode == Mode::kVersion) {
    std::fputs(options.mode == Mode::kHelp ? UsageText().c_str()
                                           : "impordano-dump " IMPORDANO_DUMP_VERSION "\n",
               stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
      std::perror("impordano-dump: cannot write the output");
      return kExitCannotWrite;
    }
    return kExitOk;
  }

  if (options.mode == Mode::kXlsx && options.output.empty() && OutputIsTerminal()) {
    std::fputs("impordano-dump: --xlsx writes a binary workbook, which a terminal cannot show: "
               "give -o FILE or redirect the output\nTry 'impordano-dump --help'.\n",
               stderr);
    return kExitUsage;
  }

  std::unique_ptr<Module> module = OpenModule(options.library, &error);
  if (!module) {
    std::fprintf(stderr, "impordano-dump: cannot load the import module: %s\n", error.c_str());
    return kExitCannotRead;
  }
  if (options.output.empty()) return RunSession(module->exports(), options, stdout, stderr);
  // Written by the tool itself, so that the file holds the very bytes the
  // tool makes (PowerShell's > would re-encode them).
  std::FILE* out = std::fopen(options.output.c_str(), "wb");
  if (!out) {
    std::fprintf(stderr, "impordano-dump: cannot write %s: %s\n", options.output.c_str(),
                 std::strerror(errno));
    return kExitCannotWrite;
  }
  const int status = RunSession(module->exports(), options, out, stderr);
  if (std::fclose(out) != 0 && status != kExitCannotWrite) {
    std::fprintf(stderr, "impordano-dump: cannot write %s: %s\n", options.output.c_str(),
                 std::strerror(errno));
    return kExitCannotWrite;
  }
  return status;
}
