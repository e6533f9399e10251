// Imports arbitrary bytes as an estimate file and walks every record the way
// impordano-dump does, so that the sanitizers see any read or write out of
// bounds.
//
// The input's first byte chooses how it is read: its low 7 bits the size of
// the chunks the file is read in (0: the module's own 1 MiB; else 1 to 127
// bytes, so that lines, CR LFs and fingerprints meet chunk boundaries), its
// high bit whether the target leaves out the "[Plik]" line it otherwise
// writes first. A whole import must use exactly what its first reading
// reserved, and the import check of the same file must finish, with its
// findings in file order.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "check/import_check.h"
#include "host/the_import.h"
#include "impordano.h"
#include "record_walker.h"

namespace {

volatile std::size_t sink;

// The chunks the check reads in where the import read in the module's own.
constexpr std::size_t kCheckChunk = 4096;

// Reads every field of the record, every block and item behind its slots and
// every full text behind its cut text fields, reserved bytes included, so
// that the sanitizers see any of them out of bounds or uninitialised.
void WalkEverything(int32_t type, const unsigned char* buffer) {
  impwalk::Block record =
      impwalk::WalkRecord(type, buffer, impwalk::SlotInThisProcess, impwalk::Reserved::kRead);
  sink = record.values.size();
}

// The file an import read whole: the check reads it whole too, and its
// findings come in file order.
void CheckWholeFile(const char* path, size_t chunk) {
  const imp::CheckResult check = imp::CheckFile(path, chunk);
  if (check.status != imp::CheckResult::Status::kChecked) {
    std::fprintf(stderr, "the check of a file the import read whole ended with status %d\n",
                 static_cast<int>(check.status));
    __builtin_trap();
  }
  int64_t line = 1;
  for (const imp::Finding& finding : check.findings) {
    if (finding.line < line) __builtin_trap();
    line = finding.line;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The input goes to a file named after the process, in $TMPDIR (the fuzz
  // test's own folder) or /tmp; a crash leaves it there.
  static const char* const folder = std::getenv("TMPDIR");
  static const std::string path = std::string(folder != nullptr ? folder : "/tmp") +
                                  "/impordano_fuzz_" + std::to_string(getpid()) + ".txt";
  const uint8_t how = size > 0 ? data[0] : 0;
  if (size > 0) ++data, --size;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  // Most inputs get the file header, so the fuzzer spends its time on sections.
  if ((how & 0x80) == 0) std::fputs("[Plik]\n", file);
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  const size_t chunk = how & 0x7F;
  imp::TheImport().SetChunkSize(chunk != 0 ? chunk : imp::InputFile::kDefaultChunkSize);

  if (ImpStart(path.c_str()) == IMP_START_OK) {
    unsigned char buffer[IMP_MAX_RECORD_SIZE];
    int32_t type = 0;
    while (ImpGetNextToken(&type, buffer) == 1) WalkEverything(type, buffer);
    if (ImpGetDescr()[0] == '\0') {
      const auto sizing = imp::TheImport().LastSizing();
      if (!sizing.Matches()) {
        std::fprintf(stderr, "%s\n", sizing.Difference().c_str());
        __builtin_trap();
      }
      // In the module's own chunks a fresh reader's 1 MiB buffer, filled and
      // freed under the sanitizers, would take most of the target's time.
      CheckWholeFile(path.c_str(), chunk != 0 ? chunk : kCheckChunk);
    }
    ImpEnd();
  }
  if (ImpStart(path.c_str()) == IMP_START_OK) {
    impwalk::Block description =
        impwalk::WalkBlock(impwalk::DescriptionLayout(), ImpKosztDescr(),
                           impwalk::SlotInThisProcess, impwalk::Reserved::kRead);
    sink = description.values.size();
    ImpEnd();
  }
  return 0;
}
