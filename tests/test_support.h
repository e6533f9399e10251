// Helpers for tests that import small estimate files written on the fly and
// compare the records with the ones expected. Records are read and set
// through the public header's structs; their fixed initial values are
// pinned once, by the golden `impordano-dump --all` output of the house
// sample (tools/tests), so tests take the record of a bare section as the
// base of what they expect.
#ifndef IMPORDANO_TESTS_TEST_SUPPORT_H_
#define IMPORDANO_TESTS_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "impordano.h"
#include "layouts.h"

namespace imp_test {

// Writes `bytes` to a fresh file in the test's temporary folder; returns its path.
std::string WriteFile(const std::string& bytes);

// Writes `bytes` into the file at `path` in place, as another program
// would while an import reads it; false when the file cannot be written.
bool Rewrite(const std::string& path, const std::string& bytes);

// Joins lines with "\n" after each one.
std::string Lines(const std::vector<std::string>& lines);

// An input file: the file section names its decimal symbol (it carries over
// from one import to the next otherwise), then come `lines`.
inline std::string File(const std::vector<std::string>& lines, char decimalSymbol = '.') {
  return std::string("[Plik]\nSymbol dziesi\xEAtny=") + decimalSymbol + "\n" + Lines(lines);
}

// A text of `length` bytes that shows where it was cut.
inline std::string Filler(size_t length, char first = 'a') {
  std::string text;
  for (size_t i = 0; i < length; ++i) text += static_cast<char>(first + i % 26);
  return text;
}

// A file with every record kind and a cut text in each, measurement lines
// out of order, auxiliary materials, an 'S' resource, and the CR LF line
// ends and decimal comma of real exports.
std::string RichFile();

struct Token {
  int32_t type;
  std::vector<unsigned char> bytes;

  template <typename Record>
  const Record& As() const {
    return *reinterpret_cast<const Record*>(bytes.data());
  }
};

// One whole import: ImpStart, ImpGetNextToken until 0, and ImpEnd when the
// object goes, so that tests can follow the slots while it lives. An import
// that ends without an error must have used exactly what its plan reading
// reserved (ImportSession::Sizing::Matches): a failure otherwise.
class Import {
 public:
  explicit Import(const std::string& fileBytes);
  ~Import();
  Import(const Import&) = delete;
  Import& operator=(const Import&) = delete;

  int32_t startResult = 0;
  std::vector<Token> tokens;    // records, progress reports left out
  std::vector<double> progress; // fractions of the progress reports
  std::vector<int32_t> Types() const;
  // The records of one type, in delivery order.
  std::vector<const Token*> OfType(int32_t type) const;

  // A copy of the first record of `type`; a failure, and zeros, without one.
  template <typename Record>
  Record First(int32_t type) const {
    Record record{};
    const auto found = OfType(type);
    if (found.empty()) {
      ADD_FAILURE() << "no record of type " << type;
    } else {
      std::memcpy(&record, found[0]->bytes.data(), sizeof record);
    }
    return record;
  }
};

// A record with every slot replaced by what it points to (a block, with its
// own slots replaced, or the full text behind a cut text field), read by
// the walker's layouts, reserved fields included: two imports of one file
// describe their records alike wherever their blocks lie.
std::string Describe(const Token& token);

// The full text behind a text field of `size` bytes, or "" when it is whole.
std::string LongText(const char* field, size_t size);

// The block a slot points to.
template <typename Block>
const Block* Follow(imp_slot slot) {
  return static_cast<const Block*>(IMP_SLOT_PTR(slot));
}

// Writes `text` and its NUL at the start of a text field, as the module
// does: the bytes behind the NUL stay as they were.
template <size_t N>
void SetText(char (&field)[N], const std::string& text) {
  ASSERT_LT(text.size(), N) << text;
  std::memcpy(field, text.c_str(), text.size() + 1);
}

// Whole comparison of a record or block with the expected one; a failure
// names the fields that differ.
testing::AssertionResult SameBytes(const void* actual, const void* expected,
                                   const impwalk::Layout& layout);

#define IMP_TEST_LAYOUT(Struct) \
  inline const impwalk::Layout& LayoutOf(const Struct&) { return impwalk::k##Struct##Layout; }
IMP_TEST_LAYOUT(EstimateRecord)
IMP_TEST_LAYOUT(ElementRecord)
IMP_TEST_LAYOUT(QuantityItem)
IMP_TEST_LAYOUT(PositionRecord)
IMP_TEST_LAYOUT(CatalogueDetail)
IMP_TEST_LAYOUT(MeasurementLineRecord)
IMP_TEST_LAYOUT(ResourceRecord)
IMP_TEST_LAYOUT(SummaryRecord)
IMP_TEST_LAYOUT(CostItem)
#undef IMP_TEST_LAYOUT

template <typename Record>
testing::AssertionResult SameRecord(const Record& actual, const Record& expected) {
  return SameBytes(&actual, &expected, LayoutOf(actual));
}

// A table of key lines of one section: each case's lines follow `header`,
// and its record must be the record of the bare header as `expect` changes it.
template <typename Record>
struct KeyCase {
  const char* name;
  std::vector<std::string> lines;
  std::function<void(Record&)> expect;
  char decimalSymbol = '.';
};

template <typename Record>
void ExpectKeyLines(int32_t type, const std::string& header,
                    const std::vector<KeyCase<Record>>& cases) {
  const Record bare = Import(File({header})).First<Record>(type);
  for (const KeyCase<Record>& c : cases) {
    SCOPED_TRACE(c.name);
    const Import import(File({header}, c.decimalSymbol) + Lines(c.lines));
    ASSERT_EQ(import.OfType(type).size(), 1u);
    Record expected = bare;
    c.expect(expected);
    EXPECT_TRUE(SameRecord(import.First<Record>(type), expected));
  }
}

}  // namespace imp_test

#endif  // IMPORDANO_TESTS_TEST_SUPPORT_H_
