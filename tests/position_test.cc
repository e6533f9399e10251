// Position records, their catalogue detail, measurement lines and
// auxiliary materials, from whole imports, byte by byte.
#include <gtest/gtest.h>

#include <functional>

#include "test_support.h"

namespace {

using namespace imp_test;

constexpr int32_t P = IMP_TOKEN_POSITION, ML = IMP_TOKEN_MEASUREMENT_LINE,
                  RES = IMP_TOKEN_RESOURCE, SUM = IMP_TOKEN_SUMMARY;

Image InitialPosition() {
  Image i(1888);
  i.Int(0, 13).Text(4, " ").Int(1348, -1).Double(1400, 1.0);
  return i;
}

std::string PositionFile(const std::vector<std::string>& lines, char decimalSymbol = '.') {
  return File({"[Pozycja 1.1]"}, decimalSymbol) + Lines(lines);
}

TEST(PositionRecord, KeyLines) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::function<void(Image&)> expect;
  };
  const Case cases[] = {
      {"no keys", {}, [](Image&) {}},
      {"unknown keys and remarks", {"Uwagi=3", "Typ=R", "opis=x", "Opis =x"}, [](Image&) {}},
      {"description", {"Opis=Wykop \xB3\xF3" "d\tx"}, [](Image& i) { i.Text(324, "Wykop \xB3\xF3" "d"); }},
      {"quantity and price", {"Obmiar=12.5", "Cena=300"},
       [](Image& i) { i.Double(1160, 12.5).Double(1328, 300.0); }},
      {"unit with one field", {"JM=m3"}, [](Image& i) { i.Text(836, "m3"); }},
      {"unit with two fields", {"JM=m3\tszt"}, [](Image& i) { i.Text(836, "m3").Text(868, "szt"); }},
      {"unit with an empty first field", {"JM=\tszt"}, [](Image& i) { i.Text(868, "szt"); }},
      {"simplified 1", {"Uproszczona=1"}, [](Image& i) { i.Int(1300, 1); }},
      {"simplified 3", {"Uproszczona=3"}, [](Image& i) { i.Int(1300, 1); }},
      {"simplified -1", {"Uproszczona=-1"}, [](Image& i) { i.Int(1300, 1); }},
      {"simplified 2", {"Uproszczona=2"}, [](Image&) {}},
      {"simplified 1, then 2 clears", {"Uproszczona=1", "Uproszczona=2"}, [](Image&) {}},
      {"multiplicity 2.5", {"Krotno\x9C\xE6=2.5"}, [](Image& i) { i.Double(1400, 2.5); }},
      {"multiplicity empty gives 0", {"Krotno\x9C\xE6="}, [](Image& i) { i.Double(1400, 0.0); }},
      {"a bare sign reads as +0.0", {"Obmiar=-", "Cena=+", "Krotno\x9C\xE6=-abc"},
       [](Image& i) { i.Double(1400, 0.0); }},
      {"-0 written in the file stays -0.0", {"Obmiar=-0", "Cena=-0e5"},
       [](Image& i) { i.Double(1160, -0.0).Double(1328, -0.0); }},
      {"later values win, an empty one gives 0", {"Cena=2", "Cena=", "Obmiar=3", "Obmiar="},
       [](Image&) {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Import import(PositionFile(c.lines));
    EXPECT_EQ(import.Types(), (std::vector<int32_t>{P, SUM}));
    ASSERT_EQ(import.OfType(P).size(), 1u);
    Image expected = InitialPosition();
    c.expect(expected);
    EXPECT_TRUE(SameBytes(*import.OfType(P)[0], expected));
  }
}

TEST(PositionRecord, DecimalComma) {
  Import import(PositionFile({"Obmiar=1,5", "Cena=300,25", "Krotno\x9C\xE6=2,0"}, ','));
  ASSERT_EQ(import.OfType(P).size(), 1u);
  EXPECT_TRUE(SameBytes(*import.OfType(P)[0],
                        InitialPosition().Double(1160, 1.5).Double(1328, 300.25).Double(1400, 2.0)));
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
  for (const Case& c : cases) {
    SCOPED_TRACE(c.catalogue + " / " + c.column);
    std::vector<std::string> lines;
    if (!c.catalogue.empty()) lines.push_back("Katalog=" + c.catalogue);
    if (!c.column.empty()) lines.push_back("Kolumna=" + c.column);
    Import import(PositionFile(lines));
    ASSERT_EQ(import.OfType(P).size(), 1u);
    const auto& token = *import.OfType(P)[0];
    Image expected = InitialPosition();
    expected.Text(4, c.reference);
    if (c.number == nullptr) {
      EXPECT_TRUE(SameBytes(token, expected));
      continue;
    }
    expected.Slot(1428, token.bytes.data());
    EXPECT_TRUE(SameBytes(token, expected));
    const unsigned char* detail = Block(token, 1428);
    ASSERT_NE(detail, nullptr);
    // The column's rest moves to its start; the bytes behind its new NUL
    // keep what the moved text left there.
    Image detailExpected(772);
    detailExpected.Text(68, c.catalogue).Text(132, c.number).Text(196, c.column).Text(196, c.columnAfter);
    EXPECT_TRUE(SameBytes(detail, 772, detailExpected));
  }
}

struct Line { int32_t entryKind; std::string comment, measurement; };

Image MeasurementLine(const Line& line) {
  Image i(632);
  i.Int(0, 2).Int(4, line.entryKind).Text(8, line.comment).Text(264, line.measurement).Int(528, 1);
  return i;
}

TEST(MeasurementLines, Cases) {
  struct Case { const char* name; std::vector<std::string> lines; std::vector<Line> expected; };
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
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Import import(PositionFile(c.lines));
    std::vector<int32_t> types{P};
    types.insert(types.end(), c.expected.size(), ML);
    types.push_back(SUM);
    EXPECT_EQ(import.Types(), types);
    const auto lines = import.OfType(ML);
    for (size_t i = 0; i < lines.size() && i < c.expected.size(); ++i) {
      EXPECT_TRUE(SameBytes(*lines[i], MeasurementLine(c.expected[i]))) << "line " << i;
    }
  }
}

TEST(MeasurementLines, NumbersStartAfreshInEachPosition) {
  Import import(File({"[Pozycja 1]", "Komentarz 1=a", "[Pozycja 2]", "Przedmiar 1=b",
                      "[Pozycja 3]", "Komentarz 2=c"}));
  EXPECT_EQ(import.Types(), (std::vector<int32_t>{P, ML, P, ML, P, ML, SUM}));
  const auto lines = import.OfType(ML);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(SameBytes(*lines[0], MeasurementLine({0, "a", ""})));
  EXPECT_TRUE(SameBytes(*lines[1], MeasurementLine({2, "", "b"})));
  EXPECT_TRUE(SameBytes(*lines[2], MeasurementLine({0, "c", ""})));
}

TEST(AuxiliaryMaterials, ResourceRecordBytes) {
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
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Import import(PositionFile(c.lines, c.decimalSymbol));
    if (c.consumption == 0.0) {
      EXPECT_EQ(import.Types(), (std::vector<int32_t>{P, SUM}));
      continue;
    }
    EXPECT_EQ(import.Types(), (std::vector<int32_t>{P, RES, SUM}));
    ASSERT_EQ(import.OfType(RES).size(), 1u);
    Image expected(680);
    expected.Int(0, 7).Int(4, 'A').Text(8, "Materia\xB3y pomocnicze").Text(136, "000000");
    expected.Int(168, 1).Text(172, "%").Double(208, c.consumption).Double(360, 1.0).Int(416, 1);
    EXPECT_TRUE(SameBytes(*import.OfType(RES)[0], expected));
  }
}

}  // namespace
