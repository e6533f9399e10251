// The estimate section, "[Kosztorys]": the estimate's name, the number of
// levels of its hierarchy and its remarks, as an EstimateRecord.
#ifndef IMPORDANO_RECORDS_ESTIMATE_RECORD_H_
#define IMPORDANO_RECORDS_ESTIMATE_RECORD_H_

#include "impordano.h"
#include "records/saturate.h"
#include "records/section_reading.h"

namespace imp {

// Reads the section whose header the reader has just read
// (section_reading.h), and leaves the reader at the first line after the
// section's key lines.
template <class Reading>
void ReadEstimate(EstimateRecord* record, Reading& reading) {
  reading.Start(record);
  LineReader& reader = reading.Reader();
  while (reading.ReadLine() == kKeyLine) {
    switch (reader.KeyOf()) {
      case Key::kLevelCount:
        record->lastLevelIndex = SaturatingSubtract(reading.Int(0), 1);
        break;
      case Key::kName:
        reading.Text(record->name, 0);
        break;
      case Key::kRemarks:
        record->remarks = reading.Int(0);
        break;
      default:
        reading.KeyPassedOver();
        break;
    }
  }
}

// Compiled for the import's two readings in estimate_record.cc.
extern template void ReadEstimate(EstimateRecord*, RecordReading&);
extern template void ReadEstimate(EstimateRecord*, PlanReading&);

}  // namespace imp

#endif  // IMPORDANO_RECORDS_ESTIMATE_RECORD_H_
