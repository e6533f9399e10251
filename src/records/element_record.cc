#include "records/element_record.h"

#include <cstring>

#include "records/check_reading.h"

namespace imp {
namespace {

constexpr int32_t kElementReserved384 = 0x7FFFFFFF;

// The element's quantity item, made on its first "Obmiar" or "JM" line.
template <class Reading>
QuantityItem* ItemOf(ElementRecord* record, QuantityItem** item, Reading& reading) {
  if (*item == nullptr) {
    *item = reading.template NewBlock<QuantityItem>(&record->quantityItems);
    record->quantityCount = 1;
  }
  return *item;
}

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

template <class Reading>
void ReadElement(ElementRecord* record, Reading& reading) {
  reading.Start(record);
  LineReader& reader = reading.Reader();
  QuantityItem* item = nullptr;
  while (reading.ReadLine() == kKeyLine) {
    switch (reader.KeyOf()) {
      case Key::kDescription:
        reading.Text(record->description, 0);
        break;
      case Key::kQuantity:
        ItemOf(record, &item, reading)->quantity = reading.Double(0);
        break;
      case Key::kUnit:
        // The unit stands in the second field of the line.
        reading.Text(ItemOf(record, &item, reading)->unit, 1);
        break;
      default:
        reading.KeyPassedOver();
        break;
    }
  }
}

template void ReadElement(ElementRecord*, RecordReading&);
template void ReadElement(ElementRecord*, PlanReading&);
template void ReadElement(ElementRecord*, CheckReading&);

}  // namespace imp
