// The fields of every record layout and of the blocks that records point to,
// as tables: name, offset, size and how to read each field. The tables cover
// every byte of their layout, reserved ranges included, so that a walker
// following them reads all of a record.
//
// Each layout is written once, as the list of its fields below. layouts.cc
// makes the tables of the lists, and this header makes of them a constant
// for each field (impwalk::position_record::description) that code reads the
// field by: a field renamed in impordano.h, or missing from its list, fails
// to compile where it is read instead of failing at run time.
#ifndef IMPORDANO_RECORD_WALKER_LAYOUTS_H_
#define IMPORDANO_RECORD_WALKER_LAYOUTS_H_

#include <cstddef>
#include <cstdint>

#include "impordano.h"

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

// What a field is read as, which decides the accessors of a walked block
// (record_walker.h) that take its name.
enum class ReadAs { kText, kInt, kUnsigned, kDouble, kBlocks, kReserved };

constexpr ReadAs ReadAsOf(FieldKind kind) {
  switch (kind) {
    case FieldKind::kInt:
    case FieldKind::kLetter: return ReadAs::kInt;
    case FieldKind::kUnsigned: return ReadAs::kUnsigned;
    case FieldKind::kDouble: return ReadAs::kDouble;
    case FieldKind::kText:
    case FieldKind::kLongText: return ReadAs::kText;
    case FieldKind::kBlock:
    case FieldKind::kItems: return ReadAs::kBlocks;
    default: return ReadAs::kReserved;
  }
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

// A field known by name at compile time: its layout and its offset there,
// which no other field of the layout has.
template <ReadAs kReadAs>
struct FieldName {
  const Layout* layout;
  std::size_t offset;
};

// The text ImpKosztDescr returns, under the long-text rule, as the one
// field of a block.
struct Description {
  char description[IMP_DESCRIPTION_SIZE];
};

// The lists, one line a field in the order of the offsets:
//   FIELD(struct, field, kind)  a field read by its kind;
//   BLOCK(struct, field, target)  a slot to one block of the target struct;
//   ITEMS(struct, field, count, itemSize, target)  a slot to an array of the
//     target struct, whose count and item size are int32 fields of `struct`.
#define IMPWALK_QUANTITY_ITEM(FIELD, BLOCK, ITEMS) \
  FIELD(QuantityItem, quantity, kDouble)           \
  FIELD(QuantityItem, unit, kLongText)             \
  FIELD(QuantityItem, reserved40, kReservedBytes)

#define IMPWALK_CATALOGUE_DETAIL(FIELD, BLOCK, ITEMS) \
  FIELD(CatalogueDetail, reserved0, kReservedBytes)   \
  FIELD(CatalogueDetail, catalogue, kLongText)        \
  FIELD(CatalogueDetail, catalogueNumber, kText)      \
  FIELD(CatalogueDetail, tableColumn, kLongText)      \
  FIELD(CatalogueDetail, reserved452, kReservedBytes)

#define IMPWALK_COST_ITEM(FIELD, BLOCK, ITEMS) \
  FIELD(CostItem, name, kText)                 \
  FIELD(CostItem, rate, kDouble)               \
  FIELD(CostItem, reserved72, kReservedInts)   \
  FIELD(CostItem, reserved76, kReservedBytes)  \
  FIELD(CostItem, labourBasis, kLetter)        \
  FIELD(CostItem, materialBasis, kLetter)      \
  FIELD(CostItem, equipmentBasis, kLetter)     \
  FIELD(CostItem, reserved96, kReservedBytes)  \
  FIELD(CostItem, reserved160, kReservedInts)  \
  FIELD(CostItem, reserved164, kReservedBytes) \
  FIELD(CostItem, reserved168, kReservedInts)  \
  FIELD(CostItem, reserved172, kReservedBytes)

#define IMPWALK_ESTIMATE_RECORD(FIELD, BLOCK, ITEMS)                                  \
  FIELD(EstimateRecord, recordTag, kInt)                                              \
  FIELD(EstimateRecord, name, kLongText)                                              \
  FIELD(EstimateRecord, lastLevelIndex, kInt)                                         \
  FIELD(EstimateRecord, remarks, kInt)                                                \
  FIELD(EstimateRecord, reserved268, kReservedInts)                                   \
  FIELD(EstimateRecord, reserved272, kReservedBytes)                                  \
  FIELD(EstimateRecord, reserved292, kReservedInts)                                   \
  FIELD(EstimateRecord, reserved316, kReservedBytes)                                  \
  FIELD(EstimateRecord, quantityCount, kInt)                                          \
  FIELD(EstimateRecord, quantityItemSize, kInt)                                       \
  ITEMS(EstimateRecord, quantityItems, quantityCount, quantityItemSize, QuantityItem) \
  FIELD(EstimateRecord, reserved344, kReservedInts)                                   \
  FIELD(EstimateRecord, reserved368, kReservedInts)                                   \
  FIELD(EstimateRecord, reserved372, kReservedInts)                                   \
  FIELD(EstimateRecord, reserved404, kReservedBytes)                                  \
  FIELD(EstimateRecord, reserved440, kReservedInts)                                   \
  FIELD(EstimateRecord, reserved444, kReservedBytes)                                  \
  FIELD(EstimateRecord, reserved456, kReservedInts)                                   \
  FIELD(EstimateRecord, reserved460, kReservedBytes)                                  \
  FIELD(EstimateRecord, reserved464, kReservedDoubles)                                \
  FIELD(EstimateRecord, reserved472, kReservedInts)                                   \
  FIELD(EstimateRecord, reserved500, kReservedBytes)                                  \
  FIELD(EstimateRecord, reserved756, kReservedInts)                                   \
  FIELD(EstimateRecord, reserved788, kReservedBytes)                                  \
  FIELD(EstimateRecord, reserved792, kReservedInts)                                   \
  FIELD(EstimateRecord, reserved796, kReservedBytes)                                  \
  FIELD(EstimateRecord, reserved800, kReservedInts)                                   \
  FIELD(EstimateRecord, reserved812, kReservedBytes)                                  \
  FIELD(EstimateRecord, reserved816, kReservedInts)                                   \
  FIELD(EstimateRecord, reserved820, kReservedBytes)

#define IMPWALK_ELEMENT_RECORD(FIELD, BLOCK, ITEMS)                                  \
  FIELD(ElementRecord, recordTag, kInt)                                              \
  FIELD(ElementRecord, description, kLongText)                                       \
  FIELD(ElementRecord, depth, kInt)                                                  \
  FIELD(ElementRecord, quantityCount, kInt)                                          \
  FIELD(ElementRecord, quantityItemSize, kInt)                                       \
  ITEMS(ElementRecord, quantityItems, quantityCount, quantityItemSize, QuantityItem) \
  FIELD(ElementRecord, reserved276, kReservedBytes)                                  \
  FIELD(ElementRecord, reserved280, kReservedDoubles)                                \
  FIELD(ElementRecord, reserved312, kReservedBytes)                                  \
  FIELD(ElementRecord, reserved384, kReservedInts)                                   \
  FIELD(ElementRecord, reserved388, kReservedBytes)

#define IMPWALK_POSITION_RECORD(FIELD, BLOCK, ITEMS)      \
  FIELD(PositionRecord, recordTag, kInt)                  \
  FIELD(PositionRecord, catalogueReference, kText)        \
  FIELD(PositionRecord, description, kLongText)           \
  FIELD(PositionRecord, reserved580, kReservedBytes)      \
  FIELD(PositionRecord, unit, kLongText)                  \
  FIELD(PositionRecord, secondUnit, kLongText)            \
  FIELD(PositionRecord, reserved900, kReservedBytes)      \
  FIELD(PositionRecord, quantity, kDouble)                \
  FIELD(PositionRecord, reserved1168, kReservedBytes)     \
  FIELD(PositionRecord, flags, kUnsigned)                 \
  FIELD(PositionRecord, reserved1304, kReservedBytes)     \
  FIELD(PositionRecord, price, kDouble)                   \
  FIELD(PositionRecord, reserved1336, kReservedBytes)     \
  FIELD(PositionRecord, reservedId, kReservedInts)        \
  FIELD(PositionRecord, reserved1352, kReservedBytes)     \
  FIELD(PositionRecord, multiplicity, kDouble)            \
  FIELD(PositionRecord, reserved1408, kReservedBytes)     \
  BLOCK(PositionRecord, catalogueDetail, CatalogueDetail) \
  FIELD(PositionRecord, reserved1432, kReservedBytes)

#define IMPWALK_MEASUREMENT_LINE_RECORD(FIELD, BLOCK, ITEMS) \
  FIELD(MeasurementLineRecord, recordTag, kInt)              \
  FIELD(MeasurementLineRecord, entryKind, kInt)              \
  FIELD(MeasurementLineRecord, comment, kLongText)           \
  FIELD(MeasurementLineRecord, measurement, kLongText)       \
  FIELD(MeasurementLineRecord, reservedValue, kReservedInts) \
  FIELD(MeasurementLineRecord, lineFlag, kInt)               \
  FIELD(MeasurementLineRecord, reserved532, kReservedBytes)

#define IMPWALK_RESOURCE_RECORD(FIELD, BLOCK, ITEMS)       \
  FIELD(ResourceRecord, recordTag, kInt)                   \
  FIELD(ResourceRecord, kind, kLetter)                     \
  FIELD(ResourceRecord, name, kLongText)                   \
  FIELD(ResourceRecord, indexCode, kLongText)              \
  FIELD(ResourceRecord, reserved168, kReservedInts)        \
  FIELD(ResourceRecord, unit, kLongText)                   \
  FIELD(ResourceRecord, reserved204, kReservedBytes)       \
  FIELD(ResourceRecord, consumption, kDouble)              \
  FIELD(ResourceRecord, price, kDouble)                    \
  FIELD(ResourceRecord, reserved224, kReservedDoubles)     \
  FIELD(ResourceRecord, reserved248, kReservedBytes)       \
  FIELD(ResourceRecord, investorQuantityMatches, kInt)     \
  FIELD(ResourceRecord, reserved316, kReservedBytes)       \
  FIELD(ResourceRecord, reserved320, kReservedDoubles)     \
  FIELD(ResourceRecord, reserved360, kReservedDoubles)     \
  FIELD(ResourceRecord, reserved368, kReservedInts)        \
  FIELD(ResourceRecord, reserved372, kReservedBytes)       \
  FIELD(ResourceRecord, fixedInput, kInt)                  \
  FIELD(ResourceRecord, includeInAuxiliaryMaterials, kInt) \
  FIELD(ResourceRecord, consumptionText, kLongText)        \
  FIELD(ResourceRecord, reserved676, kReservedBytes)

#define IMPWALK_SUMMARY_RECORD(FIELD, BLOCK, ITEMS)          \
  FIELD(SummaryRecord, recordTag, kInt)                      \
  FIELD(SummaryRecord, reserved4, kReservedInts)             \
  FIELD(SummaryRecord, itemCount, kInt)                      \
  ITEMS(SummaryRecord, items, itemCount, itemSize, CostItem) \
  FIELD(SummaryRecord, itemSize, kInt)

#define IMPWALK_DESCRIPTION(FIELD, BLOCK, ITEMS) FIELD(Description, description, kLongText)

// The layouts, defined in layouts.cc.
extern const Layout kQuantityItemLayout;
extern const Layout kCatalogueDetailLayout;
extern const Layout kCostItemLayout;
extern const Layout kEstimateRecordLayout;
extern const Layout kElementRecordLayout;
extern const Layout kPositionRecordLayout;
extern const Layout kMeasurementLineRecordLayout;
extern const Layout kResourceRecordLayout;
extern const Layout kSummaryRecordLayout;
extern const Layout kDescriptionLayout;

// The field names: impwalk::<the struct's name in snake case>::<field>.
#define IMPWALK_NAME(Struct, field, kind)                      \
  inline constexpr FieldName<ReadAsOf(FieldKind::kind)> field{ \
      &k##Struct##Layout, offsetof(Struct, field)};
#define IMPWALK_BLOCK_NAME(Struct, field, target) IMPWALK_NAME(Struct, field, kBlock)
#define IMPWALK_ITEMS_NAME(Struct, field, count, itemSize, target) \
  IMPWALK_NAME(Struct, field, kItems)
#define IMPWALK_NAMES(list) list(IMPWALK_NAME, IMPWALK_BLOCK_NAME, IMPWALK_ITEMS_NAME)
namespace quantity_item { IMPWALK_NAMES(IMPWALK_QUANTITY_ITEM) }
namespace catalogue_detail { IMPWALK_NAMES(IMPWALK_CATALOGUE_DETAIL) }
namespace cost_item { IMPWALK_NAMES(IMPWALK_COST_ITEM) }
namespace estimate_record { IMPWALK_NAMES(IMPWALK_ESTIMATE_RECORD) }
namespace element_record { IMPWALK_NAMES(IMPWALK_ELEMENT_RECORD) }
namespace position_record { IMPWALK_NAMES(IMPWALK_POSITION_RECORD) }
namespace measurement_line_record { IMPWALK_NAMES(IMPWALK_MEASUREMENT_LINE_RECORD) }
namespace resource_record { IMPWALK_NAMES(IMPWALK_RESOURCE_RECORD) }
namespace summary_record { IMPWALK_NAMES(IMPWALK_SUMMARY_RECORD) }
namespace description { IMPWALK_NAMES(IMPWALK_DESCRIPTION) }
#undef IMPWALK_NAMES
#undef IMPWALK_ITEMS_NAME
#undef IMPWALK_BLOCK_NAME
#undef IMPWALK_NAME

// The layout of a token type's record, or nullptr for a token type without
// one (the progress report, unknown types).
const Layout* RecordLayout(int32_t tokenType);

// The layout of ImpKosztDescr's text.
const Layout& DescriptionLayout();

}  // namespace impwalk

#endif  // IMPORDANO_RECORD_WALKER_LAYOUTS_H_
