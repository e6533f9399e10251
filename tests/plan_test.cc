// A plan one byte short: the record reading then asks an arena for more
// than was reserved. Builds with assertions stop at that block, naming the
// section; without them the import completes, and the plan check that
// every whole import of the suite makes (Sizing::Matches) fails.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "host/the_import.h"
#include "impordano.h"
#include "test_support.h"

namespace {

using namespace imp_test;

// The whole import of `path` through the exports, with the session's plan
// of long texts one byte short: what the plan reserved and what was used.
imp::ImportSession::Sizing ImportWithShortPlan(const std::string& path) {
  struct Shortened {
    Shortened() { imp::TheImport().ShortenPlannedLongTexts(1); }
    ~Shortened() { imp::TheImport().ShortenPlannedLongTexts(0); }
  } shortened;
  EXPECT_EQ(ImpStart(path.c_str()), IMP_START_OK);
  int32_t type = 0;
  unsigned char record[IMP_MAX_RECORD_SIZE];
  while (ImpGetNextToken(&type, record) != 0) {
  }
  EXPECT_STREQ(ImpGetDescr(), "");
  const imp::ImportSession::Sizing sizing = imp::TheImport().LastSizing();
  ImpEnd();
  return sizing;
}

TEST(Plan, OneByteShortIsCaught) {
  const std::string path =
      WriteFile(File({"[Element 1]", "Opis=" + Filler(300), "[Pozycja 1.1]", "Opis=kr\xF3tki"}));
#if defined(NDEBUG)
  const imp::ImportSession::Sizing sizing = ImportWithShortPlan(path);
  // The element's text and its NUL, one byte over the plan; under valgrind
  // each block also holds a red zone, in both figures.
  EXPECT_FALSE(sizing.Matches());
  EXPECT_EQ(sizing.usedTexts, sizing.plannedTexts + 1) << sizing.Difference();
  EXPECT_GE(sizing.usedTexts, 301u);
  EXPECT_EQ(sizing.usedBlocks, sizing.plannedBlocks) << sizing.Difference();
#elif GTEST_HAS_DEATH_TEST
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(ImportWithShortPlan(path), "a section \\[Element\\] asked for a block of 301 "
                                          "bytes beyond what was reserved");
#endif
}

}  // namespace
