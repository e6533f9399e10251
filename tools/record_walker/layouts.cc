#include "layouts.h"

#include <iterator>

namespace impwalk {

// The tables of the lists in layouts.h. Every entry is an address or a
// constant, so the tables are in place before any code runs.
#define IMPWALK_AT(Struct, field) #field, offsetof(Struct, field), sizeof(Struct::field)
#define IMPWALK_FIELD(Struct, field, kind) \
  {IMPWALK_AT(Struct, field), FieldKind::kind, nullptr, 0, 0},
#define IMPWALK_BLOCK(Struct, field, target) \
  {IMPWALK_AT(Struct, field), FieldKind::kBlock, &k##target##Layout, 0, 0},
#define IMPWALK_ITEMS(Struct, field, count, itemSize, target)        \
  {IMPWALK_AT(Struct, field), FieldKind::kItems, &k##target##Layout, \
   offsetof(Struct, count), offsetof(Struct, itemSize)},
#define IMPWALK_LAYOUT(Struct, list)                                                     \
  namespace {                                                                            \
  const Field k##Struct##Fields[] = {list(IMPWALK_FIELD, IMPWALK_BLOCK, IMPWALK_ITEMS)}; \
  }                                                                                      \
  const Layout k##Struct##Layout = {#Struct, sizeof(Struct), k##Struct##Fields,          \
                                    std::size(k##Struct##Fields)};

IMPWALK_LAYOUT(QuantityItem, IMPWALK_QUANTITY_ITEM)
IMPWALK_LAYOUT(CatalogueDetail, IMPWALK_CATALOGUE_DETAIL)
IMPWALK_LAYOUT(CostItem, IMPWALK_COST_ITEM)
IMPWALK_LAYOUT(EstimateRecord, IMPWALK_ESTIMATE_RECORD)
IMPWALK_LAYOUT(ElementRecord, IMPWALK_ELEMENT_RECORD)
IMPWALK_LAYOUT(PositionRecord, IMPWALK_POSITION_RECORD)
IMPWALK_LAYOUT(MeasurementLineRecord, IMPWALK_MEASUREMENT_LINE_RECORD)
IMPWALK_LAYOUT(ResourceRecord, IMPWALK_RESOURCE_RECORD)
IMPWALK_LAYOUT(SummaryRecord, IMPWALK_SUMMARY_RECORD)
IMPWALK_LAYOUT(Description, IMPWALK_DESCRIPTION)

const Layout* RecordLayout(int32_t tokenType) {
  switch (tokenType) {
    case IMP_TOKEN_ESTIMATE: return &kEstimateRecordLayout;
    case IMP_TOKEN_ELEMENT: return &kElementRecordLayout;
    case IMP_TOKEN_POSITION: return &kPositionRecordLayout;
    case IMP_TOKEN_RESOURCE: return &kResourceRecordLayout;
    case IMP_TOKEN_SUMMARY: return &kSummaryRecordLayout;
    case IMP_TOKEN_MEASUREMENT_LINE: return &kMeasurementLineRecordLayout;
    default: return nullptr;
  }
}

const Layout& DescriptionLayout() { return kDescriptionLayout; }

}  // namespace impwalk
