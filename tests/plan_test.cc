// A plan short of one count: the second reading then asks an arena for more
// than was reserved. Builds with assertions stop at that block, naming the
// section; without them the import completes and the check every whole
// import of the suite makes (PlanMatchesUse) reports the difference.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "host/record_stream.h"
#include "host/survey_pass.h"
#include "impordano.h"
#include "reader/input_file.h"
#include "reader/line_reader.h"
#include "reader/long_text_store.h"
#include "records/import_plan.h"
#include "support/arena.h"
#include "test_support.h"

namespace {

using namespace imp_test;

// The two readings of a file, as the session runs them, with a plan whose
// long texts lack the footprint of one text of `cutLength` bytes.
imp::ImportSession::Sizing ImportWithShortPlan(const std::string& path, size_t cutLength) {
  imp::InputFile input;
  imp::LongTextStore texts;
  imp::Arena blocks(8);
  imp::LineReader reader(input, texts);
  imp::ImportPlan plan(texts, blocks);
  imp::RecordStream stream(reader, texts, blocks);
  int error = 0;
  EXPECT_TRUE(input.Open(path.c_str(), &error));
  reader.Begin();
  EXPECT_EQ(reader.ReadLine(), imp::kFileHeader);
  imp::SurveyFile(reader, plan);
  plan.longTextBytes -= texts.Footprint(cutLength);  // the count left out
  texts.Reserve(plan.longTextBytes, imp::Arena::Beyond::kIsAFault);
  blocks.Reserve(plan.blockBytes, imp::Arena::Beyond::kIsAFault);
  stream.Start(plan);
  EXPECT_TRUE(reader.RestartAt(0));
  EXPECT_EQ(reader.ReadLine(), imp::kFileHeader);
  unsigned char record[IMP_MAX_RECORD_SIZE];
  while (stream.Next(record) != 0) {
  }
  return {plan.longTextBytes, texts.Used(), plan.blockBytes, blocks.Used(),
          plan.takeOffLines, stream.TakeOffLines().MostLines(), plan.takeOffTextBytes,
          stream.TakeOffLines().MostTextBytes()};
}

TEST(Plan, OneCountLessIsCaught) {
  const std::string path =
      WriteFile(File({"[Element 1]", "Opis=" + Filler(300), "[Pozycja 1.1]", "Opis=kr\xF3tki"}));
#if defined(NDEBUG)
  EXPECT_FALSE(PlanMatchesUse(ImportWithShortPlan(path, 300)));
#elif GTEST_HAS_DEATH_TEST
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(ImportWithShortPlan(path, 300), "a section \\[Element\\] asked for a block of 301 "
                                               "bytes beyond what was reserved");
#endif
}

}  // namespace
