#include "layouts.h"

#include <iterator>

#include "impordano.h"

namespace impwalk {
namespace {

// Name, offset and size of a field of one of the header's structs.
#define IMPWALK_AT(Struct, field) #field, offsetof(Struct, field), sizeof(Struct::field)
#define IMPWALK_FIELD(Struct, field, kind) \
  { IMPWALK_AT(Struct, field), FieldKind::kind, nullptr, 0, 0 }
#define IMPWALK_BLOCK(Struct, field, target) \
  { IMPWALK_AT(Struct, field), FieldKind::kBlock, &target, 0, 0 }
#define IMPWALK_ITEMS(Struct, field, count, itemSize, target)            \
  {                                                                      \
    IMPWALK_AT(Struct, field), FieldKind::kItems, &target,               \
        offsetof(Struct, count), offsetof(Struct, itemSize)              \
  }
#define IMPWALK_LAYOUT(Struct, fields) \
  { #Struct, sizeof(Struct), fields, std::size(fields) }

// The blocks come first: records name them as their slots' targets.
const Field kQuantityItemFields[] = {
    IMPWALK_FIELD(QuantityItem, quantity, kDouble),
    IMPWALK_FIELD(QuantityItem, unit, kLongText),
    IMPWALK_FIELD(QuantityItem, reserved40, kReservedBytes),
};
const Layout kQuantityItem = IMPWALK_LAYOUT(QuantityItem, kQuantityItemFields);

const Field kCatalogueDetailFields[] = {
    IMPWALK_FIELD(CatalogueDetail, reserved0, kReservedBytes),
    IMPWALK_FIELD(CatalogueDetail, catalogue, kLongText),
    IMPWALK_FIELD(CatalogueDetail, catalogueNumber, kText),
    IMPWALK_FIELD(CatalogueDetail, tableColumn, kLongText),
    IMPWALK_FIELD(CatalogueDetail, reserved452, kReservedBytes),
};
const Layout kCatalogueDetail = IMPWALK_LAYOUT(CatalogueDetail, kCatalogueDetailFields);

const Field kCostItemFields[] = {
    IMPWALK_FIELD(CostItem, name, kText),
    IMPWALK_FIELD(CostItem, rate, kDouble),
    IMPWALK_FIELD(CostItem, reserved72, kReservedInts),
    IMPWALK_FIELD(CostItem, reserved76, kReservedBytes),
    IMPWALK_FIELD(CostItem, labourBasis, kLetter),
    IMPWALK_FIELD(CostItem, materialBasis, kLetter),
    IMPWALK_FIELD(CostItem, equipmentBasis, kLetter),
    IMPWALK_FIELD(CostItem, reserved96, kReservedBytes),
    IMPWALK_FIELD(CostItem, reserved160, kReservedInts),
    IMPWALK_FIELD(CostItem, reserved164, kReservedBytes),
    IMPWALK_FIELD(CostItem, reserved168, kReservedInts),
    IMPWALK_FIELD(CostItem, reserved172, kReservedBytes),
};
const Layout kCostItem = IMPWALK_LAYOUT(CostItem, kCostItemFields);

const Field kEstimateFields[] = {
    IMPWALK_FIELD(EstimateRecord, recordTag, kInt),
    IMPWALK_FIELD(EstimateRecord, name, kLongText),
    IMPWALK_FIELD(EstimateRecord, lastLevelIndex, kInt),
    IMPWALK_FIELD(EstimateRecord, remarks, kInt),
    IMPWALK_FIELD(EstimateRecord, reserved268, kReservedInts),
    IMPWALK_FIELD(EstimateRecord, reserved272, kReservedBytes),
    IMPWALK_FIELD(EstimateRecord, reserved292, kReservedInts),
    IMPWALK_FIELD(EstimateRecord, reserved316, kReservedBytes),
    IMPWALK_FIELD(EstimateRecord, quantityCount, kInt),
    IMPWALK_FIELD(EstimateRecord, quantityItemSize, kInt),
    IMPWALK_ITEMS(EstimateRecord, quantityItems, quantityCount, quantityItemSize,
                  kQuantityItem),
    IMPWALK_FIELD(EstimateRecord, reserved344, kReservedInts),
    IMPWALK_FIELD(EstimateRecord, reserved368, kReservedInts),
    IMPWALK_FIELD(EstimateRecord, reserved372, kReservedInts),
    IMPWALK_FIELD(EstimateRecord, reserved404, kReservedBytes),
    IMPWALK_FIELD(EstimateRecord, reserved440, kReservedInts),
    IMPWALK_FIELD(EstimateRecord, reserved444, kReservedBytes),
    IMPWALK_FIELD(EstimateRecord, reserved456, kReservedInts),
    IMPWALK_FIELD(EstimateRecord, reserved460, kReservedBytes),
    IMPWALK_FIELD(EstimateRecord, reserved464, kReservedDoubles),
    IMPWALK_FIELD(EstimateRecord, reserved472, kReservedInts),
    IMPWALK_FIELD(EstimateRecord, reserved500, kReservedBytes),
    IMPWALK_FIELD(EstimateRecord, reserved756, kReservedInts),
    IMPWALK_FIELD(EstimateRecord, reserved788, kReservedBytes),
    IMPWALK_FIELD(EstimateRecord, reserved792, kReservedInts),
    IMPWALK_FIELD(EstimateRecord, reserved796, kReservedBytes),
    IMPWALK_FIELD(EstimateRecord, reserved800, kReservedInts),
    IMPWALK_FIELD(EstimateRecord, reserved812, kReservedBytes),
    IMPWALK_FIELD(EstimateRecord, reserved816, kReservedInts),
    IMPWALK_FIELD(EstimateRecord, reserved820, kReservedBytes),
};
const Layout kEstimate = IMPWALK_LAYOUT(EstimateRecord, kEstimateFields);

const Field kElementFields[] = {
    IMPWALK_FIELD(ElementRecord, recordTag, kInt),
    IMPWALK_FIELD(ElementRecord, description, kLongText),
    IMPWALK_FIELD(ElementRecord, depth, kInt),
    IMPWALK_FIELD(ElementRecord, quantityCount, kInt),
    IMPWALK_FIELD(ElementRecord, quantityItemSize, kInt),
    IMPWALK_ITEMS(ElementRecord, quantityItems, quantityCount, quantityItemSize,
                  kQuantityItem),
    IMPWALK_FIELD(ElementRecord, reserved276, kReservedBytes),
    IMPWALK_FIELD(ElementRecord, reserved280, kReservedDoubles),
    IMPWALK_FIELD(ElementRecord, reserved312, kReservedBytes),
    IMPWALK_FIELD(ElementRecord, reserved384, kReservedInts),
    IMPWALK_FIELD(ElementRecord, reserved388, kReservedBytes),
};
const Layout kElement = IMPWALK_LAYOUT(ElementRecord, kElementFields);

const Field kPositionFields[] = {
    IMPWALK_FIELD(PositionRecord, recordTag, kInt),
    IMPWALK_FIELD(PositionRecord, catalogueReference, kText),
    IMPWALK_FIELD(PositionRecord, description, kLongText),
    IMPWALK_FIELD(PositionRecord, reserved580, kReservedBytes),
    IMPWALK_FIELD(PositionRecord, unit, kLongText),
    IMPWALK_FIELD(PositionRecord, secondUnit, kLongText),
    IMPWALK_FIELD(PositionRecord, reserved900, kReservedBytes),
    IMPWALK_FIELD(PositionRecord, quantity, kDouble),
    IMPWALK_FIELD(PositionRecord, reserved1168, kReservedBytes),
    IMPWALK_FIELD(PositionRecord, flags, kUnsigned),
    IMPWALK_FIELD(PositionRecord, reserved1304, kReservedBytes),
    IMPWALK_FIELD(PositionRecord, price, kDouble),
    IMPWALK_FIELD(PositionRecord, reserved1336, kReservedBytes),
    IMPWALK_FIELD(PositionRecord, reservedId, kReservedInts),
    IMPWALK_FIELD(PositionRecord, reserved1352, kReservedBytes),
    IMPWALK_FIELD(PositionRecord, multiplicity, kDouble),
    IMPWALK_FIELD(PositionRecord, reserved1408, kReservedBytes),
    IMPWALK_BLOCK(PositionRecord, catalogueDetail, kCatalogueDetail),
    IMPWALK_FIELD(PositionRecord, reserved1432, kReservedBytes),
};
const Layout kPosition = IMPWALK_LAYOUT(PositionRecord, kPositionFields);

const Field kMeasurementLineFields[] = {
    IMPWALK_FIELD(MeasurementLineRecord, recordTag, kInt),
    IMPWALK_FIELD(MeasurementLineRecord, entryKind, kInt),
    IMPWALK_FIELD(MeasurementLineRecord, comment, kLongText),
    IMPWALK_FIELD(MeasurementLineRecord, measurement, kLongText),
    IMPWALK_FIELD(MeasurementLineRecord, reservedValue, kReservedInts),
    IMPWALK_FIELD(MeasurementLineRecord, lineFlag, kInt),
    IMPWALK_FIELD(MeasurementLineRecord, reserved532, kReservedBytes),
};
const Layout kMeasurementLine = IMPWALK_LAYOUT(MeasurementLineRecord, kMeasurementLineFields);

const Field kResourceFields[] = {
    IMPWALK_FIELD(ResourceRecord, recordTag, kInt),
    IMPWALK_FIELD(ResourceRecord, kind, kLetter),
    IMPWALK_FIELD(ResourceRecord, name, kLongText),
    IMPWALK_FIELD(ResourceRecord, indexCode, kLongText),
    IMPWALK_FIELD(ResourceRecord, reserved168, kReservedInts),
    IMPWALK_FIELD(ResourceRecord, unit, kLongText),
    IMPWALK_FIELD(ResourceRecord, reserved204, kReservedBytes),
    IMPWALK_FIELD(ResourceRecord, consumption, kDouble),
    IMPWALK_FIELD(ResourceRecord, price, kDouble),
    IMPWALK_FIELD(ResourceRecord, reserved224, kReservedDoubles),
    IMPWALK_FIELD(ResourceRecord, reserved248, kReservedBytes),
    IMPWALK_FIELD(ResourceRecord, investorQuantityMatches, kInt),
    IMPWALK_FIELD(ResourceRecord, reserved316, kReservedBytes),
    IMPWALK_FIELD(ResourceRecord, reserved320, kReservedDoubles),
    IMPWALK_FIELD(ResourceRecord, reserved360, kReservedDoubles),
    IMPWALK_FIELD(ResourceRecord, reserved368, kReservedInts),
    IMPWALK_FIELD(ResourceRecord, reserved372, kReservedBytes),
    IMPWALK_FIELD(ResourceRecord, fixedInput, kInt),
    IMPWALK_FIELD(ResourceRecord, includeInAuxiliaryMaterials, kInt),
    IMPWALK_FIELD(ResourceRecord, consumptionText, kLongText),
    IMPWALK_FIELD(ResourceRecord, reserved676, kReservedBytes),
};
const Layout kResource = IMPWALK_LAYOUT(ResourceRecord, kResourceFields);

const Field kSummaryFields[] = {
    IMPWALK_FIELD(SummaryRecord, recordTag, kInt),
    IMPWALK_FIELD(SummaryRecord, reserved4, kReservedInts),
    IMPWALK_FIELD(SummaryRecord, itemCount, kInt),
    IMPWALK_ITEMS(SummaryRecord, items, itemCount, itemSize, kCostItem),
    IMPWALK_FIELD(SummaryRecord, itemSize, kInt),
};
const Layout kSummary = IMPWALK_LAYOUT(SummaryRecord, kSummaryFields);

constexpr std::size_t kDescriptionSize = IMP_DESCRIPTION_SIZE;
const Field kDescriptionFields[] = {
    {"description", 0, kDescriptionSize, FieldKind::kLongText, nullptr, 0, 0},
};
const Layout kDescription = {"Description", kDescriptionSize, kDescriptionFields,
                             std::size(kDescriptionFields)};

}  // namespace

const Layout* RecordLayout(int32_t tokenType) {
  switch (tokenType) {
    case IMP_TOKEN_ESTIMATE: return &kEstimate;
    case IMP_TOKEN_ELEMENT: return &kElement;
    case IMP_TOKEN_POSITION: return &kPosition;
    case IMP_TOKEN_RESOURCE: return &kResource;
    case IMP_TOKEN_SUMMARY: return &kSummary;
    case IMP_TOKEN_MEASUREMENT_LINE: return &kMeasurementLine;
    default: return nullptr;
  }
}

const Layout& DescriptionLayout() { return kDescription; }

}  // namespace impwalk
