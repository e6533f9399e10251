// The import check: what an import of an estimate file passes over, line
// by line (check/passed_over.h names each kind). The tools and the viewer
// reach the check through this header alone, linking the static library
// impordano_check; no export of the module serves it, and the module holds
// none of it.
#ifndef IMPORDANO_CHECK_IMPORT_CHECK_H_
#define IMPORDANO_CHECK_IMPORT_CHECK_H_

#include <cstddef>
#include <vector>

#include "check/passed_over.h"

namespace imp {

struct CheckResult {
  enum class Status {
    kChecked,        // findings holds everything the import passes over
    kCannotOpen,     // the file cannot be opened, or its beginning read
    kNotAnEstimate,  // its first non-blank line is not "[Plik]"
    kFailed,         // a read failed, or memory ran out
  };
  Status status = Status::kFailed;
  // The error number as the module reports it to a host (ImpGetDescr):
  // kCannotOpen and kFailed; 12 (ENOMEM) when memory ran out.
  int error = 0;
  std::vector<Finding> findings;  // in file order
};

// Checks the estimate file at `path`, read in chunks of `chunkSize` bytes
// (the module's own size unless a test asks for small ones). The file is
// read once, with the decimal symbol '.' until its file section names one,
// as an import in a fresh process reads it.
CheckResult CheckFile(const char* path, size_t chunkSize = 0) noexcept;

}  // namespace imp

#endif  // IMPORDANO_CHECK_IMPORT_CHECK_H_
