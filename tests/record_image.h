// Expected record bytes, written at the offsets of the record layouts, and
// whole-record comparison for the builder tests.
#ifndef IMPORDANO_TESTS_RECORD_IMAGE_H_
#define IMPORDANO_TESTS_RECORD_IMAGE_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace imp_test {

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
  // Copies the 4 slot bytes at `offset` of `actual`, an address, after
  // checking that they are set.
  Image& Slot(size_t offset, const unsigned char* actual) {
    imp_slot slot;
    std::memcpy(&slot, actual + offset, 4);
    EXPECT_NE(slot, 0u) << "slot at " << offset;
    std::memcpy(&bytes.at(offset), &slot, 4);
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
    if (actual[i] == expected.bytes[i]) continue;
    if (++differences <= 12) {
      out << "\n  offset " << i << ": " << int(actual[i]) << ", expected " << int(expected.bytes[i]);
    }
  }
  if (differences == 0) return testing::AssertionSuccess();
  return testing::AssertionFailure() << differences << " bytes differ" << out.str();
}
inline testing::AssertionResult SameBytes(const Token& token, const Image& expected) {
  return SameBytes(token.bytes.data(), token.bytes.size(), expected);
}

// The block that the 4-byte slot at `offset` of a record points to.
inline const unsigned char* Block(const unsigned char* record, size_t offset) {
  imp_slot slot;
  std::memcpy(&slot, record + offset, sizeof slot);
  return Follow<unsigned char>(slot);
}
inline const unsigned char* Block(const Token& token, size_t offset) {
  return Block(token.bytes.data(), offset);
}

inline std::string TextAt(const unsigned char* block, size_t offset) {
  return std::string(reinterpret_cast<const char*>(block + offset));
}

// A text of `length` bytes that shows where it was cut.
inline std::string Filler(size_t length, char first = 'a') {
  std::string text;
  for (size_t i = 0; i < length; ++i) text += static_cast<char>(first + i % 26);
  return text;
}

// An input file: the file section names its decimal symbol (it carries over
// from one import to the next otherwise), then come `lines`.
inline std::string File(std::initializer_list<std::string> lines, char decimalSymbol = '.') {
  std::string text = std::string("[Plik]\nSymbol dziesi\xEAtny=") + decimalSymbol + "\n";
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

}  // namespace imp_test

#endif  // IMPORDANO_TESTS_RECORD_IMAGE_H_
