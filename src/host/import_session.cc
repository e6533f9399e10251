#include "host/import_session.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "host/plan_reading.h"
#include "host/sections.h"
#include "records/section_reading.h"
#include "impordano.h"
#include "support/error_number.h"
#include "support/memory.h"

namespace imp {
namespace {

// A progress report falls due once the reading moved this many bytes on.
constexpr int64_t kProgressStep = 5000;

// The error number of a file that changed between the two readings, or
// whose read failed in the second: what the second reading found is not
// what the first one read.
constexpr int kChangedFile = EIO;

}  // namespace

void ImportSession::SetMessage(int error) noexcept {
  std::snprintf(message_, sizeof message_, "%d", HostErrorNumber(error));
}

int32_t ImportSession::Start(const char* path) noexcept {
  End();
  plan_.Clear();
  message_[0] = '\0';
  fileSize_ = -1;
  inputPosition_ = lastProgressPosition_ = 0;
  if (path == nullptr) {
    SetMessage(EINVAL);
    return IMP_START_FAILED;
  }
  int error = 0;
  if (!input_.Open(path, &error)) {
    SetMessage(error);
    return IMP_START_FAILED;
  }
  fileSize_ = input_.Size();
  try {
    // The first line that is not blank must be the file header.
    reader_.Begin();
    int32_t kind;
    do {
      kind = reader_.ReadLine();
    } while (kind != kEndOfFile && reader_.IsBlank());
    if (kind != kFileHeader) {
      // A read that failed before the header is no sign of another format.
      if (input_.ReadError() != 0) SetMessage(input_.ReadError());
      input_.Close();
      return IMP_START_FAILED;
    }
  } catch (...) {  // the reader's buffer, or the kept bytes of a pipe
    input_.Close();
    SetMessage(ENOMEM);
    return IMP_START_FAILED;
  }
  headerOffset_ = reader_.LineOffset();
  inputPosition_ = reader_.Position();
  phase_ = Phase::kOpened;
  return IMP_START_OK;
}

char* ImportSession::Describe() noexcept {
  description_[0] = '\0';
  if (phase_ != Phase::kOpened) return description_;
  phase_ = Phase::kDescribed;
  try {
    // A description leaves the decimal symbol as it was; only a record
    // import takes it.
    LineReading lines(reader_);
    ReadFileSection(lines, FileDecimalSymbol::kLeft, &description_);
  } catch (...) {
    // The rest of the file section of a pipe could not be kept.
  }
  return description_;
}

void ImportSession::Prepare() {
  const char symbolAtStart = reader_.DecimalSymbol();
  ReadPlan(reader_, plan_);
  // The plan reading saw only part of a file whose read failed: the plan
  // is of no file, and no record may reach the host.
  if (input_.ReadError() != 0) {
    Fail(input_.ReadError());
    return;
  }
  inputPosition_ = reader_.Position();
  symbolAfterFile_ = reader_.DecimalSymbol();
  // The description's full text, kept before the plan, is not in it.
  textsBeforePlan_ = longTexts_.Used();
  plan_.longTextBytes -= std::min(longTextShortfall_, plan_.longTextBytes);
  longTexts_.Reserve(plan_.longTextBytes, Arena::Overrun::kStops);
  blocks_.Reserve(plan_.blockBytes, Arena::Overrun::kStops);
  stream_.Start(plan_);
  // The record reading starts where the plan reading did, at the file header.
  reader_.SetDecimalSymbol(symbolAtStart);
  if (!reader_.RestartAt(headerOffset_) || reader_.ReadLine() != kFileHeader) {
    Fail(kChangedFile);
    return;
  }
  phase_ = Phase::kStreaming;
}

// The blocks and long texts of the records delivered before stay until
// ImpEnd, as for an import that ends well.
void ImportSession::Fail(int error) noexcept {
  stream_.Reset();
  plan_.Clear();
  SetMessage(error);
  phase_ = Phase::kFailed;
}

bool ImportSession::ProgressDue() const noexcept {
  return fileSize_ > 0 && inputPosition_ > lastProgressPosition_ + kProgressStep;
}

int32_t ImportSession::NextToken(int32_t* type, void* buffer) noexcept {
  if (type == nullptr || buffer == nullptr) return 0;
  if (phase_ == Phase::kClosed || phase_ == Phase::kDescribed) return 0;

  // A due progress report takes the call, unless a record replaces it: the
  // first reading reads the whole file, so a report shows only where the
  // file header comes late in the file, or at the end, when no record is
  // left.
  if (ProgressDue()) {
    double fraction = static_cast<double>(inputPosition_) / static_cast<double>(fileSize_);
    if (fraction > 1.0) fraction = 1.0;  // the file grew since it was measured
    *type = IMP_TOKEN_PROGRESS;
    std::memcpy(buffer, &fraction, sizeof fraction);
    lastProgressPosition_ = inputPosition_;
  } else if (phase_ == Phase::kOpened) {
    try {
      Prepare();
    } catch (...) {  // std::bad_alloc, or a size beyond what a container holds
      Fail(ENOMEM);
    }
  }
  if (phase_ == Phase::kOpened) return 1;  // the report took the call

  int32_t delivered = 0;
  if (phase_ == Phase::kStreaming) {
    try {
      delivered = stream_.Next(buffer);
    } catch (...) {  // only when the plan fell short
      Fail(ENOMEM);
      return 0;
    }
    if (input_.Changed()) {
      Fail(kChangedFile);
      return 0;
    }
    if (delivered == 0) {
      phase_ = Phase::kFinished;
      sizing_ = Sizing{plan_.longTextBytes, longTexts_.Used() - textsBeforePlan_,
                       plan_.blockBytes,    blocks_.Used(),
                       plan_.measurementRoom, stream_.MostMeasurementRoom()};
    }
  }
  if (delivered == 0) return 0;
  *type = delivered;
  return 1;
}

// What the records and the description pointed to goes now, all of it: the
// host may read it until this call.
int32_t ImportSession::End() noexcept {
  stream_.Reset();
  blocks_.Release();
  longTexts_.Clear();
  // An import ended early leaves the decimal symbol as a whole reading of
  // its file does.
  if (phase_ == Phase::kStreaming || phase_ == Phase::kFinished) {
    reader_.SetDecimalSymbol(symbolAfterFile_);
  }
  phase_ = Phase::kClosed;
  return input_.Close();
}


}  // namespace imp
