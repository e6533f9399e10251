// ImportSession: the one import the exports serve, and its phase.
//
//   ImpStart       opens the file and checks its header          -> opened
//   ImpKosztDescr  reads the file section's description           -> described
//   first ImpGetNextToken: reads the whole file once for its plan,
//                  reserves what the records will need            -> streaming
//   ImpGetNextToken builds the next record from a second reading  -> finished
//   ImpEnd         releases the blocks behind slots and the long
//                  texts, closes                                  -> closed
//
// Running out of memory or a failed read in the first reading, or a file
// that changed or could not be read again in the second, fails the import
// before another record is delivered (-> failed; ImpGetDescr gives the
// error number). What the records delivered before point to stays until
// ImpEnd all the same.
//
// Only this class changes the phase; the builders only read lines and fill
// records.
#ifndef IMPORDANO_HOST_IMPORT_SESSION_H_
#define IMPORDANO_HOST_IMPORT_SESSION_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "host/record_stream.h"
#include "impordano.h"
#include "host/sections.h"
#include "reader/input_file.h"
#include "reader/line_reader.h"
#include "reader/long_text_store.h"
#include "records/import_plan.h"
#include "records/measurement_lines.h"
#include "support/arena.h"

namespace imp {

class ImportSession {
 public:
  static constexpr size_t kMessageSize = 260;
  static constexpr size_t kDescriptionSize = IMP_DESCRIPTION_SIZE;

  explicit ImportSession(size_t chunkSize = InputFile::kDefaultChunkSize) noexcept
      : input_(chunkSize) {}
  ImportSession(const ImportSession&) = delete;
  ImportSession& operator=(const ImportSession&) = delete;

  int32_t Start(const char* path) noexcept;
  char* Describe() noexcept;
  int32_t NextToken(int32_t* type, void* buffer) noexcept;
  int32_t End() noexcept;
  char* Message() noexcept { return message_; }

  // The decimal symbol that files naming none are read with.
  void SetDecimalSymbol(char symbol) noexcept { reader_.SetDecimalSymbol(symbol); }
  // For tests: the input is read in chunks of `size` bytes from the next
  // Start on, so that small files meet many chunk boundaries.
  void SetChunkSize(size_t size) noexcept { input_.SetChunkSize(size); }

  // What the plan reserved and what the records used of it, for tests and
  // the fuzz target: the two are equal once an import has delivered
  // everything.
  struct Sizing {
    size_t plannedTexts, usedTexts, plannedBlocks, usedBlocks;
    MeasurementLines::Room plannedLines, usedLines;

    bool Matches() const noexcept {
      return usedTexts == plannedTexts && usedBlocks == plannedBlocks && usedLines == plannedLines;
    }
    // What differs, for people; "" when the two match.
    std::string Difference() const {
      if (Matches()) return std::string();
      const auto pair = [](size_t planned, size_t used) {
        return std::to_string(planned) + " / " + std::to_string(used);
      };
      return "planned / used: long texts " + pair(plannedTexts, usedTexts) + " bytes, blocks " +
             pair(plannedBlocks, usedBlocks) + " bytes, measurement lines " +
             pair(plannedLines.lines, usedLines.lines) + ", their text " +
             pair(plannedLines.textBytes, usedLines.textBytes) + " bytes";
    }
  };
  Sizing LastSizing() const noexcept { return sizing_; }
  // For tests: from the next import on, the plan's long texts are reserved
  // `bytes` short, as a plan that left out a count would be.
  void ShortenPlannedLongTexts(size_t bytes) noexcept { longTextShortfall_ = bytes; }

 private:
  enum class Phase { kClosed, kOpened, kDescribed, kStreaming, kFinished, kFailed };

  // The plan reading and the start of the record reading; throws
  // std::bad_alloc.
  void Prepare();
  void Fail(int error) noexcept;
  void SetMessage(int error) noexcept;
  bool ProgressDue() const noexcept;

  InputFile input_;
  LongTextStore longTexts_;
  Arena blocks_{8};
  LineReader reader_{input_, longTexts_};
  ImportPlan plan_{longTexts_, blocks_};
  RecordStream stream_{reader_, longTexts_, blocks_};

  Phase phase_ = Phase::kClosed;
  char message_[kMessageSize] = {};
  DescriptionField description_ = {};
  int64_t fileSize_ = -1;          // -1 when the input has no size (a pipe)
  int64_t headerOffset_ = 0;       // where the "[Plik]" line begins
  int64_t inputPosition_ = 0;      // for progress: where the reading stands
  int64_t lastProgressPosition_ = 0;
  char symbolAfterFile_ = '.';     // the decimal symbol at the end of the file
  Sizing sizing_ = {};             // of the last import delivered whole
  size_t textsBeforePlan_ = 0;     // long texts kept before the plan's reservation
  size_t longTextShortfall_ = 0;   // see ShortenPlannedLongTexts
};

}  // namespace imp

#endif  // IMPORDANO_HOST_IMPORT_SESSION_H_
