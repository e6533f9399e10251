// What the two readings of a file must keep: records that never mix two
// versions of a changed file, an import ended half-way, the plan of the
// first reading matching what the second uses, and the same records
// whatever the size of the chunks the file is read in.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "host/the_import.h"
#include "support/memory.h"
#include "test_support.h"

namespace {

using namespace imp_test;

// A file that exercises every record kind, long texts, measurement lines, and
// the CR LF line ends and decimal comma of real exports.
std::string RichFile() {
  std::string lines;
  for (const std::string& line : std::vector<std::string>{
           "[Plik]", "Opis=" + std::string(300, 'o'), "Symbol dziesi\xEAtny=,", "[Kosztorys]",
           "Nazwa=" + Filler(300), "Liczba poziom\xF3w=2", "[Element 1]", "Opis=Roboty",
           "Obmiar=1,5", "JM=\t" + Filler(40, 'u'), "[Pozycja 1.1]", "Katalog=KNR",
           "Kolumna=0202-" + Filler(300, 'k'), "Opis=Wykop", "Obmiar=12,5", "JM=m3\tszt",
           "Przedmiar 2=" + Filler(260, 'p'), "Komentarz 1=c1", "Przedmiar 1=2*3",
           "Materia\xB3y pomocnicze=5", "[RMS 1.1.1]", "Typ=R", "Nazwa=" + Filler(130, 'n'),
           "Tarvo=0,25", "Wsp\xF3\xB3" "czynnik koryguj\xB9" "cy=2", "Koszty po\x9Crednie=65",
           "Zysk Kb=12", "[RMS 1.1.2]", "Typ=S", "Indeks=" + Filler(32, 'i'), "Cena=10,5",
           "[Pozycja 1.2]", "Katalog=KNR", "Kolumna=0101-01", "Komentarz 3=trzy", "[RMS 1.2.1]",
           "Typ=M", "Koszty zakupu=3,5", "Tarvo=" + Filler(270, 't'), "Wsp\xF3\xB3" "czynnik koryguj\xB9" "cy=1,5"}) {
    lines += line + "\r\n";
  }
  return lines;
}

// Every record, with each slot replaced by what it points to: two imports
// of one file give the same descriptions wherever their blocks lie.
std::vector<std::string> Described(const Import& import) {
  std::vector<std::string> described;
  for (const Token& token : import.tokens) described.push_back(Describe(token));
  return described;
}

TEST(Streaming, TheSameRecordsWhateverTheChunkSize) {
  const std::string file = RichFile();
  const Import whole(file);
  constexpr int32_t E = IMP_TOKEN_ESTIMATE, SUM = IMP_TOKEN_SUMMARY, EL = IMP_TOKEN_ELEMENT,
                    P = IMP_TOKEN_POSITION, RES = IMP_TOKEN_RESOURCE, ML = IMP_TOKEN_MEASUREMENT_LINE;
  ASSERT_EQ(whole.Types(), (std::vector<int32_t>{E, SUM, EL, P, RES, ML, ML, RES, RES, P, RES, ML}));
  const std::vector<std::string> reference = Described(whole);
  for (size_t chunk : {1, 2, 3, 5, 16, 63, 64, 100, 4096}) {
    imp::TheImport().SetChunkSize(chunk);
    EXPECT_EQ(Described(Import(file)), reference) << "chunks of " << chunk;
  }
  imp::TheImport().SetChunkSize(imp::InputFile::kDefaultChunkSize);
}

// Blank lines before the file header: the second reading starts at the
// header wherever it lies in its chunk, in the first chunk or beyond it.
TEST(Streaming, BlankLinesBeforeTheHeaderChangeNoRecord) {
  const std::string file = RichFile();
  const std::vector<std::string> reference = Described(Import(file));
  for (const std::string& blanks : {std::string("\n"), std::string("\r\n\n\r\n"),
                                    std::string(70, '\n')}) {
    for (size_t chunk : {imp::InputFile::kDefaultChunkSize, size_t{3}, size_t{16}, size_t{64}}) {
      imp::TheImport().SetChunkSize(chunk);
      EXPECT_EQ(Described(Import(blanks + file)), reference)
          << blanks.size() << " bytes of blank lines, chunks of " << chunk;
    }
  }
  imp::TheImport().SetChunkSize(imp::InputFile::kDefaultChunkSize);
}

// What the first reading reserves is exactly what the records use.
TEST(Streaming, ThePlanMatchesWhatTheRecordsUse) {
  const std::string files[] = {RichFile(), File({"[Kosztorys]"}), File({}),
                               File({"[Pozycja 1]", "Katalog=KNR", "Kolumna=0202-", "Katalog=x"}),
                               File({"[RMS 1]", "Tarvo=" + Filler(256), "Tarvo=" + Filler(255)})};
  for (const std::string& file : files) {
    { Import import(file); }
    const auto sizing = imp::TheImport().LastSizing();
    EXPECT_TRUE(sizing.Matches()) << sizing.Difference();
  }
}

struct Partial {
  std::vector<int32_t> types;
  std::string message;
};

// Starts an import, takes `before` records, lets `change` run, then takes
// the rest.
Partial ImportChangedAfter(const std::string& file, int before,
                           const std::function<void(const std::string&)>& change) {
  const std::string path = WriteFile(file);
  Partial partial;
  EXPECT_EQ(ImpStart(path.c_str()), IMP_START_OK);
  int32_t type = 0;
  unsigned char buffer[IMP_MAX_RECORD_SIZE];
  for (int i = 0; i < before && ImpGetNextToken(&type, buffer) == 1; ++i) partial.types.push_back(type);
  change(path);
  while (ImpGetNextToken(&type, buffer) == 1) partial.types.push_back(type);
  partial.message = ImpGetDescr();
  ImpEnd();
  return partial;
}

TEST(Streaming, AFileWrittenToBetweenTheReadingsStopsTheImport) {
  // Chunks of 64 bytes, so that the change lies in a chunk not read again yet.
  imp::TheImport().SetChunkSize(64);
  const std::string file = RichFile();
  const std::vector<int32_t> all = Import(file).Types();
  std::string changed = file;
  changed[file.size() - 10] = 'X';
  struct Case { const char* name; std::string bytes; };
  const Case cases[] = {
      {"a byte near the end changed", changed},
      {"cut short", file.substr(0, file.size() / 2)},
      {"grown", file + "[Element 9]\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool rewritten = false;
    const Partial partial =
        ImportChangedAfter(file, 2, [&](const std::string& path) { rewritten = Rewrite(path, c.bytes); });
#if defined(_WIN32)
    // Nobody may write to the file while it is imported: the import goes on.
    EXPECT_FALSE(rewritten);
    EXPECT_EQ(partial.types, all);
    EXPECT_STREQ(partial.message.c_str(), "");
#else
    ASSERT_TRUE(rewritten);
    // What was delivered is the old file's beginning; nothing comes after
    // the change, and the error number tells why.
    ASSERT_LT(partial.types.size(), all.size());
    EXPECT_EQ(partial.types, std::vector<int32_t>(all.begin(), all.begin() + partial.types.size()));
    EXPECT_EQ(partial.message, "5");  // EIO
#endif
  }
  // The same bytes written again change nothing.
  const Partial same = ImportChangedAfter(file, 2, [&](const std::string& path) { Rewrite(path, file); });
  EXPECT_EQ(same.types, all);
  EXPECT_EQ(same.message, "");
  imp::TheImport().SetChunkSize(imp::InputFile::kDefaultChunkSize);
}

// An import ended half-way leaves nothing behind, and the next one starts
// afresh: its own records, rates and decimal symbol.
TEST(Streaming, AnImportEndedHalfWayThenAFreshOne) {
  const long regions = imp::LowRegionsInUse();
  const std::string first = File({"[Kosztorys]", "[RMS 1]", "Typ=R", "Koszty po\x9Crednie=65",
                                  "[Pozycja 1]", "Przedmiar 1=" + Filler(300), "[Element 1]"}, ',');
  const std::string path = WriteFile(first);
  ASSERT_EQ(ImpStart(path.c_str()), IMP_START_OK);
  int32_t type = 0;
  unsigned char buffer[IMP_MAX_RECORD_SIZE];
  ASSERT_EQ(ImpGetNextToken(&type, buffer), 1);
  ASSERT_EQ(ImpGetNextToken(&type, buffer), 1);
  ASSERT_EQ(ImpGetNextToken(&type, buffer), 1);
  EXPECT_EQ(ImpEnd(), 0);
  EXPECT_EQ(ImpGetNextToken(&type, buffer), 0);

  // The second file names no decimal symbol: the first file's comma holds,
  // as if the first import had been read to its end.
  const std::string second = Lines({"[Plik]", "[Pozycja 1]", "Obmiar=2,5", "[RMS 1]", "Typ=R",
                                    "Koszty po\x9Crednie=8"});
  ASSERT_EQ(ImpStart(WriteFile(second).c_str()), IMP_START_OK);
  std::vector<int32_t> types;
  while (ImpGetNextToken(&type, buffer) == 1) {
    types.push_back(type);
    if (type == IMP_TOKEN_POSITION) {
      EXPECT_EQ(reinterpret_cast<const PositionRecord*>(buffer)->quantity, 2.5);
    }
    if (type == IMP_TOKEN_SUMMARY) {
      const auto* summary = reinterpret_cast<const SummaryRecord*>(buffer);
      EXPECT_EQ(static_cast<const CostItem*>(IMP_SLOT_PTR(summary->items))->rate, 8.0);
    }
  }
  EXPECT_EQ(types, (std::vector<int32_t>{IMP_TOKEN_POSITION, IMP_TOKEN_RESOURCE, IMP_TOKEN_SUMMARY}));
  ImpEnd();
  ASSERT_EQ(ImpStart(WriteFile("[Plik]\n").c_str()), IMP_START_OK);
  ImpEnd();
  EXPECT_EQ(imp::LowRegionsInUse(), regions);
}

}  // namespace
