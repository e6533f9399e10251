// RecordStream: the record reading of a file, the second of its two
// readings, one record per call, built straight into the host's buffer in
// the order the host receives them.
//
// The records come in the file's order, but for two rules:
//  - a position's measurement lines and auxiliary materials come after the
//    resources that follow the position, up to its first 'S' resource: they
//    wait in the position's MeasurementLines until the next section that is
//    not a resource of another kind, and an 'S' resource waits behind them;
//  - the summary of the surcharges comes right after the last estimate
//    record, or last when there is none; the plan knows both the tallies
//    and the place (SummaryPlace).
#ifndef IMPORDANO_HOST_RECORD_STREAM_H_
#define IMPORDANO_HOST_RECORD_STREAM_H_

#include <cstdint>

#include "impordano.h"
#include "reader/line_reader.h"
#include "reader/long_text_store.h"
#include "records/import_plan.h"
#include "records/measurement_lines.h"
#include "records/section_reading.h"
#include "records/summary_record.h"
#include "support/arena.h"

namespace imp {

class RecordStream {
 public:
  RecordStream(LineReader& reader, LongTextStore& texts, Arena& blocks) noexcept
      : reader_(reader), texts_(texts), blocks_(blocks), reading_(reader, blocks) {}

  // Starts a stream by the plan of the plan reading, with the reader at the
  // file header. Reserves the measurement lines' room: throws
  // std::bad_alloc.
  void Start(const ImportPlan& plan);
  void Reset() noexcept;

  // Builds the next record into `out` (IMP_MAX_RECORD_SIZE bytes) and
  // returns its token type; 0, with `out` untouched, when none is left.
  int32_t Next(void* out);
  // The most room the measurement lines of one position took.
  const MeasurementLines::Room& MostMeasurementRoom() const noexcept {
    return measurementLines_.MostUsed();
  }

 private:
  enum class State {
    kStopped,                  // no stream, or its last record was delivered
    kReading,                  // the next record comes from the next section
    kSummaryNext,              // the summary follows the estimate just delivered
    kMeasurementLines,         // the waiting lines' records are being delivered
    kMeasurementLinesThenHeld, // and after them the 'S' resource held back
  };

  // Starts delivering the waiting measurement lines: their first record.
  int32_t DeliverMeasurementLines(void* out, State state);
  int32_t Summary(void* out, State next);
  int32_t FromSections(void* out);
  void SetSpender(const char* spender) noexcept;

  LineReader& reader_;
  LongTextStore& texts_;
  Arena& blocks_;
  RecordReading reading_;
  const ImportPlan* plan_ = nullptr;
  State state_ = State::kStopped;

  MeasurementLines measurementLines_;  // of the latest position
  ResourceRecord held_;                // the 'S' resource waiting behind them
  double positionQuantity_ = 0.0;
  SummaryPlace summaryPlace_;          // the plan's, with the estimates delivered
};

}  // namespace imp

#endif  // IMPORDANO_HOST_RECORD_STREAM_H_
