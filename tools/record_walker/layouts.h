// The fields of every record layout and of the blocks that records point to,
// as tables: name, offset, size and how to read each field. The tables cover
// every byte of their layout, reserved ranges included, so that a walker
// following them reads all of a record.
#ifndef IMPORDANO_RECORD_WALKER_LAYOUTS_H_
#define IMPORDANO_RECORD_WALKER_LAYOUTS_H_

#include <cstddef>
#include <cstdint>

namespace impwalk {

enum class FieldKind {
  kInt,              // int32
  kUnsigned,         // uint32
  kDouble,           // IEEE 754 double
  kLetter,           // int32 holding a character code, 0 for none
  kText,             // NUL-terminated text, or the whole field when it has no NUL
  kLongText,         // text under the long-text rule (a cut text carries a slot)
  kBlock,            // slot to one block of the field's target layout
  kItems,            // slot to an array of the target layout; count and item
                     // size are int32 fields of the same record
  kReservedInts,     // int32 or int32[]
  kReservedDoubles,  // double or double[]
  kReservedBytes,    // bytes
};

// Reserved fields are shown only on request; they carry the fixed values
// every record starts with.
constexpr bool IsReserved(FieldKind kind) {
  return kind == FieldKind::kReservedInts || kind == FieldKind::kReservedDoubles ||
         kind == FieldKind::kReservedBytes;
}

struct Layout;

struct Field {
  const char* name;
  std::size_t offset;
  std::size_t size;
  FieldKind kind;
  const Layout* target;          // kBlock, kItems: the layout pointed to
  std::size_t countOffset;       // kItems: offset of the int32 item count
  std::size_t itemSizeOffset;    // kItems: offset of the int32 item size
};

struct Layout {
  const char* name;  // the name of the header's struct ("PositionRecord")
  std::size_t size;
  const Field* fields;  // in the order of their offsets
  std::size_t fieldCount;

  const Field* begin() const { return fields; }
  const Field* end() const { return fields + fieldCount; }
};

// The layout of a token type's record, or nullptr for a token type without
// one (the progress report, unknown types).
const Layout* RecordLayout(int32_t tokenType);

// The 256-byte text ImpKosztDescr returns, under the long-text rule; its one
// field is named "description".
const Layout& DescriptionLayout();

}  // namespace impwalk

#endif  // IMPORDANO_RECORD_WALKER_LAYOUTS_H_
