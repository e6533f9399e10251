#include "records/estimate_record.h"

#include <cstring>

#include "records/saturate.h"

namespace imp {
namespace {

void SetAll(int32_t* values, int count, int32_t value) {
  for (int i = 0; i < count; ++i) values[i] = value;
}

// The fixed values of the fields that no key line sets.
void InitEstimateRecord(EstimateRecord* r) {
  std::memset(r, 0, sizeof *r);
  r->recordTag = IMP_TAG_ESTIMATE;
  r->reserved268 = 1;
  SetAll(r->reserved292, 6, -1);
  r->quantityItemSize = sizeof(QuantityItem);
  SetAll(r->reserved344, 6, -1);
  r->reserved368 = 1;
  SetAll(r->reserved372, 8, -1);
  r->reserved440 = -1;
  r->reserved456 = -1;
  r->reserved464 = -1.0;
  SetAll(r->reserved472, 7, -1);
  SetAll(r->reserved756, 8, -1);
  r->reserved792 = 32;
  SetAll(r->reserved800, 3, -1);
  r->reserved816 = -1;
}

}  // namespace

void BuildEstimate(EstimateRecord* record, LineReader& reader) {
  InitEstimateRecord(record);
  while (reader.ReadLine() == kKeyLine) {
    switch (reader.KeyOf()) {
      case Key::kLevelCount:
        record->lastLevelIndex = SaturatingSubtract(reader.FieldInt(0, 0), 1);
        break;
      case Key::kName:
        reader.CopyField(record->name, 0, sizeof record->name);
        break;
      case Key::kRemarks:
        record->remarks = reader.FieldInt(0, 0);
        break;
      default:
        break;
    }
  }
}

void SurveyEstimate(LineReader& reader, ImportPlan& plan) {
  ++plan.estimateCount;
  while (reader.ReadLine() == kKeyLine) {
    if (reader.KeyOf() == Key::kName) plan.CountText(reader, 0, sizeof(EstimateRecord::name));
  }
}

}  // namespace imp
