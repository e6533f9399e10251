// Position records, their catalogue detail, measurement lines and
// auxiliary materials, from whole imports: what each key line changes in
// the records of a section without keys.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

using namespace imp_test;

constexpr int32_t P = IMP_TOKEN_POSITION, ML = IMP_TOKEN_MEASUREMENT_LINE,
                  RES = IMP_TOKEN_RESOURCE, SUM = IMP_TOKEN_SUMMARY;

std::string PositionFile(const std::vector<std::string>& lines, char decimalSymbol = '.') {
  return File({"[Pozycja 1.1]"}, decimalSymbol) + Lines(lines);
}

TEST(PositionRecord, KeyLines) {
  using R = PositionRecord;
  const std::string multiplicity = "Krotno\x9C\xE6=";
  ExpectKeyLines<R>(P, "[Pozycja 1.1]", {
      {"unknown keys and remarks", {"Uwagi=3", "Typ=R", "opis=x", "Opis =x"}, [](R&) {}},
      {"description", {"Opis=Wykop \xB3\xF3" "d\tx"}, [](R& r) { SetText(r.description, "Wykop \xB3\xF3" "d"); }},
      {"quantity and price", {"Obmiar=12.5", "Cena=300"}, [](R& r) { r.quantity = 12.5; r.price = 300; }},
      {"decimal comma", {"Obmiar=1,5", "Cena=300,25", multiplicity + "2,0"},
       [](R& r) { r.quantity = 1.5; r.price = 300.25; r.multiplicity = 2.0; }, ','},
      {"unit with one field", {"JM=m3"}, [](R& r) { SetText(r.unit, "m3"); }},
      {"unit with two fields", {"JM=m3\tszt"}, [](R& r) { SetText(r.unit, "m3"); SetText(r.secondUnit, "szt"); }},
      {"unit with an empty first field", {"JM=\tszt"}, [](R& r) { SetText(r.secondUnit, "szt"); }},
      {"simplified 1", {"Uproszczona=1"}, [](R& r) { r.flags = IMP_POSITION_FLAG_SIMPLIFIED; }},
      {"simplified 3", {"Uproszczona=3"}, [](R& r) { r.flags = IMP_POSITION_FLAG_SIMPLIFIED; }},
      {"simplified -1", {"Uproszczona=-1"}, [](R& r) { r.flags = IMP_POSITION_FLAG_SIMPLIFIED; }},
      {"simplified 2", {"Uproszczona=2"}, [](R&) {}},
      {"simplified 1, then 2 clears", {"Uproszczona=1", "Uproszczona=2"}, [](R&) {}},
      {"multiplicity 2.5", {multiplicity + "2.5"}, [](R& r) { r.multiplicity = 2.5; }},
      {"multiplicity empty gives 0", {multiplicity}, [](R& r) { r.multiplicity = 0.0; }},
      {"a bare sign reads as +0.0", {"Obmiar=-", "Cena=+", multiplicity + "-abc"},
       [](R& r) { r.multiplicity = 0.0; }},
      {"-0 written in the file stays -0.0", {"Obmiar=-0", "Cena=-0e5"},
       [](R& r) { r.quantity = -0.0; r.price = -0.0; }},
      {"later values win, an empty one gives 0", {"Cena=2", "Cena=", "Obmiar=3", "Obmiar="}, [](R&) {}},
  });
}

TEST(PositionRecord, CatalogueReference) {
  struct Case {
    std::string catalogue, column, reference;
    const char* number;  // nullptr: no KNR basis, no detail
    std::string columnAfter;
  };
  const Case cases[] = {
      {"KNR", "0202-0101-02", "KNR 2-02 0101-02", "2-02", "0101-02"},
      {"KNNR 1", "0101-01", "KNNR 1 0101-01", nullptr, ""},
      {"KNR", "202-0101-02", "KNR 202-0101-02", nullptr, ""},
      {"knr", "0202-0101-02", "knr 0202-0101-02", nullptr, ""},
      {"KNR ", "0202-0101-02", "KNR  0202-0101-02", nullptr, ""},
      {"KNR", "02020-01", "KNR 02020-01", nullptr, ""},
      {"KNR", "0202", "KNR 0202", nullptr, ""},
      {"KNR", "0202-", "KNR 2-02 ", "2-02", ""},
      {"KNR", "ab12-3", "KNR 0-00 3", "0-00", "3"},
      {"KNR", "9999-1-2", "KNR 99-99 1-2", "99-99", "1-2"},
      {"KNR", "0005-x", "KNR 0-05 x", "0-05", "x"},
      // The number is read as atoi reads it: blanks and a sign count.
      {"KNR", "+123-9", "KNR 1-23 9", "1-23", "9"},
      {"KNR", "    -12-03", "KNR 0--12 12-03", "0--12", "12-03"},
      {"KNR", "    -2147483648", "KNR -21474836--48 2147483648", "-21474836--48", "2147483648"},
      {"", "0101", " 0101", nullptr, ""},
      {"KNR", "", "KNR ", nullptr, ""},
      // The longest whole texts fill the 320 bytes exactly.
      {Filler(63), Filler(255, 'A'), Filler(63) + " " + Filler(255, 'A'), nullptr, ""},
      // Cut texts join as they were cut; their full texts are kept all the same.
      {Filler(64), Filler(300, 'A'), Filler(59) + " " + Filler(251, 'A'), nullptr, ""},
  };
  const PositionRecord bare = Import(PositionFile({})).First<PositionRecord>(P);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.catalogue + " / " + c.column);
    std::vector<std::string> lines;
    if (!c.catalogue.empty()) lines.push_back("Katalog=" + c.catalogue);
    if (!c.column.empty()) lines.push_back("Kolumna=" + c.column);
    const Import import(PositionFile(lines));
    const PositionRecord actual = import.First<PositionRecord>(P);
    PositionRecord expected = bare;
    SetText(expected.catalogueReference, c.reference);
    expected.catalogueDetail = actual.catalogueDetail;
    EXPECT_TRUE(SameRecord(actual, expected));
    const CatalogueDetail* detail = Follow<CatalogueDetail>(actual.catalogueDetail);
    ASSERT_EQ(detail != nullptr, c.number != nullptr);
    if (detail == nullptr) continue;
    // The column's rest moves to its start; the bytes behind its new NUL
    // keep what the moved text left there.
    CatalogueDetail expectedDetail{};
    SetText(expectedDetail.catalogue, c.catalogue);
    SetText(expectedDetail.catalogueNumber, c.number);
    SetText(expectedDetail.tableColumn, c.column);
    SetText(expectedDetail.tableColumn, c.columnAfter);
    EXPECT_TRUE(SameRecord(*detail, expectedDetail));
  }
}

struct Line { int32_t entryKind; std::string comment, measurement; };

// Lines of one position: the keys in their order, the lines expected.
void ExpectLines(const std::vector<std::string>& keys, const std::vector<Line>& lines) {
  const MeasurementLineRecord bare =
      Import(PositionFile({"Komentarz 1="})).First<MeasurementLineRecord>(ML);
  const Import import(PositionFile(keys));
  std::vector<int32_t> types{P};
  types.insert(types.end(), lines.size(), ML);
  types.push_back(SUM);
  ASSERT_EQ(import.Types(), types);
  for (size_t i = 0; i < lines.size(); ++i) {
    MeasurementLineRecord expected = bare;
    expected.entryKind = lines[i].entryKind;
    SetText(expected.comment, lines[i].comment);
    SetText(expected.measurement, lines[i].measurement);
    EXPECT_TRUE(SameRecord(import.OfType(ML)[i]->As<MeasurementLineRecord>(), expected)) << i;
  }
}

TEST(MeasurementLines, Cases) {
  struct Case { const char* name; std::vector<std::string> keys; std::vector<Line> lines; };
  // More keys than the standard sort orders by insertion: the numbers'
  // order must keep the file's order of the keys of one line.
  std::vector<std::string> many;
  for (int i = 0; i < 40; ++i) many.push_back("Przedmiar " + std::to_string(1 + i % 3) + "=" + std::to_string(i));
  const Case cases[] = {
      {"comment alone", {"Komentarz 1=c"}, {{0, "c", ""}}},
      {"measurement alone", {"Przedmiar 1=2*3"}, {{2, "", "2*3"}}},
      {"comment, then measurement", {"Komentarz 1=c", "Przedmiar 1=m"}, {{2, "c", "m"}}},
      {"measurement, then comment", {"Przedmiar 1=m", "Komentarz 1=c"}, {{2, "c", "m"}}},
      {"no blank before the number", {"Przedmiar2=a", "Komentarz1=b"}, {}},
      {"02 and 2a are line 2, a later text wins",
       {"Przedmiar 02=a", "Komentarz 2a=b", "Przedmiar 2=c"}, {{2, "b", "c"}}},
      {"empty values", {"Przedmiar 1=", "Komentarz 2="}, {{2, "", ""}, {0, "", ""}}},
      {"lines 3 and 1 without 2", {"Przedmiar 3=c", "Komentarz 1=a"}, {{0, "a", ""}, {2, "", "c"}}},
      {"numbers below 1 name no line", {"Przedmiar 0=a", "Komentarz -4=b", "Przedmiar x=c"}, {}},
      {"sparse numbers in order",
       {"Przedmiar 2000000000=d", "Przedmiar 7=b", "Komentarz 2=a", "Przedmiar 99999999999=e"},
       {{0, "a", ""}, {2, "", "b"}, {2, "", "d"}, {2, "", "e"}}},
      {"40 keys of three lines: the last text of each wins", many,
       {{2, "", "39"}, {2, "", "37"}, {2, "", "38"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectLines(c.keys, c.lines);
  }
}

TEST(AuxiliaryMaterials, ResourceRecord) {
  const std::string key = "Materia\xB3y pomocnicze=";
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    char decimalSymbol;
    double consumption;  // 0: no resource
  };
  const Case cases[] = {
      {"5 then 7: one resource with 7", {key + "5", key + "7"}, '.', 7.0},
      {"5 then 0: one resource with 5", {key + "5", key + "0"}, '.', 5.0},
      {"0: none", {key + "0"}, '.', 0.0},
      {"empty: none", {key}, '.', 0.0},
      {"decimal comma", {key + "2,5"}, ',', 2.5},
      {"negative", {key + "-1.5"}, '.', -1.5},
  };
  // The auxiliary materials are a resource of kind 'A' as a section
  // without keys gives it, with a name, index, unit and consumption.
  ResourceRecord expected = Import(File({"[RMS 1]"})).First<ResourceRecord>(RES);
  SetText(expected.name, "Materia\xB3y pomocnicze");
  SetText(expected.indexCode, "000000");
  SetText(expected.unit, "%");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Import import(PositionFile(c.lines, c.decimalSymbol));
    if (c.consumption == 0.0) {
      EXPECT_EQ(import.Types(), (std::vector<int32_t>{P, SUM}));
      continue;
    }
    ASSERT_EQ(import.Types(), (std::vector<int32_t>{P, RES, SUM}));
    expected.consumption = c.consumption;
    EXPECT_TRUE(SameRecord(import.First<ResourceRecord>(RES), expected));
  }
}

}  // namespace
