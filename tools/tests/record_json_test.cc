#include "record_json.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace impdump {
namespace {

// Blocks that hand-made records point to, under made-up slot values.
class FakeMemory {
 public:
  imp_slot Add(const void* block) {
    imp_slot slot = next_;
    next_ += 0x100;
    blocks_[slot] = block;
    return slot;
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

void PutSlot(char* at, imp_slot slot) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<char>(slot >> (8 * i));
}

// Fills a field of `size` bytes the way the module cuts a long text.
void PutCutText(char* field, std::size_t size, const std::string& full, imp_slot slot) {
  std::memcpy(field, full.data(), size - 5);
  field[size - 5] = '\0';
  PutSlot(field + size - 4, slot);
}

Json Convert(int32_t type, const void* record, const FakeMemory& memory, bool all = false) {
  JsonOptions options;
  options.all = all;
  return RecordToJson(type, record, memory.Reader(), options);
}

TEST(RecordToJson, ElementFollowsItsQuantityItemAndCutDescription) {
  FakeMemory memory;
  std::string full = "Roboty rozbi\xF3rkowe: " + std::string(300, 'x');
  QuantityItem item{};
  item.quantity = 12.5;
  std::strcpy(item.unit, "m2");
  ElementRecord element{};
  element.recordTag = IMP_TAG_ELEMENT;
  PutCutText(element.description, sizeof element.description, full, memory.Add(full.c_str()));
  element.depth = 2;
  element.quantityCount = 1;
  element.quantityItemSize = sizeof(QuantityItem);
  element.quantityItems = memory.Add(&item);

  Json expected = {{"token", 3},
                   {"record", "ElementRecord"},
                   {"recordTag", 6},
                   {"description", "Roboty rozbiórkowe: " + std::string(300, 'x')},
                   {"descriptionCut", true},
                   {"depth", 2},
                   {"quantityCount", 1},
                   {"quantityItemSize", 296},
                   {"quantityItems", Json::array({{{"quantity", 12.5}, {"unit", "m2"}}})}};
  EXPECT_EQ(Convert(IMP_TOKEN_ELEMENT, &element, memory), expected);

  element.quantityCount = 0;
  element.quantityItems = 0;
  EXPECT_EQ(Convert(IMP_TOKEN_ELEMENT, &element, memory)["quantityItems"], nullptr);
}

TEST(RecordToJson, LongTextRuleByTextLength) {
  // indexCode is a 32-byte field: only a text of exactly 27 bytes carries a
  // slot; bytes after a shorter text are left over and mean nothing.
  FakeMemory memory;
  std::string full(40, 'F');
  imp_slot slot = memory.Add(full.c_str());
  struct Case {
    std::size_t length;
    imp_slot slot;
    std::string shown;
    bool cut;
  };
  const Case cases[] = {
      {26, slot, std::string(26, 'a'), false},
      {27, 0, std::string(27, 'a'), false},
      {27, slot, full, true},
      {30, 0, std::string(30, 'a'), false},
      {32, 0, std::string(32, 'a'), false},  // no NUL at all: the field ends it
  };
  for (const Case& c : cases) {
    ResourceRecord resource{};
    std::memset(resource.indexCode, 'a', c.length);
    if (c.length < 32) resource.indexCode[c.length] = '\0';
    if (c.slot) PutSlot(resource.indexCode + 28, c.slot);
    Json json = Convert(IMP_TOKEN_RESOURCE, &resource, memory);
    EXPECT_EQ(json["indexCode"], c.shown) << c.length;
    EXPECT_EQ(json.contains("indexCodeCut"), c.cut) << c.length;
  }
}

TEST(RecordToJson, ResourceShowsKindLetterAndNumbers) {
  FakeMemory memory;
  ResourceRecord resource{};
  resource.recordTag = IMP_TAG_RESOURCE;
  resource.kind = IMP_KIND_MATERIAL;
  std::strcpy(resource.name, "Cement portlandzki CEM I 42,5R \x9C" "redni");
  std::strcpy(resource.indexCode, "1904-99");
  std::strcpy(resource.unit, "t");
  resource.consumption = 0.1 + 0.2;  // must print so that it reads back equal
  resource.price = 450.0;
  resource.investorQuantityMatches = 1;
  resource.fixedInput = 0;
  resource.includeInAuxiliaryMaterials = 1;
  std::strcpy(resource.consumptionText, "0.25*1.2");

  Json json = Convert(IMP_TOKEN_RESOURCE, &resource, memory);
  EXPECT_EQ(json.dump(),
            "{\"token\":5,\"record\":\"ResourceRecord\",\"recordTag\":7,\"kind\":\"M\","
            "\"name\":\"Cement portlandzki CEM I 42,5R średni\",\"indexCode\":\"1904-99\","
            "\"unit\":\"t\",\"consumption\":0.30000000000000004,\"price\":450.0,"
            "\"investorQuantityMatches\":1,\"fixedInput\":0,"
            "\"includeInAuxiliaryMaterials\":1,\"consumptionText\":\"0.25*1.2\"}");
  EXPECT_EQ(Json::parse(json.dump())["consumption"].get<double>(), 0.1 + 0.2);

  const std::pair<int32_t, Json> kinds[] = {
      {0, nullptr}, {'A', "A"}, {0xB3, "ł"}, {0x98, "\xEF\xBF\xBD"}, {300, 300}, {-1, -1}};
  for (const auto& kind : kinds) {
    resource.kind = kind.first;
    EXPECT_EQ(Convert(IMP_TOKEN_RESOURCE, &resource, memory)["kind"], kind.second) << kind.first;
  }
}

TEST(RecordToJson, SummaryFollowsItsCostItems) {
  FakeMemory memory;
  CostItem items[3] = {};
  std::strcpy(items[0].name, "Koszty po\x9Crednie");
  items[0].rate = 65.0;
  items[0].labourBasis = IMP_BASIS_APPLIES;
  items[0].equipmentBasis = IMP_BASIS_APPLIES;
  std::strcpy(items[1].name, "Koszty zakupu");
  items[1].rate = 0.0;
  items[1].materialBasis = IMP_BASIS_APPLIES;
  std::strcpy(items[2].name, "Zysk");
  items[2].rate = 12.5;
  items[2].labourBasis = IMP_BASIS_PROFIT_W;
  SummaryRecord summary{IMP_TAG_SUMMARY, 1, 3, memory.Add(items), sizeof(CostItem)};

  Json json = Convert(IMP_TOKEN_SUMMARY, &summary, memory);
  Json expected = Json::parse(R"([
    {"name": "Koszty pośrednie", "rate": 65.0, "labourBasis": "B", "materialBasis": null,
     "equipmentBasis": "B"},
    {"name": "Koszty zakupu", "rate": 0.0, "labourBasis": null, "materialBasis": "B",
     "equipmentBasis": null},
    {"name": "Zysk", "rate": 12.5, "labourBasis": "W", "materialBasis": null,
     "equipmentBasis": null}])");
  EXPECT_EQ(json["items"], expected);
  EXPECT_EQ(json["itemCount"], 3);
  EXPECT_EQ(json["itemSize"], 256);

  summary.itemSize = 100;  // smaller than a CostItem: not followed
  EXPECT_TRUE(Convert(IMP_TOKEN_SUMMARY, &summary, memory)["items"].is_string());
}

TEST(RecordToJson, PositionCatalogueDetailOnlyBehindASlot) {
  FakeMemory memory;
  CatalogueDetail detail{};
  std::strcpy(detail.catalogue, "KNR");
  std::strcpy(detail.catalogueNumber, "4-01");
  std::strcpy(detail.tableColumn, "0712-02");
  PositionRecord position{};
  position.recordTag = IMP_TAG_POSITION;
  std::strcpy(position.catalogueReference, "KNR 4-01 0712-02");
  position.catalogueDetail = memory.Add(&detail);
  position.multiplicity = 1.0;
  position.flags = IMP_POSITION_FLAG_SIMPLIFIED;

  Json json = Convert(IMP_TOKEN_POSITION, &position, memory);
  EXPECT_EQ(json["catalogueDetail"],
            Json::parse(R"({"catalogue":"KNR","catalogueNumber":"4-01","tableColumn":"0712-02"})"));
  EXPECT_EQ(json["flags"], 1);
  EXPECT_EQ(json["multiplicity"].dump(), "1.0");

  position.catalogueDetail = 0;
  EXPECT_EQ(Convert(IMP_TOKEN_POSITION, &position, memory)["catalogueDetail"], nullptr);
}

// The keys name the header's fields in the header's order; reserved ones
// only with --all.
TEST(RecordToJson, KeysFollowTheLayouts) {
  FakeMemory memory;
  std::vector<unsigned char> zeros(IMP_MAX_RECORD_SIZE, 0);
  struct Case {
    int32_t type;
    bool all;
    std::vector<std::string> keys;
  };
  const Case cases[] = {
      {IMP_TOKEN_ESTIMATE, false,
       {"token", "record", "recordTag", "name", "lastLevelIndex", "remarks", "quantityCount",
        "quantityItemSize", "quantityItems"}},
      {IMP_TOKEN_ESTIMATE, true,
       {"token", "record", "recordTag", "name", "lastLevelIndex", "remarks", "reserved268",
        "reserved272", "reserved292", "reserved316", "quantityCount", "quantityItemSize",
        "quantityItems", "reserved344", "reserved368", "reserved372", "reserved404",
        "reserved440", "reserved444", "reserved456", "reserved460", "reserved464",
        "reserved472", "reserved500", "reserved756", "reserved788", "reserved792",
        "reserved796", "reserved800", "reserved812", "reserved816", "reserved820"}},
      {IMP_TOKEN_MEASUREMENT_LINE, false,
       {"token", "record", "recordTag", "entryKind", "comment", "measurement", "lineFlag"}},
      {IMP_TOKEN_MEASUREMENT_LINE, true,
       {"token", "record", "recordTag", "entryKind", "comment", "measurement", "reservedValue",
        "lineFlag", "reserved532"}},
      {IMP_TOKEN_POSITION, false,
       {"token", "record", "recordTag", "catalogueReference", "description", "unit",
        "secondUnit", "quantity", "flags", "price", "multiplicity", "catalogueDetail"}},
      {IMP_TOKEN_SUMMARY, false, {"token", "record", "recordTag", "itemCount", "items", "itemSize"}},
      {99, false, {"token", "record"}},
  };
  for (const Case& c : cases) {
    Json json = Convert(c.type, zeros.data(), memory, c.all);
    std::vector<std::string> keys;
    for (const auto& entry : json.items()) keys.push_back(entry.key());
    EXPECT_EQ(keys, c.keys) << c.type << (c.all ? " --all" : "");
  }
}

TEST(RecordToJson, ReservedFieldsShowTheirValues) {
  FakeMemory memory;
  EstimateRecord estimate{};
  estimate.reserved268 = 1;
  for (int32_t& v : estimate.reserved292) v = -1;
  estimate.reserved272[0] = 0xAB;
  estimate.reserved464 = -1.0;
  Json json = Convert(IMP_TOKEN_ESTIMATE, &estimate, memory, true);
  EXPECT_EQ(json["reserved268"], 1);
  EXPECT_EQ(json["reserved292"], Json::parse("[-1,-1,-1,-1,-1,-1]"));
  EXPECT_EQ(json["reserved272"], "ab" + std::string(38, '0'));
  EXPECT_EQ(json["reserved464"].dump(), "-1.0");
}

TEST(DescriptionToJson, FollowsACutDescription) {
  FakeMemory memory;
  std::string full = "Remont domu jednorodzinnego " + std::string(250, '.');
  char description[256] = {};
  PutCutText(description, sizeof description, full, memory.Add(full.c_str()));
  EXPECT_EQ(DescriptionToJson(description, memory.Reader()),
            Json({{"description", full}, {"descriptionCut", true}}));
  std::strcpy(description, "Kr\xF3tki opis");
  EXPECT_EQ(DescriptionToJson(description, memory.Reader()), Json({{"description", "Krótki opis"}}));
}

}  // namespace
}  // namespace impdump
