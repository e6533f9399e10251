// Estimate and element records from whole imports: what each key line
// changes in the record of a section without keys.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

using namespace imp_test;

constexpr int32_t EL = IMP_TOKEN_ELEMENT;

TEST(EstimateRecord, KeyLines) {
  using R = EstimateRecord;
  ExpectKeyLines<R>(IMP_TOKEN_ESTIMATE, "[Kosztorys]", {
      {"levels 3", {"Liczba poziom\xF3w=3"}, [](R& r) { r.lastLevelIndex = 2; }},
      {"levels without value", {"Liczba poziom\xF3w="}, [](R& r) { r.lastLevelIndex = -1; }},
      {"remarks start with digits", {"Uwagi=12abc"}, [](R& r) { r.remarks = 12; }},
      {"keys of other sections", {"Opis=x", "Obmiar=3", "Typ=R"}, [](R&) {}},
      {"name, Windows-1250 bytes kept", {"Nazwa=Dom \xB3\xF3\x9C"},
       [](R& r) { SetText(r.name, "Dom \xB3\xF3\x9C"); }},
      {"name: first field only, last line wins", {"Nazwa=A\tB", "Nazwa=C\tD"},
       [](R& r) { SetText(r.name, "C"); }},
      // An empty value writes only the NUL at byte 0.
      {"name with an empty value", {"Nazwa=Dom", "Nazwa="},
       [](R& r) { SetText(r.name, "Dom"); r.name[0] = '\0'; }},
      // A NUL is one of the key's bytes: "Nazwa<NUL>x" is no "Nazwa".
      {"keys holding a NUL", {std::string("Nazwa\0x=Nie", 11), std::string("Uwagi\0=5", 8)},
       [](R&) {}},
  });
}

TEST(ElementRecord, Depth) {
  const ElementRecord bare = Import(File({"[Element 1]"})).First<ElementRecord>(EL);
  const std::pair<const char*, int32_t> cases[] = {
      {"[Element 3]", 1}, {"[Element 3.2]", 2}, {"[Element 1.2.3.4.5.6.7.8.9.10.11.12]", 10}};
  for (const auto& c : cases) {
    ElementRecord expected = bare;
    expected.depth = c.second;
    EXPECT_TRUE(SameRecord(Import(File({c.first})).First<ElementRecord>(EL), expected)) << c.first;
  }
  ExpectKeyLines<ElementRecord>(EL, "[Element 1]", {
      {"description without an item", {"Opis=Roboty ziemne", "Uwagi=3"},
       [](ElementRecord& r) { SetText(r.description, "Roboty ziemne"); }},
  });
}

TEST(ElementRecord, QuantityItem) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    char decimalSymbol;
    double quantity;
    std::string unit, description;
  };
  const Case cases[] = {
      {"unit in the second field", {"JM=m2\tm3"}, '.', 0.0, "m3", ""},
      {"quantity only", {"Obmiar=12.5"}, '.', 12.5, "", ""},
      {"quantity with decimal comma", {"Obmiar=12,5", "JM=\tkg"}, ',', 12.5, "kg", ""},
      {"repeated keys overwrite", {"Obmiar=1", "JM=\tt", "Obmiar=2", "JM=\tkg"}, '.', 2.0, "kg", ""},
      {"description beside the item", {"Opis=Stan surowy", "Obmiar=3"}, '.', 3.0, "", "Stan surowy"},
  };
  // "JM" without a value: the element has an item, both at their initial values.
  ElementRecord bare;
  QuantityItem bareItem;
  {
    const Import bareImport(File({"[Element 2.1]", "JM="}));
    bare = bareImport.First<ElementRecord>(EL);
    ASSERT_NE(Follow<QuantityItem>(bare.quantityItems), nullptr);
    bareItem = *Follow<QuantityItem>(bare.quantityItems);
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Import import(File({"[Element 2.1]"}, c.decimalSymbol) + Lines(c.lines));
    const ElementRecord actual = import.First<ElementRecord>(EL);
    const QuantityItem* item = Follow<QuantityItem>(actual.quantityItems);
    ASSERT_NE(item, nullptr);
    ElementRecord expected = bare;
    expected.quantityItems = actual.quantityItems;
    SetText(expected.description, c.description);
    EXPECT_TRUE(SameRecord(actual, expected));
    QuantityItem expectedItem = bareItem;
    expectedItem.quantity = c.quantity;
    SetText(expectedItem.unit, c.unit);
    EXPECT_TRUE(SameRecord(*item, expectedItem));
  }
}

}  // namespace
