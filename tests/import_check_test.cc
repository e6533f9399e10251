// The import check (check/import_check.h): one small file for each kind of
// finding, with the line it must name; and every key that the sections
// read, taken from keys.h's table, against what an import makes of it.
#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "check/import_check.h"
#include "reader/keys.h"
#include "test_support.h"

namespace {

using imp::CheckFile;
using imp::Finding;
using imp::PassedOver;
using imp_test::File;
using imp_test::Filler;

// The row's finding is the file's last; a file with two names the first too.
struct Row {
  const char* name;
  std::string file;
  PassedOver kind;
  int64_t line;
  size_t findings = 1;
};
// GoogleTest names a row by this; it would print its bytes otherwise,
// padding included, which memcheck reads as uninitialised.
std::ostream& operator<<(std::ostream& out, const Row& row) { return out << row.name; }

// "[Plik]" and the decimal symbol are lines 1 and 2: a row's first line is 3.
std::vector<Row> Rows() {
  const std::string formula = "1." + std::string(253, '0');  // 255 bytes: whole in its field
  return {
      {"KeyNotRead", File({"[Pozycja 1]", "Uwagi2=x"}), PassedOver::kKeyNotRead, 4},
      {"StrayLine", File({"[Pozycja 1]", "tekst bez znaku"}), PassedOver::kStrayLine, 4},
      {"KeyAfterABlankLine", File({"[Pozycja 1]", "", "Cena=5"}), PassedOver::kKeyOutsideSection, 5},
      {"KeyUnderAnUnknownHeader", File({"[Pozycja 1]", "[Inna]", "Cena=5"}),
       PassedOver::kKeyOutsideSection, 5, 2},
      {"KeyRepeated", File({"[Pozycja 1]", "Cena=5", "Cena=7"}), PassedOver::kKeyRepeated, 4},
      {"TextCut", File({"[Pozycja 1]", "Opis=" + Filler(300)}), PassedOver::kTextCut, 4},
      {"KnrColumnOutOfReach", File({"[Pozycja 1]", "Katalog=KNR", "Kolumna=0202-" + Filler(300)}),
       PassedOver::kTextUnreachable, 5},
      {"FormulaDropped",
       File({"[Pozycja 1]", "[RMS 1]", "Typ=R", "Tarvo=" + formula,
             "Wsp\xF3\xB3" "czynnik koryguj\xB9" "cy=1.5"}),
       PassedOver::kFormulaDropped, 6},
      {"NumberReadPartly", File({"[Pozycja 1]", "Cena=12,5 z\xB3"}), PassedOver::kReadPartly, 4},
      // A file that names no decimal symbol reads numbers with '.'.
      {"CommaWhereTheSymbolIsEmpty", "[Plik]\nSymbol dziesi\xEAtny=\n[Pozycja 1]\nCena=1,5\n",
       PassedOver::kReadPartly, 4},
      {"LetterReadPartly", File({"[Pozycja 1]", "[RMS 1]", "Typ=Robocizna"}),
       PassedOver::kReadPartly, 5},
      {"FractionInInteger", File({"[Kosztorys]", "Liczba poziom\xF3w=2,5"}),
       PassedOver::kFractionInInteger, 4},
      {"ExtraFields", File({"[Pozycja 1]", "Cena=5\tx"}), PassedOver::kExtraFields, 4},
      {"LineTooLong", File({"[Pozycja 1]", "Opis=" + Filler(10000)}), PassedOver::kLineTooLong, 4},
      {"NoLineFeed", File({"[Pozycja 1]"}) + "Cena=5", PassedOver::kNoLineFeed, 4},
      {"TextEndsAtNul", File({"[Pozycja 1]", std::string("Opis=ab\0cd", 10)}),
       PassedOver::kTextEndsAtNul, 4},
      {"AfterEndOfText", File({"[Pozycja 1]"}) + "\x1A" "Cena=5\n", PassedOver::kAfterEndOfText, 4},
      {"ResourceBeforePosition", File({"[RMS 1]", "Typ=R"}), PassedOver::kResourceBeforePosition, 3},
      {"RateOutvoted",
       File({"[Pozycja 1]", "[RMS 1]", "Typ=R", "Zysk Kb=10", "[RMS 2]", "Typ=R", "Zysk Kb=12",
             "[RMS 3]", "Typ=R", "Zysk Kb=12"}),
       PassedOver::kRateOutvoted, 6},
      {"RateOfNoCountedKind", File({"[Pozycja 1]", "[RMS 1]", "Zysk Kb=10"}),
       PassedOver::kRateNotCounted, 5},
  };
}

class EachKind : public testing::TestWithParam<Row> {};

// Each file gives its one finding, read in the module's chunks and in
// chunks of 7 bytes that cut its lines.
TEST_P(EachKind, NamesItsLine) {
  const Row& row = GetParam();
  const std::string path = imp_test::WriteFile(row.file);
  for (size_t chunk : {size_t{0}, size_t{7}}) {
    const imp::CheckResult result = CheckFile(path.c_str(), chunk);
    ASSERT_EQ(result.status, imp::CheckResult::Status::kChecked);
    ASSERT_EQ(result.findings.size(), row.findings) << "chunk " << chunk;
    EXPECT_EQ(result.findings.back().kind, row.kind);
    EXPECT_EQ(result.findings.back().line, row.line);
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, EachKind, testing::ValuesIn(Rows()),
                         [](const testing::TestParamInfo<Row>& info) { return info.param.name; });

// What a finding says beside its kind and line, for the kinds that say most.
TEST(ImportCheck, FindingsSayWhatTheHostGets) {
  const std::string path = imp_test::WriteFile(
      File({"[Pozycja 1]", "Katalog=KNR", "Kolumna=0202-" + Filler(300), "Cena=7", "Cena=0,25 kg",
            "[RMS 1]", "Typ=R", "Zysk Kb=10", "[RMS 2]", "Typ=R", "Zysk Kb=12", "[RMS 3]",
            "Typ=R", "Zysk Kb=12"}));
  const imp::CheckResult result = CheckFile(path.c_str());
  ASSERT_EQ(result.findings.size(), 4u);
  const Finding& column = result.findings[0];
  EXPECT_EQ(column.section, "[Pozycja 1]");
  EXPECT_EQ(column.key, "Kolumna");
  EXPECT_EQ(column.length, 305);
  EXPECT_EQ(column.keeps, 246);
  const Finding& repeated = result.findings[1];
  EXPECT_EQ(repeated.kind, PassedOver::kKeyRepeated);
  EXPECT_EQ(repeated.otherLine, 7);
  const Finding& partly = result.findings[2];
  EXPECT_EQ(partly.written, "0,25 kg");
  EXPECT_EQ(partly.passedOver, ",25 kg");
  EXPECT_EQ(partly.taken, 0.0);
  const Finding& rate = result.findings[3];
  EXPECT_EQ(rate.section, "[RMS 1]");
  EXPECT_EQ(rate.taken, 10.0);
  EXPECT_EQ(rate.length, 1);
  EXPECT_EQ(rate.summaryRate, 12.0);
  EXPECT_EQ(rate.summaryCount, 2);
  EXPECT_EQ(rate.resourceKind, 'R');
}

TEST(ImportCheck, FilesThatAreNoEstimate) {
  EXPECT_EQ(CheckFile(imp_test::WriteFile("tekst\n").c_str()).status,
            imp::CheckResult::Status::kNotAnEstimate);
  const imp::CheckResult missing = CheckFile("/nonexistent/kosztorys.txt");
  EXPECT_EQ(missing.status, imp::CheckResult::Status::kCannotOpen);
  EXPECT_EQ(missing.error, 2);
}

// A file of many findings of several kinds: keys repeated (found at an
// earlier line), cut texts, cut formulas that a factor makes unreachable or
// drops, rates outvoted (found at the end); enough for the kept findings to
// be trimmed while the file is read, once within a resource.
std::string ManyFindings() {
  std::vector<std::string> lines = {"[Kosztorys]", "Liczba poziom\xF3w=2,5", "[Element 1]"};
  const std::string formula = "1." + std::string(253, '0');
  for (int i = 1; i <= 300; ++i) {
    const std::string n = std::to_string(i);
    const std::vector<std::string> position = {
        "[Pozycja " + n + "]", "Cena=5", "Uwagi2=x", "Cena=7", "Opis=" + Filler(300),
        "[RMS " + n + ".1]", "Typ=R", "Tarvo=" + formula + (i % 2 ? "0" : ""),
        "Wsp\xF3\xB3" "czynnik koryguj\xB9" "cy=1.5", "Zysk Kb=" + std::to_string(i % 7)};
    lines.insert(lines.end(), position.begin(), position.end());
  }
  // A trim while a cut formula waits for its resource's end.
  lines.push_back("[RMS 300.2]");
  lines.push_back("Typ=R");
  lines.push_back("Tarvo=" + formula + "0");
  lines.push_back("Wsp\xF3\xB3" "czynnik koryguj\xB9" "cy=1.5");
  lines.insert(lines.end(), 1100, "Uwagi2=x");
  return File(lines);
}

// Of each kind the first N in file order, whatever the chunks, and the
// counts of all; the position of each finding is that of its section.
TEST(ImportCheck, KeepsTheFirstOfEachKindAndCountsAll) {
  for (const std::string& file : {ManyFindings(), File({"[Pozycja 1]", "Cena=5", "Cena=7"})}) {
    const std::string path = imp_test::WriteFile(file);
    const imp::CheckResult all = CheckFile(path.c_str());
    ASSERT_EQ(all.status, imp::CheckResult::Status::kChecked);
    std::array<int64_t, imp::kPassedOverKinds> counts = {};
    for (const Finding& f : all.findings) ++counts[static_cast<size_t>(f.kind)];
    EXPECT_EQ(all.counts, counts);
    for (size_t keep : {size_t{1}, size_t{3}, size_t{250}}) {
      for (size_t chunk : {size_t{0}, size_t{7}}) {
        const imp::CheckResult kept = CheckFile(path.c_str(), chunk, keep);
        std::vector<std::string> expected, got;
        std::array<size_t, imp::kPassedOverKinds> taken = {};
        const auto row = [](const Finding& f) {
          return std::to_string(static_cast<int>(f.kind)) + " " + std::to_string(f.line) + " " +
                 std::to_string(f.position) + " " + f.written + " " + std::to_string(f.length);
        };
        for (const Finding& f : all.findings) {
          if (taken[static_cast<size_t>(f.kind)]++ < keep) expected.push_back(row(f));
        }
        for (const Finding& f : kept.findings) got.push_back(row(f));
        EXPECT_EQ(got, expected) << "keep " << keep << ", chunk " << chunk;
        EXPECT_EQ(kept.counts, all.counts) << "keep " << keep << ", chunk " << chunk;
      }
    }
  }
  const imp::CheckResult many = CheckFile(imp_test::WriteFile(ManyFindings()).c_str());
  EXPECT_EQ(many.findings.front().position, 0);  // [Kosztorys]
  EXPECT_EQ(many.findings.back().position, 300);  // [RMS 300.2]
}

// The records of a whole import, each described with what its slots hold.
std::string Records(const std::string& file) {
  imp_test::Import import(file);
  std::string records;
  for (const imp_test::Token& token : import.tokens) records += imp_test::Describe(token) + "\n";
  return records;
}

// A file with "KEY=VALUE" as the last key line of `section`; a base line
// of the same key makes way for it. The base gives every surcharge rate a
// say in the summary: an 'R' and an 'M' profit rate, and a position
// quantity for the investor's quantity to match.
std::string WithKey(const std::string& section, const std::string& key, const char* value) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> base = {
      {"[Kosztorys]", {}},
      {"[Element 1]", {}},
      {"[Pozycja 1]", {"Obmiar=7"}},
      {"[RMS 1]", {"Typ=R"}},
      {"[RMS 2]", {"Typ=M", "Zysk Kb=7"}},
      {"[RMS 3]", {"Typ=R", "Zysk Kb=7"}}};
  std::vector<std::string> lines;
  for (const auto& part : base) {
    lines.push_back(part.first);
    for (const std::string& line : part.second) {
      if (part.first != section || line.compare(0, key.size() + 1, key + "=") != 0) lines.push_back(line);
    }
    if (part.first == section) lines.push_back(key + "=" + value);
  }
  return File(lines);
}

size_t KeysNotRead(const std::string& file) {
  size_t count = 0;
  for (const Finding& f : CheckFile(imp_test::WriteFile(file).c_str()).findings) {
    count += f.kind == PassedOver::kKeyNotRead ? 1 : 0;
  }
  return count;
}

// The check knows a key from the description that reads it: a key whose
// value changes the records ("0" against "7" in its first two fields) gives
// no "not read", one
// that changes nothing gives one, and so does the key with its first byte
// changed.
TEST(ImportCheck, EveryKeyOfTheTableAsTheRecordsReadIt) {
  std::vector<std::string> keys;
  for (const auto& key : imp::keys_detail::kKeys) keys.emplace_back(key.text, key.length);
  keys.push_back(std::string(imp::keys_detail::kMeasurementPrefix) + "1");
  keys.push_back(std::string(imp::keys_detail::kCommentPrefix) + "1");
  int read = 0;
  for (const char* section : {"[Kosztorys]", "[Element 1]", "[Pozycja 1]", "[RMS 1]"}) {
    for (const std::string& key : keys) {
      const std::string file = WithKey(section, key, "7\t7");
      const bool changesRecords = Records(file) != Records(WithKey(section, key, "0\t0"));
      read += changesRecords ? 1 : 0;
      EXPECT_EQ(KeysNotRead(file), changesRecords ? 0u : 1u) << section << " " << key;
      std::string changed = key;
      ++changed[0];
      EXPECT_EQ(KeysNotRead(WithKey(section, changed, "7")), 1u) << section << " " << changed;
    }
  }
  EXPECT_EQ(read, 3 + 3 + 11 + 15);  // the keys each section reads
}

}  // namespace
