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

std::string RichFile() {
  std::string file;
  for (const std::string& line : std::vector<std::string>{
           "[Plik]", "Opis=" + Filler(300, 'o'), "Symbol dziesi\xEAtny=,", "[Kosztorys]",
           "Nazwa=" + Filler(300), "Liczba poziom\xF3w=2", "[Element 1]", "Opis=" + Filler(260, 'e'),
           "Obmiar=1,5", "JM=\t" + Filler(40, 'u'), "[Pozycja 1.1]", "Katalog=KNR",
           "Kolumna=0202-" + Filler(300, 'k'), "Opis=" + Filler(400, 'd'), "Obmiar=12,5",
           "JM=m3\tszt", "Przedmiar 2=" + Filler(260, 'p'), "Komentarz 1=" + Filler(300, 'c'),
           "Przedmiar 1=2*3", "Materia\xB3y pomocnicze=5", "[RMS 1.1.1]", "Typ=R",
           "Nazwa=" + Filler(130, 'n'), "Tarvo=0,25", "Wsp\xF3\xB3" "czynnik koryguj\xB9" "cy=2",
           "Koszty po\x9Crednie=65", "Zysk Kb=12", "[RMS 1.1.2]", "Typ=S", "Indeks=" + Filler(32, 'i'),
           "Cena=10,5", "[Pozycja 1.2]", "Katalog=KNR", "Kolumna=0101-01", "Komentarz 3=trzy",
           "[RMS 1.2.1]", "Typ=M", "Koszty zakupu=3,5", "Tarvo=" + Filler(270, 't'),
           "Wsp\xF3\xB3" "czynnik koryguj\xB9" "cy=1,5"}) {
    file += line + "\r\n";
  }
  return file;
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
    const impwalk::Layout* layout = impwalk::RecordLayout(type);
    EXPECT_NE(layout, nullptr) << "unknown token type " << type;
    const size_t size = layout != nullptr ? layout->size : 0;
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

// Each field as its name and bytes (texts: the full text, "*" when cut),
// the blocks behind a slot in braces; the slot's address is left out.
void Flatten(const impwalk::Block& block, std::string* out) {
  for (const impwalk::Value& value : block.values) {
    *out += std::string(value.field->name) + (value.cut ? "*=" : "=") + value.bytes + ";";
    for (const impwalk::Block& target : value.blocks) {
      *out += "{";
      Flatten(target, out);
      *out += "}";
    }
  }
}

}  // namespace

std::string Describe(const Token& token) {
  std::string described = std::to_string(token.type) + ":";
  Flatten(impwalk::WalkRecord(token.type, token.bytes.data(), impwalk::SlotInThisProcess,
                              impwalk::Reserved::kRead),
          &described);
  return described;
}

std::string LongText(const char* field, size_t size) {
  const char* full = IMP_LONG_TEXT(field, size);
  return full != nullptr ? std::string(full) : std::string();
}

testing::AssertionResult SameBytes(const void* actual, const void* expected,
                                   const impwalk::Layout& layout) {
  const auto* a = static_cast<const unsigned char*>(actual);
  const auto* e = static_cast<const unsigned char*>(expected);
  std::string differing;
  for (const impwalk::Field& field : layout) {
    if (std::memcmp(a + field.offset, e + field.offset, field.size) != 0) {
      differing += std::string(" ") + field.name;
    }
  }
  if (differing.empty()) return testing::AssertionSuccess();
  return testing::AssertionFailure() << layout.name << " differs in" << differing;
}

}  // namespace imp_test
