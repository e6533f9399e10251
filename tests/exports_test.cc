// The exports as the host calls them: opening, description, guards,
// progress reports, fresh imports and running out of memory.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#if defined(__linux__)
#include <unistd.h>
#endif

#include "support/fault_injection.h"
#include "support/memory.h"
#include "test_support.h"

namespace {

using namespace imp_test;

struct Started { int32_t result; std::string message; };

Started StartBytes(const std::string& bytes) {
  const std::string path = WriteFile(bytes);
  const int32_t result = ImpStart(path.c_str());
  return {result, ImpGetDescr()};
}

TEST(ImpStart, AcceptsOnlyAFileHeaderAsTheFirstNonBlankLine) {
  const std::pair<std::string, int32_t> cases[] = {
      {"[Plik]\n", 1},          {"\n\n[Plik]\nOpis=x\n", 1}, {"[Plik]\r\n", 1},
      {"[Plik]", 3},            {"", 3},                     {"\n\n\n", 3},
      {"[Plik] \n", 3},         {" \n[Plik]\n", 3},          {"[Kosztorys]\n[Plik]\n", 3},
      {"\x1A[Plik]\n", 3},      {"[Plik]\r[Kosztorys]\r", 3},  // a lone CR ends no line
  };
  for (const auto& c : cases) {
    const Started started = StartBytes(c.first);
    EXPECT_EQ(started.result, c.second) << testing::PrintToString(c.first);
    EXPECT_EQ(started.message, "");
    EXPECT_EQ(ImpEnd(), 0);
  }
}

// The numbers as the C libraries of Windows and Linux give them, on every
// target: the WebAssembly build translates its own.
TEST(ImpStart, ReportsTheErrorNumberOfAFailedOpen) {
  const std::pair<const char*, const char*> cases[] = {
      {"/nonexistent/impordano.txt", "2"},  // ENOENT
#if defined(_WIN32)
      {"/", "13"},  // EACCES: the Windows runtime does not open a directory at all
#else
      {"/", "21"},  // EISDIR
#endif
#if defined(__linux__)
      {"/proc/self/mem", "5"},  // EIO: opens, but its first read fails
#endif
      {nullptr, "22"},  // EINVAL
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ImpStart(c.first), IMP_START_FAILED);
    EXPECT_STREQ(ImpGetDescr(), c.second);
    int32_t type = -1;
    unsigned char buffer[IMP_MAX_RECORD_SIZE];
    EXPECT_EQ(ImpGetNextToken(&type, buffer), 0);  // nothing to deliver
    EXPECT_EQ(type, -1);
    EXPECT_EQ(ImpEnd(), 0);
  }
}

// The description is the last "Opis" of the file section, its first field,
// in a text field under the long-text rule: read as hosts read it, it gives
// the whole value, and its full text lasts until ImpEnd, which releases it.
TEST(ImpKosztDescr, ReadsTheFileSectionsOpis) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"Opis=first\nOpis=last\n", "last"},
      {"Opis=one\ttwo\n", "one"},
      {"Nazwa=x\nOpis=remont \xB3\xB9" "ki\n", "remont \xB3\xB9ki"},
      // A text of 251 bytes after a cut one: its slot is 0 again.
      {"Opis=" + Filler(600) + "\n", Filler(600)},
      {"Opis=" + Filler(251) + "\n", Filler(251)},
      {"Opis=" + Filler(250) + "\n", Filler(250)},
      {"Opis=" + Filler(252) + "\n", Filler(252)},
      {"Opis=" + Filler(255) + "\n", Filler(255)},
      {"Opis=\x8C" + Filler(255) + "\n", "\x8C" + Filler(255)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.second.size());
    ASSERT_EQ(StartBytes("[Plik]\n" + c.first + "[Kosztorys]\n").result, 1);
    const char* description = ImpKosztDescr();
    const char* full = IMP_LONG_TEXT(description, IMP_DESCRIPTION_SIZE);
    EXPECT_EQ(full ? full : description, c.second);
    int32_t type = 0;
    unsigned char buffer[IMP_MAX_RECORD_SIZE];
    EXPECT_EQ(ImpGetNextToken(&type, buffer), 0);  // the description ends what the import delivers
    EXPECT_EQ(full ? full : description, c.second);
    EXPECT_EQ(ImpEnd(), 0);
    EXPECT_EQ(imp::LowRegionsInUse(), 0);
  }
}

// The file section names the decimal symbol by its first byte, '.' when
// the value is empty. Only a record import takes it (for later files too);
// a description leaves it as it was.
TEST(FileSection, DecimalSymbol) {
  const std::string symbol = "Symbol dziesi\xEAtny=";
  for (const auto& c : {std::make_pair(symbol + ",x", 1.5), std::make_pair(symbol, 1.0)}) {
    const Import import(Lines({"[Plik]", c.first, "[Pozycja 1]", "Obmiar=1,5"}));
    EXPECT_EQ(import.First<PositionRecord>(IMP_TOKEN_POSITION).quantity, c.second) << c.first;
  }
  ASSERT_EQ(StartBytes("[Plik]\nSymbol dziesi\xEAtny=,\nOpis=d\n").result, 1);
  EXPECT_STREQ(ImpKosztDescr(), "d");
  ImpEnd();
  ASSERT_EQ(StartBytes("[Plik]\n[Pozycja 1]\nObmiar=1,5\n").result, 1);
  int32_t type = 0;
  unsigned char buffer[IMP_MAX_RECORD_SIZE];
  ASSERT_EQ(ImpGetNextToken(&type, buffer), 1);
  ASSERT_EQ(type, IMP_TOKEN_POSITION);
  EXPECT_EQ(reinterpret_cast<PositionRecord*>(buffer)->quantity, 1.0);  // "1,5" read with '.'
  ImpEnd();
}

// Calls out of order, or with null arguments, give nothing and write nothing.
TEST(ImpGetNextToken, GuardsTheCallingOrder) {
  int32_t type = -1;
  unsigned char buffer[IMP_MAX_RECORD_SIZE];
  ASSERT_EQ(StartBytes("[Plik]\n[Kosztorys]\n").result, 1);
  EXPECT_EQ(ImpGetNextToken(nullptr, buffer), 0);
  EXPECT_EQ(ImpGetNextToken(&type, nullptr), 0);
  EXPECT_EQ(ImpGetNextToken(&type, buffer), 1);
  EXPECT_EQ(type, IMP_TOKEN_ESTIMATE);
  EXPECT_STREQ(ImpKosztDescr(), "");  // only right after ImpStart
  EXPECT_EQ(ImpEnd(), 0);
  EXPECT_EQ(ImpEnd(), 0);
  type = -1;
  EXPECT_EQ(ImpGetNextToken(&type, buffer), 0);  // the summary's block is gone
  EXPECT_STREQ(ImpKosztDescr(), "");             // no open import
  ASSERT_EQ(StartBytes("[Plik]\nOpis=d\n[Kosztorys]\n").result, 1);
  EXPECT_STREQ(ImpKosztDescr(), "d");
  EXPECT_STREQ(ImpKosztDescr(), "");  // the file section is read already
  EXPECT_EQ(ImpGetNextToken(&type, buffer), 0);  // no records after a description
  EXPECT_EQ(type, -1);
  ImpEnd();
}

// An import ended half-way, by ImpEnd or by the next ImpStart, leaves
// nothing behind, and the next one starts afresh: its own records and
// rates, and the decimal symbol that a whole reading of the first file
// would have left.
TEST(ImpStart, EndsTheOpenImportAndStartsAfresh) {
  const long regions = imp::LowRegionsInUse();
  for (const bool endFirst : {true, false}) {
    SCOPED_TRACE(endFirst ? "ImpEnd" : "ImpStart");
    int32_t type = 0;
    unsigned char buffer[IMP_MAX_RECORD_SIZE];
    ASSERT_EQ(StartBytes(File({"[Kosztorys]", "[RMS 1]", "Typ=R", "Koszty po\x9Crednie=65",
                               "[Pozycja 1]", "Przedmiar 1=" + Filler(300), "[Element 1]"}, ','))
                  .result, 1);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(ImpGetNextToken(&type, buffer), 1);
    if (endFirst) {
      EXPECT_EQ(ImpEnd(), 0);
      EXPECT_EQ(ImpGetNextToken(&type, buffer), 0);
    }
    ASSERT_EQ(StartBytes(Lines({"[Plik]", "[Pozycja 1]", "Obmiar=2,5", "[RMS 1]", "Typ=R",
                                "Koszty po\x9Crednie=8"})).result, 1);
    std::vector<int32_t> types;
    while (ImpGetNextToken(&type, buffer) == 1) {
      types.push_back(type);
      if (type == IMP_TOKEN_POSITION) {
        EXPECT_EQ(reinterpret_cast<const PositionRecord*>(buffer)->quantity, 2.5);
      } else if (type == IMP_TOKEN_SUMMARY) {
        const auto* summary = reinterpret_cast<const SummaryRecord*>(buffer);
        EXPECT_EQ(Follow<CostItem>(summary->items)->rate, 8.0);
      }
    }
    EXPECT_EQ(types, (std::vector<int32_t>{IMP_TOKEN_POSITION, IMP_TOKEN_RESOURCE, IMP_TOKEN_SUMMARY}));
    ImpEnd();
    EXPECT_EQ(imp::LowRegionsInUse(), regions);
  }
}

// A report is due once the reading stands more than 5,000 bytes on since
// the last one; it takes the call unless a record replaces it.
TEST(ImpGetNextToken, ProgressReports) {
  const std::string padding = "Opis=" + std::string(6000, 'p') + "\n";
  const std::string rest = "[Kosztorys]\n[Element 1]\nOpis=" + std::string(6000, 'e') + "\n";
  // The file header, after blank lines, read to `end` bytes in: the first
  // call reports there and reads no further; the next one reads the file.
  const auto headerEndingAt = [&](size_t end) { return std::string(end - 7, '\n') + "[Plik]\n" + rest; };
  const double size = 5001.0 + static_cast<double>(rest.size());
  struct Case { const char* name; std::string file; std::vector<int32_t> types; std::vector<double> progress; };
  const Case cases[] = {
      {"records left: the due report is replaced", "[Plik]\n" + padding + rest, {2, 6, 3}, {}},
      {"nothing left: the call returns 0 with the report", "[Plik]\n" + padding, {6}, {1.0}},
      {"small files never report", "[Plik]\n[Kosztorys]\n", {2, 6}, {}},
      {"the header read to 5,000 bytes in", headerEndingAt(5000), {2, 6, 3}, {}},
      {"the header read to 5,001 bytes in", headerEndingAt(5001), {2, 6, 3}, {5001.0 / size}},
  };
  for (const Case& c : cases) {
    const Import import(c.file);
    EXPECT_EQ(import.Types(), c.types) << c.name;
    EXPECT_EQ(import.progress, c.progress) << c.name;
  }
}

#if defined(__linux__)
TEST(ImpGetNextToken, NoProgressForAnInputWithoutSize) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const std::string bytes = "[Plik]\nOpis=" + std::string(6000, 'p') + "\n";
  ASSERT_EQ(write(fds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  close(fds[1]);
  const std::string path = "/proc/self/fd/" + std::to_string(fds[0]);
  ASSERT_EQ(ImpStart(path.c_str()), 1);
  int32_t type = 0;
  unsigned char buffer[IMP_MAX_RECORD_SIZE];
  EXPECT_EQ(ImpGetNextToken(&type, buffer), 1);
  EXPECT_EQ(type, IMP_TOKEN_SUMMARY);
  type = 0;
  EXPECT_EQ(ImpGetNextToken(&type, buffer), 0);
  EXPECT_EQ(type, 0);
  ImpEnd();
  close(fds[0]);
}
#endif

// Every allocation of a whole import in turn fails: the import either fails
// as a whole (no record, "12") or, past the last allocation, succeeds whole.
TEST(ImpGetNextToken, RunningOutOfMemoryFailsTheWholeImport) {
  const std::string file = RichFile();
  const Import reference(file);
  ASSERT_EQ(reference.Types().size(), 12u);

  bool succeeded = false;
  for (long n = 0; n < 1000 && !succeeded; ++n) {
    SCOPED_TRACE("allocations allowed: " + std::to_string(n));
    const std::string path = WriteFile(file);
    ASSERT_EQ(ImpStart(path.c_str()), 1);
    imp::InjectFaults(imp::FaultSite::kAllocation, n, imp::kEveryCall, ENOMEM);
    std::vector<int32_t> types;
    int32_t type = 0;
    unsigned char buffer[IMP_MAX_RECORD_SIZE];
    while (ImpGetNextToken(&type, buffer) == 1) types.push_back(type);
    imp::EndFaults();
    succeeded = !types.empty();
    if (succeeded) {
      EXPECT_EQ(types, reference.Types());
      EXPECT_STREQ(ImpGetDescr(), "");
    } else {
      EXPECT_STREQ(ImpGetDescr(), "12");
    }
    EXPECT_EQ(ImpEnd(), 0);
  }
  EXPECT_TRUE(succeeded);
  // And the next import works.
  EXPECT_EQ(Import(file).Types(), reference.Types());
  // No low block outlives its import: ImpEnd releases the blocks behind
  // the slots and the long texts.
  EXPECT_EQ(imp::LowRegionsInUse(), 0);
}

}  // namespace
