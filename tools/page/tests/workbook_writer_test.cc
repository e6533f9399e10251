// The workbook from the page's model, read back from its ZIP parts: what
// the samples cannot show (a table continued in further sheets, bytes XML
// does not allow, the created date at its limits, the cell length) and that
// the same model gives the same bytes.
#include "workbook_writer.h"

#include <gtest/gtest.h>
#include <unzip.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace imppage {
namespace {

template <typename Record>
impwalk::Block Walk(int32_t tokenType, const Record& record) {
  return impwalk::WalkRecord(tokenType, &record, [](imp_slot) { return nullptr; },
                             impwalk::Reserved::kSkip);
}

void AddPosition(EstimatePage* page, const char* description, double price) {
  PositionRecord record{};
  std::strcpy(record.description, description);
  record.price = price;
  page->Add(IMP_TOKEN_POSITION, Walk(IMP_TOKEN_POSITION, record));
}

void AddResource(EstimatePage* page, const char* name) {
  ResourceRecord record{};
  record.kind = IMP_KIND_MATERIAL;
  std::strcpy(record.name, name);
  page->Add(IMP_TOKEN_RESOURCE, Walk(IMP_TOKEN_RESOURCE, record));
}

// Writes the workbook to a file named after the test and returns its path.
std::string Written(const EstimatePage& page, WorkbookSettings settings, const char* name) {
  const std::string path = std::string("workbook_test_") + name + ".xlsx";
  std::string error;
  EXPECT_TRUE(WriteWorkbook(page, WordsFor(Language::kPolish), settings, path, &error)) << error;
  return path;
}

// One part of the workbook, unpacked; "" when it is not there.
std::string Part(const std::string& workbook, const char* name) {
  unzFile zip = unzOpen64(workbook.c_str());
  if (!zip) return "";
  std::string text;
  if (unzLocateFile(zip, name, 1) == UNZ_OK && unzOpenCurrentFile(zip) == UNZ_OK) {
    char buffer[4096];
    int size;
    while ((size = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0) text.append(buffer, size);
    unzCloseCurrentFile(zip);
  }
  unzClose(zip);
  return text;
}

// The sheet of that name; each sheet's part is numbered by its sheetId.
std::string Sheet(const std::string& workbook, const std::string& name) {
  const std::string book = Part(workbook, "xl/workbook.xml");
  const std::string tag = "<sheet name=\"" + name + "\" sheetId=\"";
  const std::size_t at = book.find(tag);
  if (at == std::string::npos) return "";
  const std::size_t from = at + tag.size();
  const std::string id = book.substr(from, book.find('"', from) - from);
  return Part(workbook, ("xl/worksheets/sheet" + id + ".xml").c_str());
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST(Workbook, TableGoesOnInNumberedSheetsWithItsHeadings) {
  EstimatePage page;
  for (int i = 1; i <= 7; ++i) {
    AddPosition(&page, ("p" + std::to_string(i)).c_str(), i);
    AddResource(&page, ("r" + std::to_string(i)).c_str());
  }
  WorkbookSettings settings;
  settings.maxRows = 4;  // the heading and 3 rows a sheet
  const std::string workbook = Written(page, settings, "continued");

  const std::string book = Part(workbook, "xl/workbook.xml");
  const char* const names[] = {"Kosztorys", "Kosztorys (2)", "Pozycje", "Pozycje (2)",
                               "Pozycje (3)", "Nak\xC5\x82" "ady", "Nak\xC5\x82" "ady (2)",
                               "Nak\xC5\x82" "ady (3)", "Przedmiar", "Narzuty"};
  std::size_t last = 0;
  for (const char* name : names) {
    const std::size_t at = book.find(std::string("<sheet name=\"") + name + "\"");
    ASSERT_NE(at, std::string::npos) << name;
    EXPECT_GT(at, last) << name;
    last = at;
  }
  // Pozycje: every position once, each sheet starting with the headings,
  // kept in view and filtered.
  std::string rows;
  for (int sheet = 1; sheet <= 3; ++sheet) {
    const std::string xml =
        Sheet(workbook, sheet == 1 ? "Pozycje" : "Pozycje (" + std::to_string(sheet) + ")");
    EXPECT_NE(xml.find("<row r=\"1\"><c r=\"A1\" s=\"3\" t=\"inlineStr\"><is><t>Lp.</t>"),
              std::string::npos)
        << sheet;
    EXPECT_NE(xml.find("<pane ySplit=\"1\" topLeftCell=\"A2\""), std::string::npos) << sheet;
    EXPECT_EQ(Count(xml, "<row "), sheet < 3 ? 4u : 2u) << sheet;
    EXPECT_NE(xml.find(sheet < 3 ? "<autoFilter ref=\"A1:H4\"/>" : "<autoFilter ref=\"A1:H2\"/>"),
              std::string::npos)
        << sheet;
    rows += xml;
  }
  for (int i = 1; i <= 7; ++i) {
    EXPECT_EQ(Count(rows, "<t>p" + std::to_string(i) + "</t>"), 1u) << i;
  }
  // The print titles repeat each sheet's heading row.
  EXPECT_NE(book.find("'Pozycje (2)'!$1:$1</definedName>"), std::string::npos);
}

TEST(Workbook, BytesXmlDoesNotAllowBecomeEscapes) {
  EstimatePage page;
  AddPosition(&page, "a\x01" "b\x1F" "c\td_x0041_", 1.0);
  const std::string workbook = Written(page, WorkbookSettings{}, "control");
  const std::string xml = Sheet(workbook, "Pozycje");
  EXPECT_NE(xml.find("<t>a_x0001_b_x001F_c\td_x005F_x0041_</t>"), std::string::npos);
  for (const char* name : {"Kosztorys", "Pozycje"}) {
    const std::string sheet = Sheet(workbook, name);
    EXPECT_NE(sheet.find("_x0001_"), std::string::npos) << name;
    EXPECT_EQ(sheet.find('\x01'), std::string::npos) << name;
    EXPECT_EQ(sheet.find('\x1F'), std::string::npos) << name;
  }
}

TEST(Workbook, CreatedDateIsTheSettingWithinItsRange) {
  struct Case {
    int64_t created;
    const char* written;
  };
  const Case cases[] = {
      {1700000000, "2023-11-14T22:13:20Z"},
      {0, "1980-01-01T00:00:00Z"},
      {-5, "1980-01-01T00:00:00Z"},
      {int64_t{1} << 40, "2038-01-19T03:14:07Z"},
  };
  EstimatePage page;
  for (const Case& c : cases) {
    WorkbookSettings settings;
    settings.created = c.created;
    const std::string core = Part(Written(page, settings, "created"), "docProps/core.xml");
    EXPECT_NE(core.find(std::string(">") + c.written + "</dcterms:created>"), std::string::npos)
        << c.created << "\n" << core;
  }
}

TEST(Workbook, SameModelGivesSameBytes) {
  EstimatePage page;
  AddPosition(&page, "p", 0.1 + 0.2);
  WorkbookSettings settings;
  settings.created = 1700000000;
  const std::string first = Bytes(Written(page, settings, "first"));
  EXPECT_EQ(first, Bytes(Written(page, settings, "second")));
  // The double as it is, not rounded as the page rounds it.
  EXPECT_NE(Sheet("workbook_test_first.xlsx", "Pozycje").find("<v>0.30000000000000007</v>"),
            std::string::npos);
}

TEST(CellText, KeepsWithinACellAndEscapesEscapeLookalikes) {
  struct Case {
    std::string text, cell;
  };
  const std::string full(32767, 'a');
  const Case cases[] = {
      {"plain \xC4\x85\xC4\x99", "plain \xC4\x85\xC4\x99"},
      {"_x0041_", "_x005F_x0041_"},
      {"_x00e9_x", "_x005F_x00e9_x"},
      {"_x00G1_ _x0041 x0041_", "_x00G1_ _x0041 x0041_"},
      {full + "b", full},
      {std::string(32766, 'a') + "\xC4\x85\xC4\x99", std::string(32766, 'a') + "\xC4\x85"},
      {std::string(32761, 'a') + "_x0041_", std::string(32761, 'a')},
  };
  for (const Case& c : cases) EXPECT_EQ(CellText(c.text), c.cell) << c.text.substr(0, 40);
}

}  // namespace
}  // namespace imppage
