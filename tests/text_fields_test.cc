// Every text field a host reads, read as the header tells hosts to: the
// full text through IMP_LONG_TEXT where there is one, else the field. For
// values just below, at and beyond each field's size, that must give the
// value the file holds.
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
  // The file with `value` in the field.
  std::function<std::string(const std::string& value)> file;
  int32_t type;
  // The field's whole text, read from the first record of `type`.
  std::function<std::string(const Token& record)> read;
};

TEST(TextFields, EveryFieldGivesTheWholeValueThroughIMP_LONG_TEXT) {
  const Field fields[] = {
      {"EstimateRecord.name", 256, [](const std::string& v) { return File({"[Kosztorys]", "Nazwa=" + v}); },
       IMP_TOKEN_ESTIMATE, [](const Token& t) { return HOST_TEXT(t.As<EstimateRecord>().name); }},
      {"ElementRecord.description", 256,
       [](const std::string& v) { return File({"[Element 1]", "Opis=" + v}); }, IMP_TOKEN_ELEMENT,
       [](const Token& t) { return HOST_TEXT(t.As<ElementRecord>().description); }},
      {"QuantityItem.unit", 32, [](const std::string& v) { return File({"[Element 1]", "JM=1\t" + v}); },
       IMP_TOKEN_ELEMENT,
       [](const Token& t) {
         const auto* item = static_cast<const QuantityItem*>(
             IMP_SLOT_PTR(t.As<ElementRecord>().quantityItems));
         return HOST_TEXT(item->unit);
       }},
      {"PositionRecord.description", 256,
       [](const std::string& v) { return File({"[Pozycja 1]", "Opis=" + v}); }, IMP_TOKEN_POSITION,
       [](const Token& t) { return HOST_TEXT(t.As<PositionRecord>().description); }},
      {"PositionRecord.unit", 32, [](const std::string& v) { return File({"[Pozycja 1]", "JM=" + v}); },
       IMP_TOKEN_POSITION, [](const Token& t) { return HOST_TEXT(t.As<PositionRecord>().unit); }},
      {"PositionRecord.secondUnit", 32,
       [](const std::string& v) { return File({"[Pozycja 1]", "JM=m\t" + v}); }, IMP_TOKEN_POSITION,
       [](const Token& t) { return HOST_TEXT(t.As<PositionRecord>().secondUnit); }},
      {"MeasurementLineRecord.measurement", 256,
       [](const std::string& v) { return File({"[Pozycja 1]", "Przedmiar 1=" + v}); },
       IMP_TOKEN_MEASUREMENT_LINE,
       [](const Token& t) { return HOST_TEXT(t.As<MeasurementLineRecord>().measurement); }},
      {"MeasurementLineRecord.comment", 256,
       [](const std::string& v) { return File({"[Pozycja 1]", "Komentarz 1=" + v}); },
       IMP_TOKEN_MEASUREMENT_LINE,
       [](const Token& t) { return HOST_TEXT(t.As<MeasurementLineRecord>().comment); }},
      {"ResourceRecord.name", 128,
       [](const std::string& v) { return File({"[RMS 1]", "Typ=M", "Nazwa=" + v}); },
       IMP_TOKEN_RESOURCE, [](const Token& t) { return HOST_TEXT(t.As<ResourceRecord>().name); }},
      {"ResourceRecord.indexCode", 32,
       [](const std::string& v) { return File({"[RMS 1]", "Typ=M", "Indeks=" + v}); },
       IMP_TOKEN_RESOURCE, [](const Token& t) { return HOST_TEXT(t.As<ResourceRecord>().indexCode); }},
      {"ResourceRecord.unit", 32,
       [](const std::string& v) { return File({"[RMS 1]", "Typ=M", "JM=" + v}); },
       IMP_TOKEN_RESOURCE, [](const Token& t) { return HOST_TEXT(t.As<ResourceRecord>().unit); }},
      {"ResourceRecord.consumptionText", 256,
       [](const std::string& v) { return File({"[RMS 1]", "Typ=M", "Tarvo=" + v}); },
       IMP_TOKEN_RESOURCE,
       [](const Token& t) { return HOST_TEXT(t.As<ResourceRecord>().consumptionText); }},
  };
  for (const Field& field : fields) {
    // 251 bytes of 256 stand whole with a 0 slot; 252 to 255 fill the
    // slot's bytes with text; 256 and more are cut.
    for (size_t length : {field.size - 6, field.size - 5, field.size - 4, field.size - 1,
                          field.size, field.size + 1, field.size + 300}) {
      SCOPED_TRACE(std::string(field.name) + ", " + std::to_string(length) + " bytes");
      // Windows-1250 letters, and digits first so that "Tarvo" reads as a number.
      std::string value = "1\xB3\xF3\xBF" + Filler(length - 4);
      Import import(field.file(value));
      ASSERT_EQ(import.startResult, IMP_START_OK);
      const auto records = import.OfType(field.type);
      ASSERT_FALSE(records.empty());
      EXPECT_EQ(field.read(*records.front()), value);
    }
  }
}

// The description: a field of 256 bytes too, and its full text lasts until
// ImpEnd like every other.
TEST(TextFields, TheDescriptionGivesTheWholeValueThroughIMP_LONG_TEXT) {
  for (size_t length : {250, 251, 252, 255, 256, 600}) {
    SCOPED_TRACE(std::to_string(length) + " bytes");
    const std::string value = "\x8C" + Filler(length - 1);
    ASSERT_EQ(ImpStart(WriteFile(File({"Opis=" + value, "[Kosztorys]"})).c_str()), IMP_START_OK);
    EXPECT_EQ(HostText(ImpKosztDescr(), 256), value);
    ImpEnd();
  }
}

// Texts the module builds itself have no full text behind them: read as
// hosts read every field, they give the text that stands in the field.
TEST(TextFields, BuiltTextsReadAsTheyStand) {
  // A basis of 63 + 1 + 251 bytes: catalogueReference holds 315 of its 320.
  Import import(File({"[Pozycja 1]", "Katalog=" + Filler(63, 'k'), "Kolumna=" + Filler(251, 'c')}));
  const auto& position = import.OfType(IMP_TOKEN_POSITION).front()->As<PositionRecord>();
  EXPECT_EQ(HOST_TEXT(position.catalogueReference), Filler(63, 'k') + " " + Filler(251, 'c'));
  Import knr(File({"[Pozycja 1]", "Katalog=KNR", "Kolumna=0202-" + Filler(300, 'c')}));
  const auto& knrPosition = knr.OfType(IMP_TOKEN_POSITION).front()->As<PositionRecord>();
  const auto* detail = static_cast<const CatalogueDetail*>(IMP_SLOT_PTR(knrPosition.catalogueDetail));
  ASSERT_NE(detail, nullptr);
  EXPECT_EQ(HOST_TEXT(detail->catalogueNumber), "2-02");
  // The column was cut to 251 bytes, then lost its first five: 246 stand.
  EXPECT_EQ(HOST_TEXT(detail->tableColumn), Filler(246, 'c'));
  const auto& summary = knr.OfType(IMP_TOKEN_SUMMARY).front()->As<SummaryRecord>();
  const auto* items = static_cast<const CostItem*>(IMP_SLOT_PTR(summary.items));
  EXPECT_EQ(HOST_TEXT(items[0].name), "Koszty po\x9Crednie");
}

}  // namespace
