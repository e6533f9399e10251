// The line reader: classification, splitting, the getters, text mode at
// every chunk boundary, and copying values into fixed text fields with the
// long-text rule.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "reader/input_file.h"
#include "reader/line_reader.h"
#include "reader/long_text_store.h"
#include "reader/text_field.h"
#include "test_support.h"

namespace {

using imp::LineReader;

// A reader over a file holding `bytes`, read in chunks of `chunkSize`.
class ReaderOver {
 public:
  explicit ReaderOver(const std::string& bytes, size_t chunkSize = imp::InputFile::kDefaultChunkSize)
      : input(chunkSize), reader(input, store) {
    path_ = imp_test::WriteFile(bytes);
    int error = 0;
    EXPECT_TRUE(input.Open(path_.c_str(), &error)) << error;
    reader.Begin();
  }
  ~ReaderOver() {
    input.Close();
    std::remove(path_.c_str());
  }
  std::vector<std::string> Fields() const {
    std::vector<std::string> fields;
    for (int32_t i = 0; i < reader.FieldCount(); ++i) fields.push_back(reader.FieldText(i));
    return fields;
  }

  imp::InputFile input;
  imp::LongTextStore store;
  LineReader reader;

 private:
  std::string path_;
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
      {"[RMS1]\n", imp::kOtherLine, "", {}},
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
      {std::string("Op\0is=v\n", 8), imp::kKeyLine, std::string("Op\0is", 5), {"v"}},
      {"Opis=a\rb\n", imp::kKeyLine, "Opis", {"a\rb"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.line));
    ReaderOver over(c.line.back() == '\n' ? c.line + "[Plik]\n" : c.line);
    EXPECT_EQ(over.reader.ReadLine(), c.kind);
    EXPECT_EQ(over.reader.Kind(), c.kind);
    if (c.kind == imp::kKeyLine) {
      EXPECT_EQ(std::string(over.reader.KeyName()), c.key);
    }
    EXPECT_EQ(over.Fields(), c.fields);
  }
}

// The kinds of the lines of a file and the texts of its key lines, read
// with `chunkSize`.
std::vector<std::string> ReadAll(const std::string& bytes, size_t chunkSize) {
  ReaderOver over(bytes, chunkSize);
  std::vector<std::string> lines;
  for (int32_t kind = 0; kind != imp::kEndOfFile;) {
    kind = over.reader.ReadLine();
    std::string line = std::to_string(kind);
    if (kind == imp::kKeyLine) line += " " + std::string(over.reader.KeyName()) + "=" + over.reader.FieldText(0);
    if (kind == imp::kEndOfFile || kind == imp::kUnterminatedLine) {
      EXPECT_EQ(over.reader.FieldCount(), 0);
    }
    lines.push_back(line + " @" + std::to_string(over.reader.Position()));
  }
  return lines;
}

// Text mode and the line limit, with the input read in chunks of every
// size from 1 byte up, so that every CR LF, every line and every 0x1A meets
// a chunk boundary somewhere: the lines come out the same whatever the
// chunk size.
TEST(LineReader, TextModeAndLineLimitsAtEveryChunkBoundary) {
  struct Case { const char* name; std::string bytes; std::vector<std::string> lines; };
  const std::string longest(9190, 'x');  // with its LF: the longest line that fits
  const Case cases[] = {
      {"CR LF reads as LF", "[Plik]\r\nk=v\r\n[Kosztorys]\r\n",
       {"1 @8", "5 k=v @13", "0 @26", "6 @26"}},
      {"a lone CR stays", "[Plik]\r[Kosztorys]\nk=a\rb\r\r\n",
       {"8 @19", "5 k=a\rb\r @27", "6 @27"}},
      {"CR as the last byte", "k=v\r", {"7 @4", "6 @4"}},
      {"0x1A ends the input", "[Plik]\n\x1A[Kosztorys]\n", {"1 @7", "6 @7"}},
      {"0x1A in the middle of a line", "k=ab\x1A" "cd\n", {"7 @4", "6 @4"}},
      {"no final LF", "[Plik]\n[Kosztorys]", {"1 @7", "7 @18", "6 @18"}},
      {"9191 bytes with the LF fit", longest + "\n", {"8 @9191", "6 @9191"}},
      {"9191 bytes with CR LF fit", longest + "\r\n", {"8 @9192", "6 @9192"}},
      {"9191 bytes of text split", longest + "x\n", {"7 @9191", "8 @9192", "6 @9192"}},
      {"9191 bytes of text and CR LF split", longest + "x\r\n", {"7 @9191", "8 @9193", "6 @9193"}},
      {"the rest of a long line is a line of its own", std::string(9191, 'y') + "=v\n",
       {"7 @9191", "5 =v @9194", "6 @9194"}},
      {"NUL bytes inside a line", std::string("a\0b=c\0d\n[Plik]\n", 15),
       {std::string("5 a\0b=c @8", 10), "1 @15", "6 @15"}},
      {"empty file", "", {"6 @0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadAll(c.bytes, imp::InputFile::kDefaultChunkSize), c.lines);
    if (c.bytes.size() < 100) {
      for (size_t chunk = 1; chunk <= 24; ++chunk) {
        ASSERT_EQ(ReadAll(c.bytes, chunk), c.lines) << "chunks of " << chunk;
      }
    } else {
      // A boundary between the CR and the LF at 9190/9191 (7 * 13 * 101 =
      // 9191) and at 9191/9192 (8 * 3 * 383 = 9192), and around the limit.
      for (size_t chunk : {7, 8, 13, 24, 101, 383, 4096, 9190, 9191, 9192, 9193}) {
        ASSERT_EQ(ReadAll(c.bytes, chunk), c.lines) << "chunks of " << chunk;
      }
    }
  }
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
  EXPECT_EQ(r.FieldLength(3), 4u);
  EXPECT_EQ(r.FieldLength(9), 0u);
  ASSERT_EQ(r.ReadLine(), imp::kOtherLine);  // a line without '=' has no fields
  EXPECT_EQ(r.FieldInt(0, 5), 5);
}

// The file's decimal symbol reads as '.', for the number only: the field
// itself stays as it was, whatever is read first.
TEST(LineReader, DecimalSymbol) {
  struct Case { char symbol; const char* field; double value; const char* asPoint; };
  const Case cases[] = {
      {',', "1,5", 1.5, "1.5"},   {',', "1,234,5", 1.234, "1.234,5"}, {'.', "1,5", 1.0, "1,5"},
      {',', "2.5", 2.5, "2.5"},   {'5', "15.5", 1.0, "1..5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    ReaderOver over(std::string("k=") + c.field + "\n");
    over.reader.SetDecimalSymbol(c.symbol);
    ASSERT_EQ(over.reader.ReadLine(), imp::kKeyLine);
    EXPECT_EQ(over.reader.FieldDouble(0, 0.0), c.value);
    EXPECT_STREQ(over.reader.FieldText(0), c.field);
    char text[32];
    over.reader.CopyField(text, 0, sizeof text, LineReader::DecimalSymbolAs::kPoint);
    EXPECT_STREQ(text, c.asPoint);
    EXPECT_STREQ(over.reader.FieldText(0), c.field);
    over.reader.CopyField(text, 0, sizeof text);
    EXPECT_STREQ(text, c.field);
  }
}

constexpr char kUntouched = '\xAB';

// Every row of the long-text table, for the field sizes in use: the field's
// bytes and what the store keeps.
TEST(CopyText, LengthTable) {
  for (size_t n : {32, 256}) {
    for (size_t length : {size_t{0}, n - 6, n - 5, n - 4, n - 1, n, n + 100}) {
      SCOPED_TRACE("N=" + std::to_string(n) + " L=" + std::to_string(length));
      imp::LongTextStore store;
      const std::string text(length, 't');
      std::string f(n, kUntouched);
      imp::CopyText(&f[0], n, text.data(), text.size(), store);
      if (length < n) {
        EXPECT_EQ(f.substr(0, length + 1), text + '\0');
        for (size_t i = length + 1; i < n; ++i) {
          const bool slotZeroed = length == n - 5 && i >= n - 4;
          EXPECT_EQ(f[i], slotZeroed ? '\0' : kUntouched) << i;
        }
        EXPECT_EQ(store.Count(), 0u);
      } else {
        EXPECT_EQ(f.substr(0, n - 4), text.substr(0, n - 5) + '\0');
        EXPECT_EQ(store.Count(), 1u);
        EXPECT_EQ(imp_test::LongText(f.data(), n), text);
        EXPECT_EQ(store.Used(), store.Footprint(length));
      }
    }
  }
}

TEST(CopyField, OnlyTheFieldAskedFor) {
  // A missing field writes only its first byte.
  ReaderOver missing("k=only\n");
  missing.reader.ReadLine();
  std::string field(32, kUntouched);
  missing.reader.CopyField(&field[0], 3, 32);
  EXPECT_EQ(field, '\0' + std::string(31, kUntouched));
  // A long field ends at the TAB, without the line feed.
  const std::string longText(40, 'L');
  ReaderOver second("k=short\t" + longText + "\tz\n");
  second.reader.ReadLine();
  second.reader.CopyField(&field[0], 1, 32);
  EXPECT_EQ(second.store.Count(), 1u);
  EXPECT_EQ(imp_test::LongText(field.data(), 32), longText);
}

// The second reading of a file compares every chunk with the first; one
// that changed ends the input.
// On Windows the file is opened so that nobody can write to it meanwhile.
TEST(InputFile, ASecondReadingNoticesAChange) {
  struct Case { const char* name; std::string second; bool changed; };
  const std::string first = "[Plik]\nOpis=abc\n[Kosztorys]\nNazwa=x\n";
  const Case cases[] = {
      {"unchanged", first, false},
      {"a byte changed", "[Plik]\nOpis=abd\n[Kosztorys]\nNazwa=x\n", true},
      {"cut short", "[Plik]\nOpis=abc\n", true},
      {"grown", first + "[Element 1]\n", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (size_t chunk : {4, 16, 4096}) {
      const std::string path = imp_test::WriteFile(first);
      imp::InputFile input(chunk);
      int error = 0;
      ASSERT_TRUE(input.Open(path.c_str(), &error));
      std::vector<char> buffer(chunk);
      std::string read;
      while (size_t n = input.ReadChunk(buffer.data())) read.append(buffer.data(), n);
      ASSERT_EQ(read, first);
      // The same file written anew, in place.
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
#if defined(_WIN32)
      // On Windows nobody may write to the file while it is being read.
      EXPECT_FALSE(out.is_open());
      input.Close();
      continue;
#endif
      out << c.second;
      out.close();
      ASSERT_TRUE(input.RewindTo(0));
      std::string again;
      while (size_t n = input.ReadChunk(buffer.data())) again.append(buffer.data(), n);
      EXPECT_EQ(input.Changed(), c.changed) << chunk;
      if (!c.changed) {
        EXPECT_EQ(again, first);
      }
      input.Close();
    }
  }
}

}  // namespace

#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>

namespace {

// A file of 2 GiB or more measures and reads correctly: sizes and positions
// are 64-bit. The file is sparse, so it takes no disk space.
TEST(InputFile, MeasuresFilesOf2GiBAndMore) {
  const std::string path = imp_test::WriteFile("[Plik]\n");
  const int64_t size = (int64_t{3} << 30) + 7;
  const int fd = open(path.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  const bool grown = ftruncate(fd, static_cast<off_t>(size)) == 0;
  close(fd);
  if (!grown) GTEST_SKIP() << "no sparse file of 3 GiB here";
  imp::InputFile input;
  int error = 0;
  ASSERT_TRUE(input.Open(path.c_str(), &error));
  EXPECT_EQ(input.Size(), size);
  // The last chunk is read from its 64-bit offset.
  const int64_t lastChunk = size / static_cast<int64_t>(input.ChunkSize());
  std::vector<char> buffer(input.ChunkSize());
  ASSERT_TRUE(input.RewindTo(lastChunk));
  std::remove(path.c_str());
}

// A pipe cannot be read twice: its bytes are kept from the first reading.
TEST(InputFile, APipeIsReadAgainFromItsKeptBytes) {
#if defined(__EMSCRIPTEN__)
  // Node's files have no /proc/self/fd of the program's own descriptors:
  // the path would name another file, whose text can even hold the words
  // that ctest reads as a skip.
  GTEST_SKIP() << "the WebAssembly build has no /proc/self/fd";
#endif
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const std::string bytes = "[Plik]\nOpis=" + std::string(100, 'p') + "\n";
  ASSERT_EQ(write(fds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  close(fds[1]);
  imp::InputFile input(16);
  int error = 0;
  ASSERT_TRUE(input.Open(("/proc/self/fd/" + std::to_string(fds[0])).c_str(), &error));
  EXPECT_EQ(input.Size(), -1);
  std::vector<char> buffer(16);
  std::string first, second;
  while (size_t n = input.ReadChunk(buffer.data())) first.append(buffer.data(), n);
  ASSERT_TRUE(input.RewindTo(2));
  while (size_t n = input.ReadChunk(buffer.data())) second.append(buffer.data(), n);
  EXPECT_EQ(first, bytes);
  EXPECT_EQ(second, bytes.substr(32));
  EXPECT_FALSE(input.Changed());
  input.Close();
  close(fds[0]);
}

}  // namespace
#endif
