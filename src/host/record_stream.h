// RecordStream: the second reading of a file, one record per call, built
// straight into the host's buffer in the order the host receives them.
//
// The records come in the file's order, but for two rules:
//  - a position's take-off lines and auxiliary materials come after the
//    resources that follow the position, up to its first 'S' resource: they
//    wait in the position's TakeOff until the next section that is not a
//    resource of another kind, and an 'S' resource waits behind them;
//  - the summary of the surcharges comes right after the last estimate
//    record, or last when there is none; the plan of the first reading
//    knows both the tallies and how many estimate sections there are.
#ifndef IMPORDANO_HOST_RECORD_STREAM_H_
#define IMPORDANO_HOST_RECORD_STREAM_H_

#include <cstdint>

#include "impordano.h"
#include "reader/line_reader.h"
#include "reader/long_text_store.h"
#include "records/import_plan.h"
#include "records/section_reading.h"
#include "records/take_off.h"
#include "support/arena.h"

namespace imp {

class RecordStream {
 public:
  RecordStream(LineReader& reader, LongTextStore& texts, Arena& blocks) noexcept
      : reader_(reader), texts_(texts), blocks_(blocks), writer_(reader, blocks) {}

  // Starts a stream by the plan of the first reading, with the reader at
  // the file header. Reserves the take-off's room: throws std::bad_alloc.
  void Start(const ImportPlan& plan);
  void Reset() noexcept;

  // Builds the next record into `out` (IMP_MAX_RECORD_SIZE bytes) and
  // returns its token type; 0, with `out` untouched, when none is left.
  int32_t Next(void* out);
  // The take-off, for what it held at most.
  const TakeOff& TakeOffLines() const noexcept { return takeOff_; }

 private:
  enum class State {
    kStopped,           // no stream, or its last record was delivered
    kReading,           // the next record comes from the next section
    kSummaryNext,       // the summary follows the estimate just delivered
    kTakeOff,           // the waiting take-off's records are being delivered
    kTakeOffThenHeld,   // and after them the 'S' resource held back
  };

  // Starts delivering the waiting take-off: its first record.
  int32_t DeliverTakeOff(void* out, State state);
  int32_t Summary(void* out, State next);
  int32_t FromSections(void* out);
  void SetSpender(const char* spender) noexcept;
  // With an estimate count of 0 the summary comes last.
  bool SummaryDelivered() const noexcept {
    return plan_->estimateCount > 0 && estimates_ >= plan_->estimateCount;
  }

  LineReader& reader_;
  LongTextStore& texts_;
  Arena& blocks_;
  RecordWriter writer_;
  const ImportPlan* plan_ = nullptr;
  State state_ = State::kStopped;

  TakeOff takeOff_;            // of the latest position
  ResourceRecord held_;        // the 'S' resource waiting behind it
  double positionQuantity_ = 0.0;
  int32_t estimates_ = 0;      // estimate records delivered
};

}  // namespace imp

#endif  // IMPORDANO_HOST_RECORD_STREAM_H_
