// Estimate and element records from whole imports, byte by byte.
#include <gtest/gtest.h>

#include <cstdlib>

#include "record_image.h"
#include "test_support.h"

namespace {

using imp_test::Block;
using imp_test::File;
using imp_test::Filler;
using imp_test::Image;
using imp_test::Import;
using imp_test::LongText;
using imp_test::SameBytes;

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
      {"levels: only field 0 counts", {"Liczba poziom\xF3w=3\t7"}, 2, 0, ""},
      {"levels without value", {"Liczba poziom\xF3w="}, -1, 0, ""},
      {"levels with empty field 0", {"Liczba poziom\xF3w=\t5"}, -1, 0, ""},
      {"levels not a number", {"Liczba poziom\xF3w=abc"}, -1, 0, ""},
      {"levels written twice", {"Liczba poziom\xF3w=4", "Liczba poziom\xF3w=2"}, 1, 0, ""},
      {"levels key in UTF-8 is unknown", {"Liczba poziom\xC3\xB3w=3"}, 0, 0, ""},
      {"levels key in lower case", {"liczba poziom\xF3w=3"}, 0, 0, ""},
      {"levels key with a blank before '='", {"Liczba poziom\xF3w =3"}, 0, 0, ""},
      {"remarks start with digits", {"Uwagi=12abc"}, 0, 12, ""},
      {"remarks of words", {"Uwagi=bez uwag"}, 0, 0, ""},
      {"remarks negative", {"Uwagi=-7"}, 0, -7, ""},
      {"keys of other sections", {"Opis=x", "Obmiar=3", "Typ=R"}, 0, 0, ""},
      {"name, Windows-1250 bytes kept", {"Nazwa=Dom \xB3\xF3\x9C"}, 0, 0, "Dom \xB3\xF3\x9C"},
      {"name: first field only, last line wins", {"Nazwa=A\tB", "Nazwa=C\tD"}, 0, 0, "C"},
      // An empty value writes only the NUL at byte 0.
      {"name with an empty value", {"Nazwa=Dom", "Nazwa="}, 0, 0, std::string("\0om", 3)},
      {"all three", {"Uwagi=5", "Nazwa=Hala", "Liczba poziom\xF3w=1"}, 0, 5, "Hala"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string file = File({"[Kosztorys]"});
    for (const auto& line : c.lines) file += line + "\n";
    Import import(file + "[Element 1]\n");
    ASSERT_EQ(import.OfType(IMP_TOKEN_ESTIMATE).size(), 1u);
    // The element after it shows that the section ended at its header.
    ASSERT_EQ(import.OfType(IMP_TOKEN_ELEMENT).size(), 1u);
    Image expected = InitialEstimate();
    expected.Int(260, c.lastLevelIndex).Int(264, c.remarks).Text(4, c.title);
    EXPECT_TRUE(SameBytes(*import.OfType(IMP_TOKEN_ESTIMATE)[0], expected));
  }
}

TEST(EstimateRecord, NameLengths) {
  // 0..250 bytes stand whole, 251 with a zero slot (also after a cut name),
  // 252..255 run into the slot, 256 and more are cut to 251 with the slot
  // pointing to the whole. The last "Nazwa" line counts.
  const std::vector<size_t> cases[] = {{250}, {251}, {252}, {255},     {256},
                                       {300}, {9000}, {300, 251}, {251, 300}};
  for (const auto& lengths : cases) {
    SCOPED_TRACE(testing::PrintToString(lengths));
    std::string file = File({"[Kosztorys]"});
    for (size_t length : lengths) file += "Nazwa=" + Filler(length) + "\n";
    Import import(file);
    ASSERT_EQ(import.OfType(IMP_TOKEN_ESTIMATE).size(), 1u);
    const auto& token = *import.OfType(IMP_TOKEN_ESTIMATE)[0];
    const std::string name = Filler(lengths.back());
    Image expected = InitialEstimate();
    if (name.size() < 256) {
      expected.Text(4, name);
      EXPECT_EQ(LongText(token.As<EstimateRecord>().name, 256), "");
    } else {
      expected.Text(4, name.substr(0, 251));
      expected.Slot(256, token.bytes.data());
      EXPECT_EQ(LongText(token.As<EstimateRecord>().name, 256), name);
    }
    EXPECT_TRUE(SameBytes(token, expected));
  }
}

TEST(ElementRecord, DepthAndInitialValues) {
  const std::pair<const char*, int32_t> cases[] = {
      {"[Element 3]", 1},       {"[Element 3.2]", 2}, {"[Element 1.2.3]", 3},
      {"[Element 1.2.3.4.5.6.7.8.9.10.11.12]", 10}, {"[Element ]", 1},
      {"[Element 1..2]", 3},
  };
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
      {"unit line with one field", {"JM=m2"}, '.', 0.0, "", ""},
      {"unit line without value", {"JM="}, '.', 0.0, "", ""},
      {"quantity only", {"Obmiar=12.5"}, '.', 12.5, "", ""},
      {"quantity with decimal comma", {"Obmiar=12,5", "JM=\tkg"}, ',', 12.5, "kg", ""},
      {"comma without the comma symbol", {"Obmiar=12,5"}, '.', 12.0, "", ""},
      {"quantity not a number", {"Obmiar=abc"}, '.', 0.0, "", ""},
      {"repeated keys overwrite", {"Obmiar=1", "JM=\tt", "Obmiar=2", "JM=\tkg"}, '.', 2.0, "kg", ""},
      {"unit of 27 bytes is whole", {"JM=\t" + Filler(27)}, '.', 0.0, Filler(27), ""},
      {"description beside the item", {"Opis=Stan surowy", "Obmiar=3"}, '.', 3.0, "", "Stan surowy"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string file = File({"[Element 2.1]"}, c.decimalSymbol);
    for (const auto& line : c.lines) file += line + "\n";
    Import import(file);
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

TEST(ElementRecord, EachElementKeepsItsOwnItem) {
  Import import(File({"[Element 1]", "Obmiar=2.5", "JM=a\tm", "[Element 2]", "JM=\tkg",
                      "[Element 3]", "Obmiar=4", "[Element 4]"}));
  const auto elements = import.OfType(IMP_TOKEN_ELEMENT);
  ASSERT_EQ(elements.size(), 4u);
  // Followed only now, after the whole file was read and delivered.
  const std::pair<double, std::string> items[] = {{2.5, "m"}, {0.0, "kg"}, {4.0, ""}};
  std::vector<const unsigned char*> blocks;
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(elements[i]->Int(264), 1);
    const unsigned char* item = Block(*elements[i], 272);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(SameBytes(item, 296, Image(296).Double(0, items[i].first).Text(8, items[i].second)));
    for (const unsigned char* other : blocks) EXPECT_GE(std::abs(item - other), 296);
    blocks.push_back(item);
  }
  EXPECT_EQ(elements[3]->Int(264), 0);
  EXPECT_EQ(elements[3]->Int(272), 0);
}

TEST(ElementRecord, LongUnitAndDescription) {
  const std::string unit = Filler(40), description = Filler(300);
  Import import(File({"[Element 1]", "JM=m\t" + unit + "\tx", "Opis=" + description}));
  ASSERT_EQ(import.OfType(IMP_TOKEN_ELEMENT).size(), 1u);
  const auto& token = *import.OfType(IMP_TOKEN_ELEMENT)[0];
  Image expected = InitialElement(1);
  expected.Int(264, 1).Text(4, description.substr(0, 251));
  expected.Slot(256, token.bytes.data());
  expected.Slot(272, token.bytes.data());
  EXPECT_TRUE(SameBytes(token, expected));
  EXPECT_EQ(LongText(token.As<ElementRecord>().description, 256), description);

  const unsigned char* item = Block(token, 272);
  ASSERT_NE(item, nullptr);
  Image itemExpected(296);
  itemExpected.Text(8, unit.substr(0, 27));
  itemExpected.Slot(36, item);
  EXPECT_TRUE(SameBytes(item, 296, itemExpected));
  EXPECT_EQ(LongText(reinterpret_cast<const char*>(item + 8), 32), unit);
}

}  // namespace
