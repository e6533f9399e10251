// Hand-made records for what the samples' expected output cannot show: texts
// without a NUL, slots that point nowhere, damaged item counts, letter codes
// out of the ordinary, numbers JSON has none for, and reserved bytes.
#include "record_json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace impdump {
namespace {

// Blocks that hand-made records point to, under made-up slot values; any
// other slot points nowhere.
class FakeMemory {
 public:
  imp_slot Add(const void* block) {
    next_ += 0x100;
    blocks_[next_] = block;
    return next_;
  }
  SlotReader Reader() const {
    return [this](imp_slot slot) -> const void* {
      auto it = blocks_.find(slot);
      return it == blocks_.end() ? nullptr : it->second;
    };
  }

 private:
  imp_slot next_ = 0x10000;
  std::map<imp_slot, const void*> blocks_;
};

constexpr imp_slot kNowhere = 0xDEAD00;

Json Convert(int32_t type, const void* record, const FakeMemory& memory, bool all = false) {
  JsonOptions options;
  options.all = all;
  return RecordToJson(type, record, memory.Reader(), options);
}

TEST(RecordToJson, LongTextRuleByTextLength) {
  // indexCode is a 32-byte field: only a text of exactly 27 bytes carries a
  // slot; bytes after a shorter text are left over and mean nothing.
  FakeMemory memory;
  const std::string full(40, 'F');
  const imp_slot slot = memory.Add(full.c_str());
  struct Case { std::size_t length; imp_slot slot; std::string shown; };
  const Case cases[] = {
      {26, slot, std::string(26, 'a')},     {27, 0, std::string(27, 'a')},
      {27, slot, full},                     {27, kNowhere, std::string(27, 'a')},
      {30, 0, std::string(30, 'a')},
      {32, 0, std::string(32, 'a')},  // no NUL at all: the field ends it
  };
  for (const Case& c : cases) {
    ResourceRecord resource{};
    std::memset(resource.indexCode, 'a', c.length);
    if (c.length < 32) resource.indexCode[c.length] = '\0';
    if (c.slot) std::memcpy(resource.indexCode + 28, &c.slot, 4);
    Json json = Convert(IMP_TOKEN_RESOURCE, &resource, memory);
    EXPECT_EQ(json["indexCode"], c.shown) << c.length;
    EXPECT_EQ(json.contains("indexCodeCut"), c.shown == full) << c.length;
  }
}

TEST(RecordToJson, SlotsFollowedOnlyWhenTheyLeadSomewhereSensible) {
  FakeMemory memory;
  CostItem items[2] = {};
  const imp_slot slot = memory.Add(items);
  struct Case { imp_slot items; int32_t count, size; Json shown; };
  const Case cases[] = {
      {slot, 0, 256, Json::array()},
      {kNowhere, 2, 256, nullptr},
      {slot, 2, 100, "cannot follow: 2 items of 100 bytes"},
      {slot, -1, 256, "cannot follow: -1 items of 256 bytes"},
      {slot, 4097, 256, "cannot follow: 4097 items of 256 bytes"},
      {slot, 2, -256, "cannot follow: 2 items of -256 bytes"},
  };
  for (const Case& c : cases) {
    SummaryRecord summary{IMP_TAG_SUMMARY, 1, c.count, c.items, c.size};
    EXPECT_EQ(Convert(IMP_TOKEN_SUMMARY, &summary, memory)["items"], c.shown)
        << c.count << " " << c.size;
  }
  PositionRecord position{};
  position.catalogueDetail = kNowhere;
  EXPECT_EQ(Convert(IMP_TOKEN_POSITION, &position, memory)["catalogueDetail"], nullptr);
}

TEST(RecordToJson, LetterCodes) {
  FakeMemory memory;
  ResourceRecord resource{};
  const std::pair<int32_t, Json> kinds[] = {
      {0, nullptr}, {'A', "A"}, {0xB3, "ł"}, {0x98, "\xEF\xBF\xBD"}, {300, 300}, {-1, -1}};
  for (const auto& kind : kinds) {
    resource.kind = kind.first;
    EXPECT_EQ(Convert(IMP_TOKEN_RESOURCE, &resource, memory)["kind"], kind.second) << kind.first;
  }
}

// Doubles JSON cannot hold as numbers are strings; nlohmann would write null.
TEST(RecordToJson, NonFiniteNumbersAreNamed) {
  FakeMemory memory;
  PositionRecord position{};
  position.quantity = std::numeric_limits<double>::infinity();
  position.multiplicity = std::nan("");
  position.price = -std::numeric_limits<double>::infinity();
  Json json = Convert(IMP_TOKEN_POSITION, &position, memory);
  EXPECT_EQ(json["quantity"], "Infinity");
  EXPECT_EQ(json["multiplicity"], "NaN");
  EXPECT_EQ(json["price"], "-Infinity");
  EstimateRecord estimate{};
  estimate.reserved464 = std::nan("");
  EXPECT_EQ(Convert(IMP_TOKEN_ESTIMATE, &estimate, memory, true)["reserved464"], "NaN");
}

// Reserved byte ranges show in hex, in the order of their bytes; their
// other forms, and every key in the header's order, are pinned by the
// golden --all outputs.
TEST(RecordToJson, ReservedBytesInHex) {
  FakeMemory memory;
  EstimateRecord estimate{};
  estimate.reserved272[0] = 0xAB;
  estimate.reserved272[19] = 0x01;
  EXPECT_EQ(Convert(IMP_TOKEN_ESTIMATE, &estimate, memory, true)["reserved272"],
            "ab" + std::string(36, '0') + "01");
}

}  // namespace
}  // namespace impdump
