// Every text field a host reads, read as the header tells hosts to: the
// full text through IMP_LONG_TEXT where there is one, else the field. For
// values just below, at and beyond each field's size, that must give the
// value the file holds; the full texts live in blocks below 4 GiB, so a
// 64-bit build that lost an address's upper half would read elsewhere.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "test_support.h"

namespace {

using namespace imp_test;

// The whole text of a field as a host reads it.
std::string HostText(const char* field, size_t size) {
  const char* full = IMP_LONG_TEXT(field, size);
  return full ? full : field;
}
#define HOST_TEXT(field) HostText((field), sizeof(field))

struct Field {
  const char* name;
  size_t size;
  int32_t type;
  std::vector<std::string> lines;  // the value follows the last one
  // The field's whole text, read from the first record of `type`.
  std::function<std::string(const Token& record)> read;
};

#define FIELD(Record, member, type, ...)                             \
  Field {                                                            \
    #Record "." #member, sizeof(Record::member), type, {__VA_ARGS__}, \
        [](const Token& t) { return HOST_TEXT(t.As<Record>().member); } \
  }

TEST(TextFields, EveryFieldGivesTheWholeValueThroughIMP_LONG_TEXT) {
  const Field fields[] = {
      FIELD(EstimateRecord, name, IMP_TOKEN_ESTIMATE, "[Kosztorys]", "Nazwa="),
      FIELD(ElementRecord, description, IMP_TOKEN_ELEMENT, "[Element 1]", "Opis="),
      {"QuantityItem.unit", sizeof(QuantityItem::unit), IMP_TOKEN_ELEMENT, {"[Element 1]", "JM=1\t"},
       [](const Token& t) {
         return HOST_TEXT(Follow<QuantityItem>(t.As<ElementRecord>().quantityItems)->unit);
       }},
      FIELD(PositionRecord, description, IMP_TOKEN_POSITION, "[Pozycja 1]", "Opis="),
      FIELD(PositionRecord, unit, IMP_TOKEN_POSITION, "[Pozycja 1]", "JM="),
      FIELD(PositionRecord, secondUnit, IMP_TOKEN_POSITION, "[Pozycja 1]", "JM=m\t"),
      FIELD(MeasurementLineRecord, measurement, IMP_TOKEN_MEASUREMENT_LINE, "[Pozycja 1]", "Przedmiar 1="),
      FIELD(MeasurementLineRecord, comment, IMP_TOKEN_MEASUREMENT_LINE, "[Pozycja 1]", "Komentarz 1="),
      FIELD(ResourceRecord, name, IMP_TOKEN_RESOURCE, "[RMS 1]", "Typ=M", "Nazwa="),
      FIELD(ResourceRecord, indexCode, IMP_TOKEN_RESOURCE, "[RMS 1]", "Typ=M", "Indeks="),
      FIELD(ResourceRecord, unit, IMP_TOKEN_RESOURCE, "[RMS 1]", "Typ=M", "JM="),
      FIELD(ResourceRecord, consumptionText, IMP_TOKEN_RESOURCE, "[RMS 1]", "Typ=M", "Tarvo="),
  };
  for (const Field& field : fields) {
    // 251 bytes of 256 stand whole with a 0 slot; 252 to 255 fill the
    // slot's bytes with text; 256 and more are cut.
    for (size_t length : {field.size - 6, field.size - 5, field.size - 4, field.size - 1,
                          field.size, field.size + 1, field.size + 300}) {
      SCOPED_TRACE(std::string(field.name) + ", " + std::to_string(length) + " bytes");
      // Windows-1250 letters, and digits first so that "Tarvo" reads as a number.
      const std::string value = "1\xB3\xF3\xBF" + Filler(length - 4);
      std::vector<std::string> lines = field.lines;
      lines.back() += value;
      const Import import(File(lines));
      const auto records = import.OfType(field.type);
      ASSERT_FALSE(records.empty());
      EXPECT_EQ(field.read(*records.front()), value);
    }
  }
}

// Texts the module builds itself have no full text behind them: read as
// hosts read every field, they give the text that stands in the field.
TEST(TextFields, BuiltTextsReadAsTheyStand) {
  // A basis of 63 + 1 + 251 bytes: catalogueReference holds 315 of its 320.
  const Import import(File({"[Pozycja 1]", "Katalog=" + Filler(63, 'k'), "Kolumna=" + Filler(251, 'c')}));
  const auto& position = import.OfType(IMP_TOKEN_POSITION).front()->As<PositionRecord>();
  EXPECT_EQ(HOST_TEXT(position.catalogueReference), Filler(63, 'k') + " " + Filler(251, 'c'));
  const Import knr(File({"[Pozycja 1]", "Katalog=KNR", "Kolumna=0202-" + Filler(300, 'c')}));
  const auto& knrPosition = knr.OfType(IMP_TOKEN_POSITION).front()->As<PositionRecord>();
  const auto* detail = Follow<CatalogueDetail>(knrPosition.catalogueDetail);
  ASSERT_NE(detail, nullptr);
  EXPECT_EQ(HOST_TEXT(detail->catalogueNumber), "2-02");
  // The column was cut to 251 bytes, then lost its first five: 246 stand.
  EXPECT_EQ(HOST_TEXT(detail->tableColumn), Filler(246, 'c'));
  const auto& summary = knr.OfType(IMP_TOKEN_SUMMARY).front()->As<SummaryRecord>();
  EXPECT_EQ(HOST_TEXT(Follow<CostItem>(summary.items)[0].name), "Koszty po\x9Crednie");
}

}  // namespace
