// How long what the module hands out stays valid: the blocks behind the
// slots of every record delivered and the full texts behind its cut fields,
// and the description's full text, all until ImpEnd, which releases them.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "host/the_import.h"
#include "support/memory.h"
#include "test_support.h"

namespace {

using namespace imp_test;

// Every record kind, with a slot or a cut text in each.
std::string FileWithLongTexts() {
  return File({"Opis=" + Filler(300, 'o'), "[Kosztorys]", "Nazwa=" + Filler(300, 'n'),
               "[Element 1]", "Opis=" + Filler(260, 'e'), "Obmiar=2", "JM=x\t" + Filler(40, 'u'),
               "[Pozycja 1.1]", "Katalog=KNR", "Kolumna=0202-0101-02", "Opis=" + Filler(400, 'd'),
               "Przedmiar 1=" + Filler(300, 'p'), "Komentarz 1=" + Filler(300, 'k'),
               "[RMS 1.1.1]", "Typ=R", "Nazwa=" + Filler(200, 'r'), "Koszty po\x9Crednie=65",
               "[Pozycja 1.2]", "Opis=" + Filler(300, 'q'), "[RMS 1.2.1]", "Typ=S",
               "Tarvo=" + Filler(300, 't')});
}

TEST(Lifetime, RecordsPointToTheirBlocksAndTextsUntilImpEnd) {
  const std::string file = FileWithLongTexts();
  std::string changed = file;
  changed[file.size() - 3] = 'X';
  struct Case { const char* name; size_t changeAfter; };
  const Case cases[] = {
      {"an import read to its end", 0},
      {"an import stopped by a file changed after its third record", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    imp::TheImport().SetChunkSize(64);  // the change lies in a chunk not read again yet
    const std::string path = WriteFile(file);
    ASSERT_EQ(ImpStart(path.c_str()), IMP_START_OK);
    std::vector<Token> tokens;
    std::vector<std::string> described;  // each record and what it points to, when delivered
    alignas(8) unsigned char buffer[IMP_MAX_RECORD_SIZE];
    int32_t type = 0;
    while (ImpGetNextToken(&type, buffer) == 1) {
      tokens.push_back(Token{type, std::vector<unsigned char>(buffer, buffer + sizeof buffer)});
      described.push_back(Describe(tokens.back()));
      if (tokens.size() == c.changeAfter) Rewrite(path, changed);
    }
#if !defined(_WIN32)  // Windows lets nobody write to the file while it is imported
    EXPECT_STREQ(ImpGetDescr(), c.changeAfter ? "5" : "");  // EIO
#endif
    ASSERT_GE(tokens.size(), 3u);
    for (size_t i = 0; i < tokens.size(); ++i) {
      EXPECT_EQ(Describe(tokens[i]), described[i]) << "record " << i;
    }
    EXPECT_EQ(ImpEnd(), 0);
    EXPECT_EQ(imp::LowRegionsInUse(), 0);
  }
  imp::TheImport().SetChunkSize(imp::InputFile::kDefaultChunkSize);
}

TEST(Lifetime, TheDescriptionsFullTextLastsUntilImpEnd) {
  ASSERT_EQ(ImpStart(WriteFile(FileWithLongTexts()).c_str()), IMP_START_OK);
  const char* description = ImpKosztDescr();
  int32_t type = 0;
  unsigned char buffer[IMP_MAX_RECORD_SIZE];
  EXPECT_EQ(ImpGetNextToken(&type, buffer), 0);  // the description ends what the import delivers
  EXPECT_EQ(LongText(description, 256), Filler(300, 'o'));
  EXPECT_EQ(ImpEnd(), 0);
  EXPECT_EQ(imp::LowRegionsInUse(), 0);
}

}  // namespace
