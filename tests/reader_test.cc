// The line reader: classification, splitting, the getters and text mode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reader/line_reader.h"
#include "reader/long_text_store.h"
#include "test_support.h"

namespace {

using imp::LineReader;

// A reader over a file holding `bytes`.
class ReaderOver {
 public:
  explicit ReaderOver(const std::string& bytes, char decimalSymbol = '.') {
    path_ = imp_test::WriteFile(bytes);
    int error = 0;
    EXPECT_TRUE(input_.Open(path_.c_str(), &error)) << error;
    reader.Attach(&input_, &store);
    reader.decimalSymbol = decimalSymbol;
  }
  ~ReaderOver() {
    input_.Close();
    std::remove(path_.c_str());
  }
  std::vector<std::string> Fields() const {
    return std::vector<std::string>(reader.fields, reader.fields + reader.fieldCount);
  }

  LineReader reader;
  imp::LongTextStore store;
  imp::InputStream& input() { return input_; }

 private:
  std::string path_;
  imp::InputStream input_;
};

TEST(LineReader, ClassifiesAndSplitsLines) {
  struct Case {
    std::string line;
    int32_t kind;
    std::string key;
    std::vector<std::string> fields;
  };
  const std::string tenth = "j\tk\tl";
  const Case cases[] = {
      {"[Plik]\n", imp::kFileHeader, "", {}},
      {"[Kosztorys]\n", imp::kEstimateHeader, "", {}},
      {"[Plik] \n", imp::kOtherLine, "", {}},
      {"[Kosztorys]x\n", imp::kOtherLine, "", {}},
      {"[Plik]", imp::kUnterminatedLine, "", {}},
      {"\n", imp::kOtherLine, "", {}},
      {"   \n", imp::kOtherLine, "", {}},
      {"[Elementy]\n", imp::kOtherLine, "", {}},
      {"[Element 2]\n", imp::kElementHeader, "", {"2]\n"}},
      {"[Element 1.2]\n", imp::kElementHeader, "", {"1", "2]\n"}},
      {"[Element ]\n", imp::kElementHeader, "", {"]\n"}},
      {"[Pozycja 1.2.3]\n", imp::kPositionHeader, "", {"1", "2", "3]\n"}},
      {"[RMS 1.2.3.4]\n", imp::kResourceHeader, "", {"1", "2", "3", "4]\n"}},
      {"[Element 1.2.3.4.5.6.7.8.9.10.11]\n", imp::kElementHeader, "",
       {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10.11]\n"}},
      {"[Element 1.2]=x\n", imp::kKeyLine, "[Element 1.2]", {"x"}},
      {"Nazwa=\n", imp::kKeyLine, "Nazwa", {}},
      {"Cena=\t12\n", imp::kKeyLine, "Cena", {"", "12"}},
      {"a=b=c\n", imp::kKeyLine, "a", {"b=c"}},
      {"=v\n", imp::kKeyLine, "", {"v"}},
      {"k=a\t\tb\t\n", imp::kKeyLine, "k", {"a", "", "b", ""}},
      {"k=a\tb\tc\td\te\tf\tg\th\ti\t" + tenth + "\n", imp::kKeyLine, "k",
       {"a", "b", "c", "d", "e", "f", "g", "h", "i", tenth}},
      {std::string(70, 'K') + "=v\n", imp::kKeyLine, std::string(63, 'K'), {"v"}},
      {"Opis=a\rb\n", imp::kKeyLine, "Opis", {"a\rb"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.line));
    ReaderOver over(c.line.back() == '\n' ? c.line + "[Plik]\n" : c.line);
    EXPECT_EQ(over.reader.ReadLine(), c.kind);
    if (c.kind != imp::kUnterminatedLine) {
      EXPECT_EQ(std::string(over.reader.key), c.key);
    }
    EXPECT_EQ(over.Fields(), c.fields);
  }
}

TEST(LineReader, TextModeAndLineLimits) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<int32_t> kinds;
  };
  const std::string longest(9190, 'x');  // with its LF: the longest line that fits
  const Case cases[] = {
      {"CR LF reads as LF", "[Plik]\r\n[Kosztorys]\r\n", {1, 0, 6}},
      {"a lone CR stays", "[Plik]\r[Kosztorys]\n", {8, 6}},
      {"CR CR LF keeps one CR", "[Plik]\r\r\n", {8, 6}},
      {"0x1A ends the input", "[Plik]\n\x1A[Kosztorys]\n", {1, 6, 6}},
      {"no final LF", "[Plik]\n[Kosztorys]", {1, 7, 6}},
      {"9191 bytes with the LF fit", longest + "\n", {8, 6}},
      {"9191 bytes of text split", longest + "x\n", {7, 8, 6}},
      {"the rest of a long line is a line of its own", std::string(9191, 'y') + "=v\n", {7, 5, 6}},
      {"NUL bytes inside a line", std::string("a\0b=c\0d\n[Plik]\n", 15), {5, 1, 6}},
      {"empty file", "", {6, 6}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReaderOver over(c.bytes);
    std::vector<int32_t> kinds;
    for (size_t i = 0; i < c.kinds.size(); ++i) {
      kinds.push_back(over.reader.ReadLine());
      if (kinds.back() == imp::kEndOfFile || kinds.back() == imp::kUnterminatedLine) {
        EXPECT_EQ(over.reader.fieldCount, 0);
      }
    }
    EXPECT_EQ(kinds, c.kinds);
  }
}

TEST(LineReader, PositionCountsRawBytes) {
  ReaderOver over("[Plik]\r\nab\r\n");
  over.reader.ReadLine();
  EXPECT_EQ(over.input().Position(), 8);
  over.reader.ReadLine();
  EXPECT_EQ(over.input().Position(), 12);
  EXPECT_EQ(over.input().Size(), 12);
}

TEST(LineReader, Getters) {
  ReaderOver over("k=12\t\tx\t12.5\t 3]\n\t-7\t\xB3\t99999999999999\t-99999999999999\t+4\n");
  LineReader& r = over.reader;
  ASSERT_EQ(r.ReadLine(), imp::kKeyLine);
  EXPECT_EQ(r.FieldInt(0, 7), 12);
  EXPECT_EQ(r.FieldInt(1, 7), 7);    // empty field: the default
  EXPECT_EQ(r.FieldInt(2, 7), 0);    // no digits: 0
  EXPECT_EQ(r.FieldInt(3, 7), 12);
  EXPECT_EQ(r.FieldInt(4, 7), 3);
  EXPECT_EQ(r.FieldInt(9, 7), 7);    // missing field
  EXPECT_EQ(r.FieldChar(2, 0), 'x');
  EXPECT_EQ(r.FieldChar(1, 65), 65);
  EXPECT_EQ(r.FieldDouble(3, -1.0), 12.5);
  EXPECT_EQ(r.FieldDouble(1, -1.0), -1.0);
  EXPECT_EQ(r.FieldDouble(2, -1.0), 0.0);
  ASSERT_EQ(r.ReadLine(), imp::kOtherLine);  // a line without '=' has no fields
  EXPECT_EQ(r.FieldInt(0, 5), 5);

  ReaderOver numbers("k=-7\t\xB3\t99999999999999\t-99999999999999\t+4\n");
  LineReader& n = numbers.reader;
  ASSERT_EQ(n.ReadLine(), imp::kKeyLine);
  EXPECT_EQ(n.FieldInt(0, 0), -7);
  EXPECT_EQ(n.FieldChar(1, 0), 179);  // bytes from 0x80 up are never negative
  EXPECT_EQ(n.FieldInt(2, 0), INT32_MAX);
  EXPECT_EQ(n.FieldInt(3, 0), INT32_MIN);
  EXPECT_EQ(n.FieldInt(4, 0), 4);
}

TEST(LineReader, DecimalSymbol) {
  struct Case {
    char symbol;
    const char* field;
    double value;
  };
  const Case cases[] = {
      {',', "1,5", 1.5}, {',', "1,234,5", 1.234}, {'.', "1,5", 1.0}, {',', "2.5", 2.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    ReaderOver over(std::string("k=") + c.field + "\n", c.symbol);
    ASSERT_EQ(over.reader.ReadLine(), imp::kKeyLine);
    EXPECT_EQ(over.reader.FieldDouble(0, 0.0), c.value);
  }
  // The first symbol became '.', in place: a second read sees it.
  ReaderOver over("k=1,5\n", ',');
  over.reader.ReadLine();
  over.reader.FieldDouble(0, 0.0);
  EXPECT_STREQ(over.reader.fields[0], "1.5");
}

TEST(LineReader, KeyHasPrefix) {
  struct Case {
    const char* key;
    int32_t result;
    int32_t number;
  };
  const Case cases[] = {
      {"Przedmiar 12", 1, 12},       {"Przedmiar 02", 1, 2},   {"Przedmiar 2a", 1, 2},
      {"Przedmiar ", 1, 0},          {"Przedmiar x", 1, 0},    {"Przedmiar -3", 1, -3},
      {"Przedmiar2", 0, -1},         {"przedmiar 2", 0, -1},
      {"Przedmiar 99999999999", 1, INT32_MAX},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    ReaderOver over(std::string(c.key) + "=v\n");
    ASSERT_EQ(over.reader.ReadLine(), imp::kKeyLine);
    int32_t number = -1;
    EXPECT_EQ(over.reader.KeyHasPrefix("Przedmiar ", &number), c.result);
    EXPECT_EQ(number, c.number);
  }
}

}  // namespace

#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>

namespace {

// A file of 2 GiB or more measures and reads correctly: sizes and positions
// are 64-bit. The file is sparse, so it takes no disk space.
TEST(InputStream, MeasuresFilesOf2GiBAndMore) {
  const std::string path = imp_test::WriteFile("[Plik]\n");
  const int64_t size = (int64_t{3} << 30) + 7;
  const int fd = open(path.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  const bool grown = ftruncate(fd, static_cast<off_t>(size)) == 0;
  close(fd);
  if (!grown) GTEST_SKIP() << "no sparse file of 3 GiB here";
  ASSERT_EQ(ImpStart(path.c_str()), IMP_START_OK);
  imp::InputStream input;
  int error = 0;
  ASSERT_TRUE(input.Open(path.c_str(), &error));
  EXPECT_EQ(input.Size(), size);
  ImpEnd();
  std::remove(path.c_str());
}

}  // namespace
#endif
