// One whole import through the five exports, as a host makes it: the
// benchmarks time this.
#ifndef IMPORDANO_BENCH_WHOLE_IMPORT_H_
#define IMPORDANO_BENCH_WHOLE_IMPORT_H_

#include <cstdint>

#include "impordano.h"

// The number of records delivered (progress reports not counted), or -1
// when ImpStart refused the file or the import failed; ImpGetDescr() then
// says why until the next ImpStart.
inline int64_t ImportWholeFile(const char* path) {
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

#endif  // IMPORDANO_BENCH_WHOLE_IMPORT_H_
