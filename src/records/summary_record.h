// The summary of the estimate's surcharges: for indirect costs, purchase
// costs and profit the rate that the resource lines gave most often, as a
// SummaryRecord with an array of CostItems behind its slot; and where it
// comes among the records.
#ifndef IMPORDANO_RECORDS_SUMMARY_RECORD_H_
#define IMPORDANO_RECORDS_SUMMARY_RECORD_H_

#include <cstdint>

#include "impordano.h"
#include "support/value_tally.h"

namespace imp {

// Fills `record` from the tallies of the whole file, its cost items in a
// block of `reading` (section_reading.h). Both readings build it: the plan
// reading so that it counts the block, the record reading for the host.
template <class Reading>
void BuildSummary(SummaryRecord* record, const SurchargeTallies& tallies, Reading& reading);

// Where the summary comes: right after the last estimate record, or last
// when the file has none. The plan reading counts the estimate sections,
// the record stream, with its copy of the plan's, the estimate records it
// delivers.
class SummaryPlace {
 public:
  void CountEstimateSection() noexcept { ++sections_; }
  // An estimate record is delivered: whether the summary follows it.
  bool FollowsEstimateRecord() noexcept { return ++records_ == sections_; }
  // Whether the summary is still due after the last record of the file.
  bool DueAtEnd() const noexcept { return sections_ == 0 || records_ < sections_; }

 private:
  int32_t sections_ = 0;
  int32_t records_ = 0;
};

}  // namespace imp

#endif  // IMPORDANO_RECORDS_SUMMARY_RECORD_H_
