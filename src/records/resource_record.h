// Resource sections, "[RMS 1.2.3]": a labour ('R'), material ('M') or
// equipment ('S') line of the latest position, as a ResourceRecord, with
// its consumption corrected by the section's factor and the mark of an
// investor's quantity that agrees with the total. The surcharge rates the
// section gives are counted for the summary by the first reading.
#ifndef IMPORDANO_RECORDS_RESOURCE_RECORD_H_
#define IMPORDANO_RECORDS_RESOURCE_RECORD_H_

#include "impordano.h"
#include "records/section_reading.h"

namespace imp {

// The fixed values: kind 'A', consumption 1.0, included in the auxiliary
// materials, and the reserved 1 and 1.0.
void InitResourceRecord(ResourceRecord* record) noexcept;

// Reads the section whose header the reader has just read
// (section_reading.h); the investor's quantity is compared with the total
// of the latest position's quantity, when one came before.
template <class Reading>
void ReadResource(ResourceRecord* record, Reading& reading);

}  // namespace imp

#endif  // IMPORDANO_RECORDS_RESOURCE_RECORD_H_
