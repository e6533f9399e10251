#include "test_support.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <vector>

#if defined(_WIN32)
#include <process.h>
#define IMP_TEST_PID _getpid()
#else
#include <unistd.h>
#define IMP_TEST_PID getpid()
#endif

#include "host/the_import.h"
#include "record_walker.h"

namespace imp_test {

std::string WriteFile(const std::string& bytes) {
  // Files still there when the process ends are removed then.
  static struct Written {
    std::vector<std::string> paths;
    ~Written() {
      for (const std::string& path : paths) std::remove(path.c_str());
    }
  } written;
  // ctest runs the test cases as parallel processes: the process id and the
  // test's name keep their files apart (under Node every process has the
  // same id).
  std::string test = "none";
  if (const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info()) {
    test = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : test) {
      if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
  }
  const std::string path = testing::TempDir() + "impordano_test_" + std::to_string(IMP_TEST_PID) +
                           "_" + test + "_" + std::to_string(written.paths.size()) + ".txt";
  written.paths.push_back(path);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

bool Rewrite(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out << bytes;
  return static_cast<bool>(out.flush());
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

Import::Import(const std::string& fileBytes) {
  // The decimal symbol carries over from one import to the next; each test
  // file starts from the default so that tests do not depend on their order.
  imp::TheImport().SetDecimalSymbol('.');
  const std::string path = WriteFile(fileBytes);
  startResult = ImpStart(path.c_str());
  if (startResult != IMP_START_OK) return;
  unsigned char buffer[IMP_MAX_RECORD_SIZE];
  int32_t type = 0;
  for (int guard = 0; guard < 10000000; ++guard) {
    std::memset(buffer, 0xEE, sizeof buffer);
    const int32_t result = ImpGetNextToken(&type, buffer);
    if (type == IMP_TOKEN_PROGRESS) {
      double fraction;
      std::memcpy(&fraction, buffer, sizeof fraction);
      progress.push_back(fraction);
      type = 0;
      if (result == 0) break;
      continue;
    }
    if (result == 0) break;
    static const std::pair<int32_t, size_t> kSizes[] = {
        {IMP_TOKEN_ESTIMATE, sizeof(EstimateRecord)}, {IMP_TOKEN_ELEMENT, sizeof(ElementRecord)},
        {IMP_TOKEN_POSITION, sizeof(PositionRecord)}, {IMP_TOKEN_RESOURCE, sizeof(ResourceRecord)},
        {IMP_TOKEN_SUMMARY, sizeof(SummaryRecord)},
        {IMP_TOKEN_MEASUREMENT_LINE, sizeof(MeasurementLineRecord)}};
    size_t size = 0;
    for (const auto& s : kSizes) {
      if (s.first == type) size = s.second;
    }
    EXPECT_NE(size, 0u) << "unknown token type " << type;
    // The bytes past the record must be untouched.
    for (size_t i = size; i < sizeof buffer; ++i) {
      if (buffer[i] != 0xEE) {
        ADD_FAILURE() << "token " << type << " wrote past its size at " << i;
        break;
      }
    }
    tokens.push_back(Token{type, std::vector<unsigned char>(buffer, buffer + size)});
  }
  // An import delivered whole used exactly what its plan reading reserved.
  if (ImpGetDescr()[0] == '\0') {
    const imp::ImportSession::Sizing sizing = imp::TheImport().LastSizing();
    EXPECT_TRUE(sizing.Matches()) << sizing.Difference();
  }
  std::remove(path.c_str());
}

Import::~Import() {
  if (startResult == IMP_START_OK) ImpEnd();
}

std::vector<int32_t> Import::Types() const {
  std::vector<int32_t> types;
  for (const Token& token : tokens) types.push_back(token.type);
  return types;
}

std::vector<const Token*> Import::OfType(int32_t type) const {
  std::vector<const Token*> found;
  for (const Token& token : tokens) {
    if (token.type == type) found.push_back(&token);
  }
  return found;
}

namespace {

std::string Hex(const std::vector<unsigned char>& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char b : bytes) hex += std::string{digits[b >> 4], digits[b & 15]};
  return hex;
}

// The block of `layout` at `data` in hex, by the walker's layout tables: the
// slot of each text field under the long-text rule becomes zero, its full
// text or a stale address behind a shorter text noted; each slot to blocks
// becomes zero, and the blocks are described in its place.
std::string DescribeBlock(const impwalk::Layout& layout, const unsigned char* data) {
  std::vector<unsigned char> bytes(data, data + layout.size);
  const impwalk::Block walked =
      impwalk::WalkBlock(layout, data, impwalk::SlotInThisProcess, impwalk::Reserved::kSkip);
  std::string notes;
  for (const impwalk::Value& value : walked.values) {
    const impwalk::Field& field = *value.field;
    const std::string at = std::to_string(field.offset);
    if (field.kind == impwalk::FieldKind::kLongText) {
      const size_t slot = field.offset + IMP_LONG_TEXT_SLOT_OFFSET(field.size);
      const auto* text = reinterpret_cast<const char*>(data + field.offset);
      size_t length = 0;
      while (length < field.size && text[length] != '\0') ++length;
      if (length > IMP_LONG_TEXT_CUT_LENGTH(field.size)) continue;  // the text fills the slot
      if (value.cut) {
        notes += " text@" + at + "=" + value.bytes;
      } else if (length < IMP_LONG_TEXT_CUT_LENGTH(field.size) && Block(data, slot) != nullptr) {
        notes += " stale@" + at;
      }
      std::memset(bytes.data() + slot, 0, IMP_LONG_TEXT_SLOT_SIZE);
    } else if (field.kind == impwalk::FieldKind::kBlock ||
               field.kind == impwalk::FieldKind::kItems) {
      notes += " block@" + at + "=";
      const unsigned char* block = Block(data, field.offset);
      for (size_t i = 0; i < value.blocks.size(); ++i) {
        notes += DescribeBlock(*field.target, block + i * static_cast<size_t>(
                                                          field.kind == impwalk::FieldKind::kItems
                                                              ? value.itemSize
                                                              : field.target->size));
      }
      std::memset(bytes.data() + field.offset, 0, sizeof(imp_slot));
    }
  }
  return Hex(bytes) + notes;
}

}  // namespace

std::string Describe(const Token& token) {
  const impwalk::Layout* layout = impwalk::RecordLayout(token.type);
  if (layout == nullptr) return std::to_string(token.type) + ":" + Hex(token.bytes);
  return std::to_string(token.type) + ":" + DescribeBlock(*layout, token.bytes.data());
}

std::string LongText(const char* field, size_t size) {
  const char* full = IMP_LONG_TEXT(field, size);
  return full != nullptr ? std::string(full) : std::string();
}

}  // namespace imp_test
