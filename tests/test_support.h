// Helpers for tests that import small estimate files written on the fly.
#ifndef IMPORDANO_TESTS_TEST_SUPPORT_H_
#define IMPORDANO_TESTS_TEST_SUPPORT_H_

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "impordano.h"

namespace imp_test {

// Writes `bytes` to a fresh file in the test's temporary folder; returns its path.
std::string WriteFile(const std::string& bytes);

// Joins lines with "\n" after each one; a file starts with "[Plik]".
std::string Lines(std::initializer_list<std::string> lines);

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
// object goes, so that tests can follow the slots while it lives.
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

// Follows a 4-byte slot to its block.
template <typename T>
const T* Follow(imp_slot slot) {
  return static_cast<const T*>(IMP_SLOT_PTR(slot));
}

// The full text behind a text field of `size` bytes, or "" when it is whole.
std::string LongText(const char* field, size_t size);

}  // namespace imp_test

#endif  // IMPORDANO_TESTS_TEST_SUPPORT_H_
