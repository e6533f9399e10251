// A read that fails is not the end of the file. In the first reading it
// fails the import before its first record, with the system's error
// number; in the second it stops the import as a changed file does ("5").
// The faults come from the module's fault seam, which makes chosen reads
// fail.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "host/the_import.h"
#include "support/fault_injection.h"
#include "test_support.h"

namespace {

using namespace imp_test;

constexpr size_t kChunk = 64;

// Reads of the file in chunks of kChunk bytes; from the read after
// `skipped` on, `count` reads fail with ENXIO.
struct Faults {
  Faults(long skipped, long count) {
    imp::TheImport().SetChunkSize(kChunk);
    imp::InjectFaults(imp::FaultSite::kRead, skipped, count, ENXIO);
  }
  ~Faults() {
    imp::EndFaults();
    imp::TheImport().SetChunkSize(imp::InputFile::kDefaultChunkSize);
  }
};

struct Outcome {
  int32_t start;
  std::string message;
  std::vector<int32_t> records;  // token types: the blocks of a failed import are gone
};

Outcome ImportWithFaults(const std::string& file, long skipped, long count) {
  Faults faults(skipped, count);
  const Import import(file);
  return Outcome{import.startResult, ImpGetDescr(), import.Types()};
}

// A file whose lines end exactly at chunk boundaries, and which ends at
// one: the read after a full chunk is where the end of the file would be.
std::string AlignedFile() {
  std::string file = "[Plik]\n";
  const std::vector<std::string> sections = {"[Kosztorys]", "[Element 1]", "[Pozycja 1.1]",
                                             "[RMS 1.1.1]", "[Pozycja 1.2]", "[RMS 1.2.1]"};
  for (const std::string& header : sections) {
    file += header + "\n";
    // "Opis=" and the LF: the section then ends at a chunk boundary.
    const size_t rest = kChunk - file.size() % kChunk;
    file += "Opis=" + Filler(rest < 7 ? rest + kChunk - 6 : rest - 6) + "\n";
  }
  return file;
}

// Every read of both readings fails in turn, once and for good. A fault up
// to the header fails ImpStart; one in the rest of the first reading fails
// the import before its first record, whether it lasts or heals; one in the
// second reading stops it after records that the import without faults
// delivers first; beyond the last read nothing changes.
TEST(ReadError, EachReadOfBothReadingsFailsInTurn) {
  // ENXIO and EIO as hosts know them on every target.
  const std::string six = "6", changed = "5";
  // The rich file ends inside a chunk.
  for (const std::string& file : {AlignedFile(), RichFile()}) {
    SCOPED_TRACE(file.size() % kChunk == 0 ? "file of whole chunks" : "file ending inside a chunk");
    const Outcome whole = ImportWithFaults(file, -1, 0);
    ASSERT_EQ(whole.message, "");
    ASSERT_GE(whole.records.size(), 6u);
    const long reads = static_cast<long>(file.size() / kChunk) + 1;  // the last finds the end
    int firstReading = 0, secondReading = 0;
    for (long skipped = 0; skipped <= 2 * reads + 1; ++skipped) {
      for (long count : {1L, 1000L}) {
        SCOPED_TRACE("reads before the fault: " + std::to_string(skipped) +
                     (count == 1 ? ", then it heals" : ", for good"));
        const Outcome got = ImportWithFaults(file, skipped, count);
        if (skipped == 0) {  // the header's chunk
          EXPECT_EQ(got.start, IMP_START_FAILED);
          EXPECT_EQ(got.message, six);
        } else if (skipped < reads) {
          ++firstReading;
          EXPECT_EQ(got.start, IMP_START_OK);
          EXPECT_EQ(got.message, six);
          EXPECT_TRUE(got.records.empty());
        } else if (skipped < 2 * reads) {
          ++secondReading;
          EXPECT_EQ(got.message, changed);
          ASSERT_LT(got.records.size(), whole.records.size());
          EXPECT_EQ(got.records, std::vector<int32_t>(whole.records.begin(),
                                                      whole.records.begin() + got.records.size()));
        } else {
          EXPECT_EQ(got.message, "");
          EXPECT_EQ(got.records, whole.records);
        }
      }
    }
    EXPECT_GT(firstReading, 4);
    EXPECT_GT(secondReading, 4);
  }
}

}  // namespace
