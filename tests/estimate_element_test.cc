// Estimate and element records from whole imports, byte by byte.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

using namespace imp_test;

// The estimate record as its initial values leave it.
Image InitialEstimate() {
  Image i(824);
  i.Int(0, 12).Int(268, 1).Int(292, -1, 6).Int(336, 296).Int(344, -1, 6).Int(368, 1);
  i.Int(372, -1, 8).Int(440, -1).Int(456, -1).Double(464, -1.0).Int(472, -1, 7);
  i.Int(756, -1, 8).Int(792, 32).Int(800, -1, 3).Int(816, -1);
  return i;
}

Image InitialElement(int32_t depth) {
  Image i(528);
  i.Int(0, 6).Int(260, depth).Int(268, 296).Int(384, 0x7FFFFFFF);
  return i;
}

TEST(EstimateRecord, KeyLines) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    int32_t lastLevelIndex;
    int32_t remarks;
    std::string title;
  };
  const Case cases[] = {
      {"no keys: initial values only", {}, 0, 0, ""},
      {"levels 3", {"Liczba poziom\xF3w=3"}, 2, 0, ""},
      {"levels without value", {"Liczba poziom\xF3w="}, -1, 0, ""},
      {"remarks start with digits", {"Uwagi=12abc"}, 0, 12, ""},
      {"keys of other sections", {"Opis=x", "Obmiar=3", "Typ=R"}, 0, 0, ""},
      {"name, Windows-1250 bytes kept", {"Nazwa=Dom \xB3\xF3\x9C"}, 0, 0, "Dom \xB3\xF3\x9C"},
      {"name: first field only, last line wins", {"Nazwa=A\tB", "Nazwa=C\tD"}, 0, 0, "C"},
      // An empty value writes only the NUL at byte 0.
      {"name with an empty value", {"Nazwa=Dom", "Nazwa="}, 0, 0, std::string("\0om", 3)},
      // A NUL is one of the key's bytes: "Nazwa<NUL>x" is no "Nazwa".
      {"keys holding a NUL", {std::string("Nazwa\0x=Nie", 11), std::string("Uwagi\0=5", 8)}, 0, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Import import(File({"[Kosztorys]"}) + Lines(c.lines) + "[Element 1]\n");
    ASSERT_EQ(import.OfType(IMP_TOKEN_ESTIMATE).size(), 1u);
    // The element after it shows that the section ended at its header.
    ASSERT_EQ(import.OfType(IMP_TOKEN_ELEMENT).size(), 1u);
    Image expected = InitialEstimate();
    expected.Int(260, c.lastLevelIndex).Int(264, c.remarks).Text(4, c.title);
    EXPECT_TRUE(SameBytes(*import.OfType(IMP_TOKEN_ESTIMATE)[0], expected));
  }
}

TEST(ElementRecord, DepthAndInitialValues) {
  const std::pair<const char*, int32_t> cases[] = {
      {"[Element 3]", 1}, {"[Element 3.2]", 2}, {"[Element 1.2.3.4.5.6.7.8.9.10.11.12]", 10}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    Import import(File({c.first, "[Element 9]"}));
    const auto elements = import.OfType(IMP_TOKEN_ELEMENT);
    ASSERT_EQ(elements.size(), 2u);
    EXPECT_TRUE(SameBytes(*elements[0], InitialElement(c.second)));
    EXPECT_TRUE(SameBytes(*elements[1], InitialElement(1)));
  }
}

TEST(ElementRecord, QuantityItem) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    char decimalSymbol;
    double quantity;
    std::string unit;
    std::string description;
  };
  const Case cases[] = {
      {"unit in the second field", {"JM=m2\tm3"}, '.', 0.0, "m3", ""},
      {"unit line without value", {"JM="}, '.', 0.0, "", ""},
      {"quantity only", {"Obmiar=12.5"}, '.', 12.5, "", ""},
      {"quantity with decimal comma", {"Obmiar=12,5", "JM=\tkg"}, ',', 12.5, "kg", ""},
      {"repeated keys overwrite", {"Obmiar=1", "JM=\tt", "Obmiar=2", "JM=\tkg"}, '.', 2.0, "kg", ""},
      {"description beside the item", {"Opis=Stan surowy", "Obmiar=3"}, '.', 3.0, "", "Stan surowy"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Import import(File({"[Element 2.1]"}, c.decimalSymbol) + Lines(c.lines));
    ASSERT_EQ(import.OfType(IMP_TOKEN_ELEMENT).size(), 1u);
    const auto& token = *import.OfType(IMP_TOKEN_ELEMENT)[0];
    Image expected = InitialElement(2);
    expected.Int(264, 1).Text(4, c.description);
    expected.Slot(272, token.bytes.data());
    EXPECT_TRUE(SameBytes(token, expected));
    const unsigned char* item = Block(token, 272);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(SameBytes(item, 296, Image(296).Double(0, c.quantity).Text(8, c.unit)));
  }
}

TEST(ElementRecord, DescriptionWithoutItem) {
  Import import(File({"[Element 1]", "Opis=Roboty ziemne", "Uwagi=3"}));
  ASSERT_EQ(import.OfType(IMP_TOKEN_ELEMENT).size(), 1u);
  EXPECT_TRUE(SameBytes(*import.OfType(IMP_TOKEN_ELEMENT)[0],
                        InitialElement(1).Text(4, "Roboty ziemne")));
}

}  // namespace
