#include "record_walker.h"

#include <cstring>
#include <stdexcept>

namespace impwalk {
namespace {

uint32_t ReadU32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
         static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
}

std::size_t BoundedLength(const char* text, std::size_t size) {
  const void* nul = std::memchr(text, '\0', size);
  return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : size;
}

class Walker {
 public:
  Walker(const SlotReader& slots, Reserved reserved) : slots_(slots), reserved_(reserved) {}

  Block Walk(const Layout& layout, const char* base) const {
    Block block;
    block.layout = &layout;
    block.values.reserve(layout.fieldCount);
    for (const Field& field : layout) {
      if (IsReserved(field.kind) && reserved_ == Reserved::kSkip) continue;
      block.values.push_back(Read(field, base));
    }
    return block;
  }

 private:
  Value Read(const Field& field, const char* base) const {
    Value value;
    value.field = &field;
    const char* at = base + field.offset;
    switch (field.kind) {
      case FieldKind::kText:
        value.bytes.assign(at, BoundedLength(at, field.size));
        break;
      case FieldKind::kLongText:
        ReadLongText(field, at, &value);
        break;
      case FieldKind::kBlock:
        if (const char* block = Follow(ReadU32(at))) {
          value.target = Value::Target::kFollowed;
          value.blocks.push_back(Walk(*field.target, block));
        }
        break;
      case FieldKind::kItems:
        ReadItems(field, base, &value);
        break;
      default:  // numbers and reserved ranges: their bytes
        value.bytes.assign(at, field.size);
        break;
    }
    return value;
  }

  // A text of exactly size-5 bytes carries in the field's last 4 bytes a slot
  // with the full text, 0 when the text is whole; bytes after a shorter text
  // are left over and mean nothing.
  void ReadLongText(const Field& field, const char* at, Value* value) const {
    std::size_t length = BoundedLength(at, field.size);
    if (length == IMP_LONG_TEXT_CUT_LENGTH(field.size)) {
      const char* full = Follow(ReadU32(at + IMP_LONG_TEXT_SLOT_OFFSET(field.size)));
      if (full) {
        value->bytes.assign(full);
        value->cut = true;
        return;
      }
    }
    value->bytes.assign(at, length);
  }

  void ReadItems(const Field& field, const char* base, Value* value) const {
    value->itemCount = static_cast<int32_t>(ReadU32(base + field.countOffset));
    value->itemSize = static_cast<int32_t>(ReadU32(base + field.itemSizeOffset));
    const char* first = Follow(ReadU32(base + field.offset));
    if (!first) return;
    if (value->itemCount < 0 || value->itemCount > kMaxFollowedItems || value->itemSize < 0 ||
        static_cast<std::size_t>(value->itemSize) < field.target->size) {
      value->target = Value::Target::kRefused;
      return;
    }
    value->target = Value::Target::kFollowed;
    value->blocks.reserve(static_cast<std::size_t>(value->itemCount));
    for (int32_t i = 0; i < value->itemCount; ++i) {
      value->blocks.push_back(
          Walk(*field.target, first + static_cast<std::size_t>(i) * value->itemSize));
    }
  }

  const char* Follow(imp_slot slot) const {
    return slot ? static_cast<const char*>(slots_(slot)) : nullptr;
  }

  const SlotReader& slots_;
  Reserved reserved_;
};

}  // namespace

const void* SlotInThisProcess(imp_slot slot) { return IMP_SLOT_PTR(slot); }

int32_t Value::Int(std::size_t index) const {
  if (bytes.size() < 4 * (index + 1)) throw std::out_of_range("no int32 at that index");
  return static_cast<int32_t>(ReadU32(bytes.data() + 4 * index));
}

uint32_t Value::Unsigned() const { return static_cast<uint32_t>(Int()); }

double Value::Double(std::size_t index) const {
  if (bytes.size() < 8 * (index + 1)) throw std::out_of_range("no double at that index");
  uint64_t bits = static_cast<uint64_t>(ReadU32(bytes.data() + 8 * index)) |
                  static_cast<uint64_t>(ReadU32(bytes.data() + 8 * index + 4)) << 32;
  double result;
  std::memcpy(&result, &bits, sizeof result);
  return result;
}

const Value& Block::Find(const Layout* fieldLayout, std::size_t offset) const {
  if (fieldLayout == layout) {
    for (const Value& value : values) {
      if (value.field->offset == offset) return value;
    }
  }
  throw std::out_of_range(std::string("no field of ") + fieldLayout->name + " at offset " +
                          std::to_string(offset) + " in " +
                          (layout ? layout->name : "a record without a layout"));
}

Block WalkBlock(const Layout& layout, const void* data, const SlotReader& slots,
                Reserved reserved) {
  return Walker(slots, reserved).Walk(layout, static_cast<const char*>(data));
}

Block WalkRecord(int32_t tokenType, const void* data, const SlotReader& slots,
                 Reserved reserved) {
  const Layout* layout = RecordLayout(tokenType);
  return layout ? WalkBlock(*layout, data, slots, reserved) : Block{};
}

}  // namespace impwalk
