// The estimate section, "[Kosztorys]": the estimate's name, the number of
// levels of its hierarchy and its remarks, as an EstimateRecord.
#ifndef IMPORDANO_RECORDS_ESTIMATE_RECORD_H_
#define IMPORDANO_RECORDS_ESTIMATE_RECORD_H_

#include "impordano.h"
#include "records/section_reading.h"

namespace imp {

// Reads the section whose header the reader has just read
// (section_reading.h), and leaves the reader at the first line after the
// section's key lines.
template <class Reading>
void ReadEstimate(EstimateRecord* record, Reading& reading);

}  // namespace imp

#endif  // IMPORDANO_RECORDS_ESTIMATE_RECORD_H_
