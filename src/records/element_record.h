// Element sections, "[Element 1.2]": a chapter of the estimate with its
// depth (the parts of its number), description, and a QuantityItem with its
// quantity and unit behind a slot.
#ifndef IMPORDANO_RECORDS_ELEMENT_RECORD_H_
#define IMPORDANO_RECORDS_ELEMENT_RECORD_H_

#include "impordano.h"
#include "records/section_reading.h"

namespace imp {

// Reads the section whose header the reader has just read
// (section_reading.h): the quantity item, made on the section's first
// "Obmiar" or "JM" line, is a block behind the record's slot.
// The element's quantity item, made on its first "Obmiar" or "JM" line.
template <class Reading>
QuantityItem* ItemOf(ElementRecord* record, QuantityItem** item, Reading& reading) {
  if (*item == nullptr) {
    *item = reading.template NewBlock<QuantityItem>(&record->quantityItems);
    record->quantityCount = 1;
  }
  return *item;
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

// Compiled for the import's two readings in element_record.cc.
extern template void ReadElement(ElementRecord*, RecordReading&);
extern template void ReadElement(ElementRecord*, PlanReading&);

}  // namespace imp

#endif  // IMPORDANO_RECORDS_ELEMENT_RECORD_H_
