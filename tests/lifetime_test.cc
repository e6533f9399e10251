// How long what the module hands out stays valid: the blocks behind the
// slots of every record delivered and the full texts behind its cut fields,
// until ImpEnd, which releases them; the description's are tested with
// ImpKosztDescr.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/the_import.h"
#include "support/memory.h"
#include "test_support.h"

namespace {

using namespace imp_test;

TEST(Lifetime, RecordsPointToTheirBlocksAndTextsUntilImpEnd) {
  const std::string file = RichFile();
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

}  // namespace
