// ImportPlan: what the plan reading, the first reading of a file, finds out
// for the record reading, the second, which builds the records one at a
// time as the host asks for them.
//
// Only the whole file tells the surcharge rates that occur most often, and
// the summary of them is due right after the last estimate record. The
// plan reading therefore counts the rates and the estimate sections, and
// sizes every block the record reading will hand out: the full texts of
// cut values, the blocks behind the records' slots, and the room of the
// measurement lines of a position, which wait behind the resources that
// follow it. With all of that reserved before the first record is
// delivered, the record reading allocates nothing and cannot run out of
// memory.
#ifndef IMPORDANO_RECORDS_IMPORT_PLAN_H_
#define IMPORDANO_RECORDS_IMPORT_PLAN_H_

#include <cstddef>
#include <cstdint>

#include "reader/line_reader.h"
#include "records/measurement_lines.h"
#include "records/summary_record.h"
#include "support/arena.h"
#include "support/value_tally.h"

namespace imp {

struct ImportPlan {
  // Footprints are taken as the store and the arena that will hold them.
  ImportPlan(const LongTextStore& texts, const Arena& blocks) noexcept
      : texts_(texts), blocks_(blocks) {}

  SurchargeTallies tallies;
  SummaryPlace summaryPlace;            // counts the estimate sections
  size_t longTextBytes = 0;             // footprints of the cut values' full texts
  size_t blockBytes = 0;                // footprints of the blocks behind slots
  MeasurementLines::Room measurementRoom;  // of the position with the most lines

  // Counts the full text of field `index` when it is cut in a text field of
  // `size` bytes.
  void CountText(const LineReader& reader, int32_t index, size_t size);
  // Counts a block of `size` bytes behind a slot.
  void CountBlock(size_t size) { blockBytes += blocks_.Footprint(size); }
  void Clear() noexcept;

 private:
  const LongTextStore& texts_;
  const Arena& blocks_;
};

}  // namespace imp

#endif  // IMPORDANO_RECORDS_IMPORT_PLAN_H_
