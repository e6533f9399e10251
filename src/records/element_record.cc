#include "records/element_record.h"

#include <cstring>

namespace imp {
namespace {

constexpr int32_t kElementReserved384 = 0x7FFFFFFF;

}  // namespace

// With the reader at the section's header.
void RecordReading::Start(ElementRecord* record) noexcept {
  std::memset(record, 0, sizeof *record);
  record->recordTag = IMP_TAG_ELEMENT;
  record->quantityItemSize = sizeof(QuantityItem);
  // The header's number parts, "1.2.3", give the depth.
  record->depth = reader_.FieldCount();
  record->reserved384 = kElementReserved384;
}

template void ReadElement(ElementRecord*, RecordReading&);
template void ReadElement(ElementRecord*, PlanReading&);

}  // namespace imp
