// What the two readings of a file must keep: the same records whatever the
// size of the chunks the file is read in and wherever its header lies, and
// a plan of the first reading that holds what the second one uses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/the_import.h"
#include "test_support.h"

namespace {

using namespace imp_test;

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

// Every whole import checks that its plan reading reserved what the
// records use; these files leave behind what repeated keys reserved.
TEST(Streaming, ThePlanCountsWhatRepeatedKeysLeave) {
  Import(File({"[Pozycja 1]", "Katalog=KNR", "Kolumna=0202-", "Katalog=x"}));
  Import(File({"[RMS 1]", "Tarvo=" + Filler(256), "Tarvo=" + Filler(255)}));
}

}  // namespace
