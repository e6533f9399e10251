#include "records/estimate_record.h"

#include <cstring>

namespace imp {
namespace {

void SetAll(int32_t* values, int count, int32_t value) {
  for (int i = 0; i < count; ++i) values[i] = value;
}

}  // namespace

// The fixed values of the fields that no key line sets.
void RecordReading::Start(EstimateRecord* r) noexcept {
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

template void ReadEstimate(EstimateRecord*, RecordReading&);
template void ReadEstimate(EstimateRecord*, PlanReading&);

}  // namespace imp
