// The summary of the estimate's surcharges: for indirect costs, purchase
// costs and profit the rate that the resource lines gave most often, as a
// SummaryRecord with an array of CostItems behind its slot.
#ifndef IMPORDANO_RECORDS_SUMMARY_RECORD_H_
#define IMPORDANO_RECORDS_SUMMARY_RECORD_H_

#include "impordano.h"
#include "records/import_plan.h"
#include "support/arena.h"
#include "support/value_tally.h"

namespace imp {

// Fills `record` from the tallies of the whole file; the cost items come
// from `blocks`.
void BuildSummary(SummaryRecord* record, const SurchargeTallies& tallies, Arena& blocks);
// Counts the summary's block.
void CountSummary(ImportPlan& plan);

}  // namespace imp

#endif  // IMPORDANO_RECORDS_SUMMARY_RECORD_H_
