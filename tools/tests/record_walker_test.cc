// The layout tables against the public header: a field left out or placed
// wrongly would leave bytes that neither the tool nor the fuzz target reads.
// How the walker reads what the tables describe shows in the golden outputs
// of impordano-dump (JSON, --all and the page), which it makes.
#include "record_walker.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace impwalk {
namespace {

const int32_t kRecordTokens[] = {IMP_TOKEN_ESTIMATE, IMP_TOKEN_ELEMENT, IMP_TOKEN_POSITION,
                                 IMP_TOKEN_RESOURCE, IMP_TOKEN_SUMMARY,
                                 IMP_TOKEN_MEASUREMENT_LINE};

// Every layout the tables reach: the records, the blocks behind their
// slots, and the description.
std::vector<const Layout*> AllLayouts() {
  std::vector<const Layout*> layouts{&DescriptionLayout()};
  for (int32_t token : kRecordTokens) layouts.push_back(RecordLayout(token));
  for (std::size_t i = 0; i < layouts.size(); ++i) {
    for (const Field& field : *layouts[i]) {
      if (field.target) layouts.push_back(field.target);
    }
  }
  return layouts;
}

TEST(Layouts, FieldsCoverEveryByteInOrder) {
  const std::size_t sizes[] = {sizeof(EstimateRecord), sizeof(ElementRecord),
                               sizeof(PositionRecord), sizeof(ResourceRecord),
                               sizeof(SummaryRecord), sizeof(MeasurementLineRecord)};
  for (std::size_t i = 0; i < std::size(kRecordTokens); ++i) {
    ASSERT_NE(RecordLayout(kRecordTokens[i]), nullptr);
    EXPECT_EQ(RecordLayout(kRecordTokens[i])->size, sizes[i]);
  }
  EXPECT_EQ(RecordLayout(IMP_TOKEN_PROGRESS), nullptr);
  std::set<std::string> seen;
  for (const Layout* layout : AllLayouts()) {
    seen.insert(layout->name);
    std::size_t end = 0;
    for (const Field& field : *layout) {
      EXPECT_EQ(field.offset, end) << layout->name << "." << field.name;
      end = field.offset + field.size;
      if (field.kind == FieldKind::kBlock || field.kind == FieldKind::kItems) {
        EXPECT_EQ(field.size, sizeof(imp_slot)) << field.name;
        EXPECT_NE(field.target, nullptr) << field.name;
      }
    }
    EXPECT_EQ(end, layout->size) << layout->name;
  }
  EXPECT_EQ(seen, (std::set<std::string>{"Description", "EstimateRecord", "ElementRecord",
                                         "PositionRecord", "ResourceRecord", "SummaryRecord",
                                         "MeasurementLineRecord", "QuantityItem",
                                         "CatalogueDetail", "CostItem"}));
}

}  // namespace
}  // namespace impwalk
