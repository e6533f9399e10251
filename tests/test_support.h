// Helpers for tests that import small estimate files written on the fly and
// compare the records with expected bytes.
#ifndef IMPORDANO_TESTS_TEST_SUPPORT_H_
#define IMPORDANO_TESTS_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "host/import_session.h"
#include "impordano.h"

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

struct Token {
  int32_t type;
  std::vector<unsigned char> bytes;

  template <typename Record>
  const Record& As() const {
    return *reinterpret_cast<const Record*>(bytes.data());
  }
  int32_t Int(size_t offset) const {
    int32_t v;
    std::memcpy(&v, bytes.data() + offset, sizeof v);
    return v;
  }
  double Double(size_t offset) const {
    double v;
    std::memcpy(&v, bytes.data() + offset, sizeof v);
    return v;
  }
  std::string Text(size_t offset) const {
    return std::string(reinterpret_cast<const char*>(bytes.data() + offset));
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
};

// A record's bytes in hex, with every slot replaced by a description of
// what it points to (a block, with its own slots described, or the full
// text behind a cut text field), read by tools/record_walker's layouts: two
// imports of one file describe their records alike wherever their blocks
// lie.
std::string Describe(const Token& token);

// The full text behind a text field of `size` bytes, or "" when it is whole.
std::string LongText(const char* field, size_t size);

// The block that the 4-byte slot at `offset` of a record points to.
inline const unsigned char* Block(const unsigned char* record, size_t offset) {
  imp_slot slot;
  std::memcpy(&slot, record + offset, sizeof slot);
  return static_cast<const unsigned char*>(IMP_SLOT_PTR(slot));
}
inline const unsigned char* Block(const Token& token, size_t offset) {
  return Block(token.bytes.data(), offset);
}

inline std::string TextAt(const unsigned char* block, size_t offset) {
  return std::string(reinterpret_cast<const char*>(block + offset));
}

// Expected record bytes, written at the offsets of the record layouts.
class Image {
 public:
  explicit Image(size_t size) : bytes(size, 0) {}

  // `count` int32 values from `offset` on.
  Image& Int(size_t offset, int32_t value, int count = 1) {
    for (int i = 0; i < count; ++i) std::memcpy(&bytes.at(offset + 4 * i), &value, 4);
    return *this;
  }
  Image& Double(size_t offset, double value) {
    std::memcpy(&bytes.at(offset), &value, 8);
    return *this;
  }
  // Copies the 4 slot bytes at `offset` of `actual` after checking that
  // they are set.
  Image& Slot(size_t offset, const unsigned char* actual) {
    EXPECT_NE(Block(actual, offset), nullptr) << "slot at " << offset;
    std::memcpy(&bytes.at(offset), actual + offset, 4);
    return *this;
  }
  // The text and its NUL.
  Image& Text(size_t offset, const std::string& text) {
    bytes.at(offset + text.size()) = 0;
    std::memcpy(&bytes.at(offset), text.data(), text.size());
    return *this;
  }

  std::vector<unsigned char> bytes;
};

// Whole comparison; a failure names the first differing offsets.
inline testing::AssertionResult SameBytes(const unsigned char* actual, size_t size,
                                          const Image& expected) {
  if (size != expected.bytes.size()) {
    return testing::AssertionFailure() << "size " << size << ", expected " << expected.bytes.size();
  }
  std::ostringstream out;
  int differences = 0;
  for (size_t i = 0; i < size; ++i) {
    if (actual[i] != expected.bytes[i] && ++differences <= 12) {
      out << "\n  offset " << i << ": " << int(actual[i]) << ", expected " << int(expected.bytes[i]);
    }
  }
  if (differences == 0) return testing::AssertionSuccess();
  return testing::AssertionFailure() << differences << " bytes differ" << out.str();
}
inline testing::AssertionResult SameBytes(const Token& token, const Image& expected) {
  return SameBytes(token.bytes.data(), token.bytes.size(), expected);
}

}  // namespace imp_test

#endif  // IMPORDANO_TESTS_TEST_SUPPORT_H_
