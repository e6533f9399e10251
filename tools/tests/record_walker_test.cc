// The layout tables against the public header: a field left out or placed
// wrongly would leave bytes that neither the tool nor the fuzz target reads.
#include "record_walker.h"

#include <gtest/gtest.h>

#include <cstring>
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

// A position with a catalogue detail and a cut description, walked with and
// without the reserved fields: the blocks and texts behind the slots are
// copies that outlive the record.
TEST(WalkRecord, FollowsSlotsAndCopiesWhatTheyLeadTo) {
  std::string full(300, 'x');
  CatalogueDetail detail{};
  std::strcpy(detail.catalogue, "KNR");
  std::strcpy(detail.tableColumn, "0101-02");
  PositionRecord position{};
  position.recordTag = IMP_TAG_POSITION;
  std::memset(position.description, 'd', sizeof position.description - 5);
  const imp_slot textSlot = 0x100, detailSlot = 0x200;
  std::memcpy(position.description + sizeof position.description - 4, &textSlot, 4);
  position.catalogueDetail = detailSlot;
  position.quantity = 18.45;
  SlotReader slots = [&](imp_slot slot) -> const void* {
    return slot == textSlot ? static_cast<const void*>(full.c_str())
                            : slot == detailSlot ? &detail : nullptr;
  };
  for (Reserved reserved : {Reserved::kSkip, Reserved::kRead}) {
    Block block = WalkRecord(IMP_TOKEN_POSITION, &position, slots, reserved);
    full.assign(300, 'y');  // the module's memory changes after the call
    std::strcpy(detail.catalogue, "XXX");
    EXPECT_EQ(block.Text(position_record::description), std::string(300, 'x'));
    EXPECT_TRUE(block.Get(position_record::description).cut);
    EXPECT_EQ(block.Double(position_record::quantity), 18.45);
    const std::vector<Block>& details = block.Blocks(position_record::catalogueDetail);
    ASSERT_EQ(details.size(), 1u);
    EXPECT_EQ(details[0].Text(catalogue_detail::catalogue), "KNR");
    EXPECT_EQ(details[0].Text(catalogue_detail::tableColumn), "0101-02");
    std::size_t fields = 0;
    for (const Field& field : *block.layout) fields += !IsReserved(field.kind);
    if (reserved == Reserved::kRead) fields = block.layout->fieldCount;
    EXPECT_EQ(block.values.size(), fields);
    // A name of another layout at the same offset, and a reserved field
    // that was skipped, are faults of the caller.
    EXPECT_THROW(block.Text(element_record::description), std::out_of_range);
    if (reserved == Reserved::kSkip) {
      EXPECT_THROW(block.Get(position_record::reserved580), std::out_of_range);
    }
    full.assign(300, 'x');
    std::strcpy(detail.catalogue, "KNR");
  }
  EXPECT_EQ(WalkRecord(IMP_TOKEN_PROGRESS, &position, slots, Reserved::kRead).layout, nullptr);
}

}  // namespace
}  // namespace impwalk
