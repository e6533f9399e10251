#include <cstring>

#include "records/records.h"
#include "records/saturate.h"

namespace imp {
namespace {

void SetAll(int32_t* values, int count, int32_t value) {
  for (int i = 0; i < count; ++i) values[i] = value;
}

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

bool BuildEstimate(EstimateRecord* record, BuildContext& context) noexcept {
  InitEstimateRecord(record);
  LineReader& reader = context.reader;
  while (context.NextKeyLine()) {
    if (reader.KeyIs("Liczba poziom\xF3w")) {
      record->lastLevelIndex = SaturatingSubtract(reader.FieldInt(0, 0), 1);
    } else if (reader.KeyIs("Nazwa")) {
      if (!reader.CopyTextField(record->name, 0, sizeof record->name, 1)) return false;
    } else if (reader.KeyIs("Uwagi")) {
      record->remarks = reader.FieldInt(0, 0);
    }
  }
  return true;
}

}  // namespace imp
