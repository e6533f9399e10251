#include "records/element_record.h"

#include <cstring>

#include "support/memory.h"

namespace imp {
namespace {

constexpr int32_t kElementReserved384 = 0x7FFFFFFF;

// The element's quantity item, made on its first "Obmiar" or "JM" line.
QuantityItem* ItemOf(ElementRecord* record, QuantityItem** item, Arena& blocks) {
  if (*item == nullptr) {
    *item = static_cast<QuantityItem*>(blocks.Allocate(sizeof(QuantityItem)));
    record->quantityCount = 1;
    record->quantityItems = SlotOf(*item);
  }
  return *item;
}

}  // namespace

void BuildElement(ElementRecord* record, LineReader& reader, Arena& blocks) {
  std::memset(record, 0, sizeof *record);
  record->recordTag = IMP_TAG_ELEMENT;
  record->quantityItemSize = sizeof(QuantityItem);
  // The header's number parts, "1.2.3", give the depth.
  record->depth = reader.FieldCount();
  record->reserved384 = kElementReserved384;

  QuantityItem* item = nullptr;
  while (reader.ReadLine() == kKeyLine) {
    switch (reader.KeyOf()) {
      case Key::kDescription:
        reader.CopyField(record->description, 0, sizeof record->description);
        break;
      case Key::kQuantity:
        ItemOf(record, &item, blocks)->quantity = reader.FieldDouble(0, 0.0);
        break;
      case Key::kUnit:
        // The unit stands in the second field of the line.
        reader.CopyField(ItemOf(record, &item, blocks)->unit, 1, sizeof item->unit);
        break;
      default:
        break;
    }
  }
}

void SurveyElement(LineReader& reader, ImportPlan& plan) {
  bool hasItem = false;
  while (reader.ReadLine() == kKeyLine) {
    switch (reader.KeyOf()) {
      case Key::kDescription:
        plan.CountText(reader, 0, sizeof(ElementRecord::description));
        break;
      case Key::kQuantity:
        hasItem = true;
        break;
      case Key::kUnit:
        hasItem = true;
        plan.CountText(reader, 1, sizeof(QuantityItem::unit));
        break;
      default:
        break;
    }
  }
  if (hasItem) plan.CountBlock(sizeof(QuantityItem));
}

}  // namespace imp
