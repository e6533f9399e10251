#include <cstring>

#include "records/records.h"
#include "support/memory.h"

namespace imp {
namespace {

constexpr int32_t kElementReserved384 = 0x7FFFFFFF;

// The element's quantity item, made on its first "Obmiar" or "JM" line.
QuantityItem* ItemOf(ElementRecord* record, QuantityItem** item, BufferList& buffers) {
  if (*item == nullptr) {
    *item = static_cast<QuantityItem*>(buffers.NewBlock(sizeof(QuantityItem)));
    if (*item == nullptr) return nullptr;
    record->quantityCount = 1;
    record->quantityItems = SlotOf(*item);
  }
  return *item;
}

}  // namespace

bool BuildElement(ElementRecord* record, BuildContext& context) noexcept {
  LineReader& reader = context.reader;
  std::memset(record, 0, sizeof *record);
  record->recordTag = IMP_TAG_ELEMENT;
  record->quantityItemSize = sizeof(QuantityItem);
  // The header's number parts, "1.2.3", give the depth.
  record->depth = reader.fieldCount;
  record->reserved384 = kElementReserved384;

  QuantityItem* item = nullptr;
  while (context.NextKeyLine()) {
    if (reader.KeyIs("Opis")) {
      if (!reader.CopyTextField(record->description, 0, sizeof record->description, 1)) {
        return false;
      }
    } else if (reader.KeyIs("Obmiar")) {
      if (ItemOf(record, &item, context.buffers) == nullptr) return false;
      item->quantity = reader.FieldDouble(0, 0.0);
    } else if (reader.KeyIs("JM")) {
      if (ItemOf(record, &item, context.buffers) == nullptr) return false;
      // The unit stands in the second field of the line.
      if (!reader.CopyTextField(item->unit, 1, sizeof item->unit, 1)) return false;
    }
  }
  return true;
}

}  // namespace imp
