// The estimate section, "[Kosztorys]": the estimate's name, the number of
// levels of its hierarchy and its remarks, as an EstimateRecord.
#ifndef IMPORDANO_RECORDS_ESTIMATE_RECORD_H_
#define IMPORDANO_RECORDS_ESTIMATE_RECORD_H_

#include "impordano.h"
#include "reader/line_reader.h"
#include "records/import_plan.h"

namespace imp {

// Fills `record` from the section whose header the reader has just read,
// and leaves the reader at the first line after the section's key lines.
void BuildEstimate(EstimateRecord* record, LineReader& reader);
// Reads the same section for the plan.
void SurveyEstimate(LineReader& reader, ImportPlan& plan);

}  // namespace imp

#endif  // IMPORDANO_RECORDS_ESTIMATE_RECORD_H_
