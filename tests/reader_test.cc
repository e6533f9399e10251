// The line reader: classification, splitting, the getters, text mode, and
// copying values into fixed text fields with the long-text rule.
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
  struct Case { std::string line; int32_t kind; std::string key; std::vector<std::string> fields; };
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
      {"Opis =v\n", imp::kKeyLine, "Opis ", {"v"}},
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
  struct Case { const char* name; std::string bytes; std::vector<int32_t> kinds; };
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

// An empty or missing field gives the default; a field without a number, 0.
TEST(LineReader, Getters) {
  ReaderOver over("k=12\t\tx\t12.5\t 3]\t-7\t\xB3\nno key\n");
  LineReader& r = over.reader;
  ASSERT_EQ(r.ReadLine(), imp::kKeyLine);
  const std::pair<int32_t, int32_t> ints[] = {{0, 12}, {1, 7}, {2, 0}, {3, 12},
                                              {4, 3},  {5, -7}, {9, 7}};
  for (const auto& f : ints) EXPECT_EQ(r.FieldInt(f.first, 7), f.second) << f.first;
  EXPECT_EQ(r.FieldChar(2, 0), 'x');
  EXPECT_EQ(r.FieldChar(1, 65), 65);
  EXPECT_EQ(r.FieldChar(6, 0), 179);  // bytes from 0x80 up are never negative
  EXPECT_EQ(r.FieldDouble(3, -1.0), 12.5);
  EXPECT_EQ(r.FieldDouble(1, -1.0), -1.0);
  EXPECT_EQ(r.FieldDouble(2, -1.0), 0.0);
  EXPECT_EQ(r.FieldDouble(9, -1.0), -1.0);
  ASSERT_EQ(r.ReadLine(), imp::kOtherLine);  // a line without '=' has no fields
  EXPECT_EQ(r.FieldInt(0, 5), 5);
}

TEST(LineReader, DecimalSymbol) {
  struct Case { char symbol; const char* field; double value; };
  const Case cases[] = {
      {',', "1,5", 1.5}, {',', "1,234,5", 1.234}, {'.', "1,5", 1.0}, {',', "2.5", 2.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    ReaderOver over(std::string("k=") + c.field + "\n", c.symbol);
    ASSERT_EQ(over.reader.ReadLine(), imp::kKeyLine);
    EXPECT_EQ(over.reader.FieldDouble(0, 0.0), c.value);
  }
}

constexpr char kUntouched = '\xAB';

struct Copy {
  std::string field;                // the bytes of the text field after the copy
  std::vector<std::string> kept;    // the texts in the long-text store
  const void* lastKept = nullptr;   // where the last of them is
};

// Copies field `index` of the key line "k=<value>" into a text field of
// `size` bytes prefilled with kUntouched.
Copy CopyValue(const std::string& value, int32_t size, int32_t keep, int32_t index = 0) {
  ReaderOver over("k=" + value + "\n");
  EXPECT_EQ(over.reader.ReadLine(), imp::kKeyLine);
  Copy copy;
  copy.field.assign(static_cast<size_t>(size), kUntouched);
  EXPECT_TRUE(over.reader.CopyTextField(&copy.field[0], index, size, keep));
  for (int32_t i = 0; i < over.store.Count(); ++i) {
    copy.kept.push_back(over.store.TextAt(i));
    copy.lastKept = over.store.TextAt(i);
  }
  return copy;
}

// Every row of the length table, for the field sizes in use.
TEST(CopyTextField, LengthTable) {
  for (int32_t n : {32, 256}) {
    const size_t N = static_cast<size_t>(n);
    for (int32_t keep : {1, 0}) {
      for (size_t length : {size_t{0}, N - 6, N - 5, N - 4, N - 1, N, N + 100}) {
        SCOPED_TRACE("N=" + std::to_string(n) + " keep=" + std::to_string(keep) +
                     " L=" + std::to_string(length));
        const std::string text(length, 't');
        const Copy copy = CopyValue(length == 0 ? "\t" : text, n, keep);
        const std::string& f = copy.field;
        if (length < N) {
          EXPECT_EQ(f.substr(0, length + 1), text + '\0');
          for (size_t i = length + 1; i < N; ++i) {
            const bool slotZeroed = keep && length == N - 5 && i >= N - 4;
            EXPECT_EQ(f[i], slotZeroed ? '\0' : kUntouched) << i;
          }
          EXPECT_TRUE(copy.kept.empty());
        } else if (keep) {
          EXPECT_EQ(f.substr(0, N - 4), text.substr(0, N - 5) + '\0');
          EXPECT_EQ(copy.kept, std::vector<std::string>{text});
          const auto* bytes = reinterpret_cast<const unsigned char*>(f.data());
          EXPECT_EQ(static_cast<const void*>(imp_test::Block(bytes, N - 4)), copy.lastKept);
        } else {
          EXPECT_EQ(f, text.substr(0, N - 1) + '\0');
          EXPECT_TRUE(copy.kept.empty());
        }
      }
    }
  }
}

TEST(CopyTextField, OnlyTheFieldAskedFor) {
  // A missing field writes only its first byte.
  const Copy missing = CopyValue("only", 32, 1, 3);
  EXPECT_EQ(missing.field, '\0' + std::string(31, kUntouched));
  // A long field ends at the TAB, without the line feed.
  const std::string longText(40, 'L');
  EXPECT_EQ(CopyValue("short\t" + longText + "\tz", 32, 1, 1).kept,
            std::vector<std::string>{longText});
}

TEST(LongTextStore, KeepsEveryCutTextAtItsAddress) {
  imp::LongTextStore store;
  std::vector<const char*> kept;
  for (int i = 0; i < 500; ++i) {
    const std::string text = "text " + std::to_string(i % 2);  // equal texts kept twice
    kept.push_back(store.Keep(text.c_str(), text.size()));
  }
  ASSERT_EQ(store.Count(), 500);
  for (int i = 0; i < 500; ++i) {
    EXPECT_EQ(store.TextAt(i), kept[i]);
    EXPECT_STREQ(kept[i], i % 2 ? "text 1" : "text 0");
    EXPECT_EQ(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(kept[i])) >> 32, 0u);
  }
  store.Clear();
  EXPECT_EQ(store.Count(), 0);
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
