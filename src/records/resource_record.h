// Resource sections, "[RMS 1.2.3]": a labour ('R'), material ('M') or
// equipment ('S') line of the latest position, as a ResourceRecord, with
// its consumption corrected by the section's factor and the mark of an
// investor's quantity that agrees with the total. The surcharge rates the
// section gives are counted for the summary by the survey.
#ifndef IMPORDANO_RECORDS_RESOURCE_RECORD_H_
#define IMPORDANO_RECORDS_RESOURCE_RECORD_H_

#include "impordano.h"
#include "reader/line_reader.h"
#include "records/import_plan.h"

namespace imp {

// The fixed values: kind 'A', consumption 1.0, included in the auxiliary
// materials, and the reserved 1 and 1.0.
void InitResourceRecord(ResourceRecord* record) noexcept;

// Fills `record` from the section whose header the reader has just read.
// `positionQuantity` is the latest position's quantity, or nullptr before
// the first position.
void BuildResource(ResourceRecord* record, const double* positionQuantity, LineReader& reader);
// Reads the same section for the plan, counting its surcharge rates.
void SurveyResource(LineReader& reader, ImportPlan& plan);

}  // namespace imp

#endif  // IMPORDANO_RECORDS_RESOURCE_RECORD_H_
