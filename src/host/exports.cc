// The five entry points the host calls. None of them lets an exception out:
// the module's code reports failures by result values, and each export
// turns anything unexpected into its failure result.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "host/description.h"
#include "host/module.h"
#include "host/reading_loop.h"
#include "impordano.h"

namespace imp {
namespace {

// A progress report falls due once the input moved this many bytes on.
constexpr int64_t kProgressStep = 5000;

void SetMessage(ImportState& import, int error) {
  std::snprintf(import.message, sizeof import.message, "%d", error);
}

// Closes the open import: its stream and the blocks its records point to.
int EndImport(Module& m) {
  m.buffers.ReleaseAll();
  m.import.open = false;
  return m.import.input.Close();
}

// Everything an import leaves behind, gone before the next one starts. The
// long texts go only now: records of the previous import that point to them
// can no longer be delivered.
void BeginFreshImport(Module& m) {
  EndImport(m);
  m.queue.Clear();
  m.tallies.Clear();
  m.longTexts.Clear();
  ImportState& import = m.import;
  import.message[0] = '\0';
  import.state = kFileHeader;
  import.dequeueIndex = 0;
  import.lastProgressPos = 0;
  import.fileSize = -1;
}

int32_t Start(const char* path) {
  Module& m = TheModule();
  BeginFreshImport(m);
  ImportState& import = m.import;
  if (path == nullptr) {
    SetMessage(import, EINVAL);
    return IMP_START_FAILED;
  }
  int error = 0;
  if (!import.input.Open(path, &error)) {
    SetMessage(import, error);
    return IMP_START_FAILED;
  }
  import.fileSize = import.input.Size();
  // The first line that is not blank must be the file header.
  bool found;
  while ((found = m.reader.ReadRawLine()) && m.reader.LineIs("\n")) {
  }
  if (!found || !m.reader.LineIs("[Plik]\n")) {
    import.input.Close();
    return IMP_START_FAILED;
  }
  import.open = true;
  return IMP_START_OK;
}

// Reading failed for lack of memory: nothing of the import may pass as the
// whole, so every record and block goes and the host gets no token.
void FailImport(Module& m) {
  m.queue.Clear();
  m.buffers.ReleaseAll();
  m.tallies.Clear();
  SetMessage(m.import, ENOMEM);
}

int32_t NextToken(int32_t* type, void* buffer) {
  Module& m = TheModule();
  ImportState& import = m.import;
  if (type == nullptr || buffer == nullptr || !import.open) return 0;
  if (import.state != kFileHeader && import.state != kEndOfFile) return 0;

  int32_t result = 1;
  const int64_t pos = import.input.Position();
  if (import.fileSize > 0 && pos > import.lastProgressPos + kProgressStep) {
    double fraction = static_cast<double>(pos) / static_cast<double>(import.fileSize);
    if (fraction > 1.0) fraction = 1.0;  // the file grew since it was measured
    *type = IMP_TOKEN_PROGRESS;
    std::memcpy(buffer, &fraction, sizeof fraction);
    import.lastProgressPos = pos;
  } else if (import.state == kFileHeader) {
    if (!ReadEstimate(m)) FailImport(m);
    import.state = kEndOfFile;
    import.dequeueIndex = 0;
    m.queue.Rewind();
  }

  if (import.state == kEndOfFile) {
    if (const TokenEntry* entry = m.queue.Next()) {
      ++import.dequeueIndex;
      std::memcpy(buffer, entry->data, static_cast<size_t>(entry->size));
      *type = entry->type;
      result = 1;
    } else {
      result = 0;
    }
  }
  return result;
}

}  // namespace

Module& TheModule() noexcept {
  static Module module;
  return module;
}

}  // namespace imp

extern "C" {

IMP_API int32_t IMP_CALL ImpStart(const char* path) {
  try {
    return imp::Start(path);
  } catch (...) {
    return IMP_START_FAILED;
  }
}

IMP_API char* IMP_CALL ImpGetDescr(void) { return imp::TheModule().import.message; }

IMP_API char* IMP_CALL ImpKosztDescr(void) {
  try {
    return imp::ReadDescription(imp::TheModule());
  } catch (...) {
    return imp::TheModule().description;
  }
}

IMP_API int32_t IMP_CALL ImpGetNextToken(int32_t* type, void* buffer) {
  try {
    return imp::NextToken(type, buffer);
  } catch (...) {
    return 0;
  }
}

IMP_API int32_t IMP_CALL ImpEnd(void) {
  try {
    return imp::EndImport(imp::TheModule());
  } catch (...) {
    return 0;
  }
}

}  // extern "C"
