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
      {"\x1A[Plik]\n", 3},
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

TEST(ImpEnd, TwiceAndWithoutAnImport) {
  ASSERT_EQ(StartBytes("[Plik]\n").result, 1);
  EXPECT_EQ(ImpEnd(), 0);
  EXPECT_EQ(ImpEnd(), 0);
}

std::string Description(const std::string& fileSection) {
  const Started started = StartBytes("[Plik]\n" + fileSection + "[Kosztorys]\n");
  EXPECT_EQ(started.result, 1);
  const char* description = ImpKosztDescr();
  std::string text(description, 256);
  ImpEnd();
  return text;
}

TEST(ImpKosztDescr, ReadsTheFileSectionsOpis) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"Opis=first\nOpis=last\n", "last"},
      {"Opis=one\ttwo\n", "one"},
      {"Nazwa=x\nOpis=remont \xB3\xB9" "ki\n", "remont \xB3\xB9ki"},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(Description(c.first).c_str(), c.second.c_str()) << c.first;
  }
  const std::string whole(251, 'w');
  std::string field = Description("Opis=" + whole + "\n");
  EXPECT_EQ(field.substr(0, 252), whole + '\0');
  EXPECT_EQ(field.substr(252), std::string(4, '\0'));

  // The full text stays readable until the host's next call.
  ASSERT_EQ(StartBytes("[Plik]\nOpis=" + std::string(300, 'c') + "\n").result, 1);
  const char* description = ImpKosztDescr();
  EXPECT_EQ(std::string(description), std::string(251, 'c'));
  EXPECT_EQ(imp_test::LongText(description, 256), std::string(300, 'c'));
  ImpEnd();
}

TEST(ImpKosztDescr, OnlyOnAFreshImport) {
  ASSERT_EQ(StartBytes("[Plik]\nOpis=d\n[Kosztorys]\n").result, 1);
  EXPECT_STREQ(ImpKosztDescr(), "d");
  EXPECT_STREQ(ImpKosztDescr(), "");  // the file section is read already
  int32_t type = -1;
  unsigned char buffer[IMP_MAX_RECORD_SIZE];
  EXPECT_EQ(ImpGetNextToken(&type, buffer), 0);  // no import after a description
  EXPECT_EQ(type, -1);
  ImpEnd();
  EXPECT_STREQ(ImpKosztDescr(), "");  // no open import
}

// Only a record import takes the decimal symbol its file names (for later
// files too); a description leaves it as it was.
TEST(ImpKosztDescr, LeavesTheDecimalSymbol) {
  { const Import withPoint(File({}, '.')); }
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

TEST(ImpGetNextToken, GuardsTheCallingOrder) {
  int32_t type = -1;
  unsigned char buffer[IMP_MAX_RECORD_SIZE];
  ASSERT_EQ(StartBytes("[Plik]\n[Kosztorys]\n").result, 1);
  EXPECT_EQ(ImpGetNextToken(nullptr, buffer), 0);
  EXPECT_EQ(ImpGetNextToken(&type, nullptr), 0);
  EXPECT_EQ(ImpGetNextToken(&type, buffer), 1);
  EXPECT_EQ(type, IMP_TOKEN_ESTIMATE);
  ImpEnd();
  type = -1;
  EXPECT_EQ(ImpGetNextToken(&type, buffer), 0);  // the summary's block is gone
  EXPECT_EQ(type, -1);
}

TEST(ImpStart, EndsTheOpenImportAndStartsAfresh) {
  int32_t type = 0;
  unsigned char buffer[IMP_MAX_RECORD_SIZE];
  ASSERT_EQ(StartBytes("[Plik]\nSymbol dziesi\xEAtny=,\n[Element 1]\n[Element 2]\n").result, 1);
  ASSERT_EQ(ImpGetNextToken(&type, buffer), 1);
  ASSERT_EQ(StartBytes("[Plik]\n[Pozycja 1]\nObmiar=1,5\n").result, 1);  // no ImpEnd between
  std::vector<int32_t> types;
  while (ImpGetNextToken(&type, buffer) == 1) {
    types.push_back(type);
    if (type == IMP_TOKEN_POSITION) {
      // The decimal symbol of the first file carries over.
      EXPECT_EQ(reinterpret_cast<PositionRecord*>(buffer)->quantity, 1.5);
    }
  }
  EXPECT_EQ(types, (std::vector<int32_t>{IMP_TOKEN_POSITION, IMP_TOKEN_SUMMARY}));
  ImpEnd();
}

TEST(ImpGetNextToken, ProgressReports) {
  const std::string padding = "Opis=" + std::string(6000, 'p') + "\n";
  {
    // Records left: the due report is replaced by the next record.
    Import import("[Plik]\n" + padding + "[Kosztorys]\n[Element 1]\n");
    EXPECT_EQ(import.Types(), (std::vector<int32_t>{2, 6, 3}));
    EXPECT_TRUE(import.progress.empty());
  }
  {
    // Nothing left: the call returns 0 with the report.
    Import import("[Plik]\n" + padding);
    EXPECT_EQ(import.Types(), (std::vector<int32_t>{6}));
    EXPECT_EQ(import.progress, (std::vector<double>{1.0}));
  }
  {
    Import import("[Plik]\n[Kosztorys]\n");  // small files never report
    EXPECT_TRUE(import.progress.empty());
  }
  {
    // The file header more than 5000 bytes in: the first call reports where
    // the reading stands and reads no further; the next one reads the file.
    const std::string blanks(6000, '\n');
    const std::string rest = "[Kosztorys]\n[Element 1]\nOpis=" + std::string(6000, 'e') + "\n";
    Import import(blanks + "[Plik]\n" + rest);
    EXPECT_EQ(import.Types(), (std::vector<int32_t>{2, 6, 3}));
    const double size = static_cast<double>(blanks.size() + 7 + rest.size());
    EXPECT_EQ(import.progress, (std::vector<double>{(blanks.size() + 7) / size}));
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
  const std::string file = Lines(
      {"[Plik]", "[Kosztorys]", "Nazwa=" + std::string(300, 'n'), "[Element 1]", "Obmiar=2",
       "[Pozycja 1.1]", "Katalog=KNR", "Kolumna=0202-0101-02", "Przedmiar 1=2*3",
       "Komentarz 2=" + std::string(300, 'k'), "Materia\xB3y pomocnicze=5", "[RMS 1]", "Typ=R",
       "Koszty po\x9Crednie=60", "Zysk Kb=10", "Koszty zakupu=5", "Zysk Kz=3", "[RMS 2]",
       "Typ=S", "Nazwa=" + std::string(200, 's')});
  const Import reference(file);
  ASSERT_EQ(reference.Types().size(), 9u);

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
