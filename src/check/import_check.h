// The import check: what an import of an estimate file passes over, line
// by line (check/passed_over.h names each kind). The tools and the viewer
// reach the check through this header alone, linking the static library
// impordano_check; no export of the module serves it, and the module holds
// none of it.
#ifndef IMPORDANO_CHECK_IMPORT_CHECK_H_
#define IMPORDANO_CHECK_IMPORT_CHECK_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "check/passed_over.h"

namespace imp {

struct CheckResult {
  enum class Status {
    kChecked,        // findings holds what the import passes over
    kCannotOpen,     // the file cannot be opened, or its beginning read
    kNotAnEstimate,  // its first non-blank line is not "[Plik]"
    kFailed,         // a read failed, or memory ran out
  };
  Status status = Status::kFailed;
  // The error number as the module reports it to a host (ImpGetDescr):
  // kCannotOpen and kFailed; 12 (ENOMEM) when memory ran out.
  int error = 0;
  std::vector<Finding> findings;  // in file order; of each kind the first kept
  std::array<int64_t, kPassedOverKinds> counts = {};  // of every finding, kept or not
};

constexpr size_t kEveryFinding = SIZE_MAX;

// Checks the estimate file at `path`, read in chunks of `chunkSize` bytes
// (the module's own size unless a test asks for small ones). The file is
// read once, with the decimal symbol '.' until its file section names one,
// as an import in a fresh process reads it. Of each kind the first
// `keepOfEachKind` findings are kept and the others only counted, so that
// a file of a million findings needs no memory for a million.
CheckResult CheckFile(const char* path, size_t chunkSize = 0,
                      size_t keepOfEachKind = kEveryFinding) noexcept;

}  // namespace imp

#endif  // IMPORDANO_CHECK_IMPORT_CHECK_H_
