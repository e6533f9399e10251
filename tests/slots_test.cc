// Every 4-byte slot of a delivered record leads to its own block. A 64-bit
// build must keep these blocks below 4 GiB for the slot to hold the whole
// address; a 32-bit build runs the same checks on ordinary heap addresses.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

using namespace imp_test;

TEST(Slots, EverySlotLeadsToItsBlock) {
  const std::string name = Filler(300, 'a'), elementText = Filler(260, 'b'),
                    elementUnit = Filler(40, 'c'), positionText = Filler(400, 'd'),
                    unit = Filler(32, 'e'), secondUnit = Filler(33, 'f'),
                    measurement = Filler(256, 'g'), comment = Filler(500, 'h'),
                    column = "0101-" + Filler(300, 'i'), resourceName = Filler(128, 'j'),
                    index = Filler(32, 'k'), resourceUnit = Filler(50, 'l'),
                    consumption = "2" + Filler(299, 'm');
  Import import(File({"[Kosztorys]", "Nazwa=" + name, "[Element 1]", "Opis=" + elementText,
                      "JM=x\t" + elementUnit, "Obmiar=2", "[Element 2]", "JM=\tkg",
                      "[Pozycja 1]", "Katalog=KNR", "Kolumna=0202-0101-02", "Opis=" + positionText,
                      "JM=" + unit + "\t" + secondUnit, "Przedmiar 1=" + measurement,
                      "Komentarz 1=" + comment, "[Pozycja 2]", "Katalog=KNR", "Kolumna=" + column,
                      "[RMS 1]", "Typ=S", "Nazwa=" + resourceName, "Indeks=" + index,
                      "JM=" + resourceUnit, "Tarvo=" + consumption,
                      "Koszty po\x9Crednie=5"}));
  ASSERT_EQ(import.Types(), (std::vector<int32_t>{2, 6, 3, 3, 4, 12, 4, 5}));

  // Long texts: token type, which of that type, field offset and size.
  struct LongField { int32_t type; size_t which, offset, size; const std::string& full; };
  const LongField fields[] = {
      {IMP_TOKEN_ESTIMATE, 0, 4, 256, name},
      {IMP_TOKEN_ELEMENT, 0, 4, 256, elementText},
      {IMP_TOKEN_POSITION, 0, 324, 256, positionText},
      {IMP_TOKEN_POSITION, 0, 836, 32, unit},
      {IMP_TOKEN_POSITION, 0, 868, 32, secondUnit},
      {IMP_TOKEN_MEASUREMENT_LINE, 0, 8, 256, comment},
      {IMP_TOKEN_MEASUREMENT_LINE, 0, 264, 256, measurement},
      {IMP_TOKEN_RESOURCE, 0, 8, 128, resourceName},
      {IMP_TOKEN_RESOURCE, 0, 136, 32, index},
      {IMP_TOKEN_RESOURCE, 0, 172, 32, resourceUnit},
      {IMP_TOKEN_RESOURCE, 0, 420, 256, consumption},
  };
  std::vector<const unsigned char*> texts;
  for (const LongField& f : fields) {
    SCOPED_TRACE(f.full.substr(0, 3));
    const auto tokens = import.OfType(f.type);
    ASSERT_GT(tokens.size(), f.which);
    const unsigned char* record = tokens[f.which]->bytes.data();
    EXPECT_EQ(TextAt(record, f.offset), f.full.substr(0, f.size - 5));
    EXPECT_EQ(LongText(reinterpret_cast<const char*>(record + f.offset), f.size), f.full);
    texts.push_back(Block(record, f.offset + f.size - 4));
  }
  for (size_t i = 0; i < texts.size(); ++i) {
    for (size_t j = 0; j < i; ++j) EXPECT_NE(texts[i], texts[j]);
  }

  // Blocks: quantity items, catalogue details, cost items.
  const auto elements = import.OfType(IMP_TOKEN_ELEMENT);
  ASSERT_EQ(elements.size(), 2u);
  const unsigned char* item1 = Block(*elements[0], 272);
  const unsigned char* item2 = Block(*elements[1], 272);
  ASSERT_TRUE(item1 != nullptr && item2 != nullptr);
  EXPECT_NE(item1, item2);
  double quantity;
  std::memcpy(&quantity, item1, 8);
  EXPECT_EQ(quantity, 2.0);
  EXPECT_EQ(LongText(reinterpret_cast<const char*>(item1 + 8), 32), elementUnit);
  EXPECT_EQ(TextAt(item2, 8), "kg");

  const auto positions = import.OfType(IMP_TOKEN_POSITION);
  ASSERT_EQ(positions.size(), 2u);
  const unsigned char* detail1 = Block(*positions[0], 1428);
  const unsigned char* detail2 = Block(*positions[1], 1428);
  ASSERT_TRUE(detail1 != nullptr && detail2 != nullptr);
  EXPECT_EQ(TextAt(detail1, 68) + "|" + TextAt(detail1, 132) + "|" + TextAt(detail1, 196),
            "KNR|2-02|0101-02");
  EXPECT_EQ(TextAt(detail2, 196), column.substr(5, 246));
  EXPECT_EQ(positions[1]->Text(4), "KNR 1-01 " + column.substr(5, 246));
  const unsigned char* fullColumn = Block(detail2, 196 + 252);
  ASSERT_NE(fullColumn, nullptr);
  EXPECT_EQ(TextAt(fullColumn, 0), column);

  const auto summaries = import.OfType(IMP_TOKEN_SUMMARY);
  ASSERT_EQ(summaries.size(), 1u);
  const unsigned char* costItems = Block(*summaries[0], 12);
  ASSERT_NE(costItems, nullptr);
  EXPECT_EQ(TextAt(costItems, 0), "Koszty po\x9Crednie");
  EXPECT_EQ(TextAt(costItems, 256), "Koszty po\x9Crednie S");
  double rate;
  std::memcpy(&rate, costItems + 256 + 64, 8);
  EXPECT_EQ(rate, 5.0);
}

}  // namespace
