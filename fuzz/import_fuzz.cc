// Imports arbitrary bytes as an estimate file and walks every record the way
// impordano-dump does, so that the sanitizers see any read or write out of
// bounds.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "impordano.h"
#include "record_walker.h"

namespace {

volatile std::size_t sink;

// Reads every field of the record, every block and item behind its slots and
// every full text behind its cut text fields, reserved bytes included, so
// that the sanitizers see any of them out of bounds or uninitialised.
void WalkEverything(int32_t type, const unsigned char* buffer) {
  impwalk::Block record =
      impwalk::WalkRecord(type, buffer, impwalk::SlotInThisProcess, impwalk::Reserved::kRead);
  sink = record.values.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/impordano_fuzz_" + std::to_string(getpid()) + ".txt";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  // Every input gets the file header, so the fuzzer spends its time on sections.
  std::fputs("[Plik]\n", file);
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  if (ImpStart(path.c_str()) == IMP_START_OK) {
    unsigned char buffer[IMP_MAX_RECORD_SIZE];
    int32_t type = 0;
    while (ImpGetNextToken(&type, buffer) == 1) WalkEverything(type, buffer);
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
