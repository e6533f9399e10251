#include "records/import_plan.h"

#include "reader/text_field.h"

namespace imp {

void ImportPlan::CountText(const LineReader& reader, int32_t index, size_t size) {
  const size_t length = reader.FieldLength(index);
  if (IsCut(length, size)) longTextBytes += texts_.Footprint(length);
}

void ImportPlan::Clear() noexcept {
  tallies.Clear();
  summaryPlace = SummaryPlace{};
  longTextBytes = blockBytes = 0;
  measurementRoom = MeasurementLines::Room{};
}

}  // namespace imp
