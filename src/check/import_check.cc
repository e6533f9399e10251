#include "check/import_check.h"

#include <cerrno>

#include "host/sections.h"
#include "reader/input_file.h"
#include "reader/line_reader.h"
#include "reader/long_text_store.h"
#include "check/check_reading.h"
#include "support/arena.h"
#include "support/error_number.h"

namespace imp {
namespace {

using Status = CheckResult::Status;

// The whole file by the check reading, as ImpStart and the record reading
// read it: the file header after blank lines, the file section with the
// description ImpKosztDescr gives, then every section.
Status CheckAll(LineReader& reader, const InputFile& input, CheckReading& reading) {
  reader.Begin();
  int32_t kind;
  do {
    kind = reading.ReadLine();
  } while (kind != kEndOfFile && reader.IsBlank());
  if (kind != kFileHeader) return input.ReadError() != 0 ? Status::kCannotOpen : Status::kNotAnEstimate;
  DescriptionField description;
  ReadFileSection(reading, FileDecimalSymbol::kTaken, &description);
  alignas(8) unsigned char record[IMP_MAX_RECORD_SIZE];
  for (int32_t section; (section = NextSection(reading)) != kEndOfFile;) {
    ReadSection(section, record, reading);
  }
  if (input.ReadError() != 0) return Status::kFailed;
  reading.EndOfInput(input.Size());
  return Status::kChecked;
}

}  // namespace

CheckResult CheckFile(const char* path, size_t chunkSize, size_t keepOfEachKind) noexcept {
  CheckResult result;
  InputFile input(chunkSize != 0 ? chunkSize : InputFile::kDefaultChunkSize);
  LongTextStore texts;
  Arena blocks(8);
  LineReader reader(input, texts);
  int error = 0;
  if (!input.Open(path, &error)) {
    result.status = Status::kCannotOpen;
    result.error = HostErrorNumber(error);
    return result;
  }
  try {
    CheckReading reading(reader, blocks, result.findings, keepOfEachKind);
    result.status = CheckAll(reader, input, reading);
    result.error = HostErrorNumber(input.ReadError());
    result.counts = reading.Dropped();
    for (const Finding& f : result.findings) ++result.counts[static_cast<size_t>(f.kind)];
  } catch (...) {  // std::bad_alloc, or a size beyond what a container holds
    result.status = Status::kFailed;
    result.error = HostErrorNumber(ENOMEM);
  }
  if (result.status != Status::kChecked) {
    result.findings.clear();
    result.counts = {};
  }
  return result;
}

}  // namespace imp
