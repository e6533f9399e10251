// Hostile inputs, imported through the five exports alone, as a host would.
// Each row is a file a host may be handed, the rule that decides it, and
// the outcome the host gets, written as Outcome() renders an import: the
// records in delivery order (progress reports left out) with their main
// fields, full texts behind cut fields included.
//
// Rows that other tests hold already are not repeated here:
// - a missing path, a directory, a null path:
//   ImpStart.ReportsTheErrorNumberOfAFailedOpen
// - an empty file, only blank lines, a header cut before its LF, lines
//   ended by a lone CR: ImpStart.AcceptsOnlyAFileHeaderAsTheFirstNonBlankLine
// - lines at the length limit with LF and CR LF, a CR inside a line or at
//   the end of the file, 0x1A in a line, a file cut in a line:
//   LineReader.TextModeAndLineLimitsAtEveryChunkBoundary
// - "Przedmiar 2147483647" (written 99999999999, which saturates to it) and
//   numbers below 1 ("Przedmiar 0", "Komentarz -4": the check "Przedmiar -5"
//   meets): MeasurementLines.Cases
// - an element header with more than 9 points (50 take the path of 11):
//   ElementRecord.Depth
// - a pipe, read whole without a progress report:
//   ImpGetNextToken.NoProgressForAnInputWithoutSize
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <chrono>
#include <csignal>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "record_walker.h"
#include "support/memory.h"
#include "test_support.h"

namespace {

// ------------------------------------------------------------- rendering

// A text as the row writes it: printable ASCII as it is, other bytes as
// \xNN, and a run of six or more equal bytes as the byte and {count}.
std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size();) {
    size_t run = 1;
    while (i + run < text.size() && text[i + run] == text[i]) ++run;
    const auto c = static_cast<unsigned char>(text[i]);
    char byte[8];
    if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\' || c == '{') {
      std::snprintf(byte, sizeof byte, "\\x%02X", c);
    } else {
      byte[0] = static_cast<char>(c);
      byte[1] = '\0';
    }
    if (run >= 6) {
      out += std::string(byte) + "{" + std::to_string(run) + "}";
      i += run;
    } else {
      out += byte;
      ++i;
    }
  }
  return out + "\"";
}

// A text field as the walker read it: the full text behind a cut one.
std::string Text(const impwalk::Block& block, impwalk::FieldName<impwalk::ReadAs::kText> name) {
  return Quote(block.Text(name));
}

// ImpKosztDescr's text field, read by its layout.
std::string Description(const char* description) {
  return Text(impwalk::WalkBlock(impwalk::DescriptionLayout(), description,
                                 impwalk::SlotInThisProcess, impwalk::Reserved::kSkip),
              impwalk::description::description);
}

// The shortest decimal that reads back as the same double; nan whatever
// its sign, and inf, so that every platform writes the same.
std::string Number(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  char text[40];
  if (value == std::floor(value) && std::fabs(value) < 1e15) {
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
  }
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(text, sizeof text, "%.*g", precision, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  return text;
}

std::string Kind(int32_t kind) {
  if (kind > 0x20 && kind < 0x7F) return std::string(1, static_cast<char>(kind));
  return std::to_string(kind);
}

namespace cost_item = impwalk::cost_item;
namespace element = impwalk::element_record;
namespace estimate = impwalk::estimate_record;
namespace line = impwalk::measurement_line_record;
namespace position = impwalk::position_record;
namespace quantity_item = impwalk::quantity_item;
namespace resource = impwalk::resource_record;
namespace summary = impwalk::summary_record;

// One delivered record, read through the record walker while the import is
// open: its slots lead to their blocks and full texts.
std::string Render(int32_t type, const unsigned char* buffer) {
  const impwalk::Block r =
      impwalk::WalkRecord(type, buffer, impwalk::SlotInThisProcess, impwalk::Reserved::kSkip);
  std::ostringstream out;
  switch (type) {
    case IMP_TOKEN_ESTIMATE:
      out << "estimate " << Text(r, estimate::name) << " levels "
          << r.Int(estimate::lastLevelIndex) << " remarks " << r.Int(estimate::remarks);
      break;
    case IMP_TOKEN_SUMMARY:
      out << "summary";
      for (const impwalk::Block& item : r.Blocks(summary::items)) {
        out << ' ' << Number(item.Double(cost_item::rate));
      }
      break;
    case IMP_TOKEN_ELEMENT:
      out << "element " << r.Int(element::depth) << ' ' << Text(r, element::description);
      if (r.Int(element::quantityCount) == 1 && !r.Blocks(element::quantityItems).empty()) {
        const impwalk::Block& item = r.Blocks(element::quantityItems)[0];
        out << " item " << Number(item.Double(quantity_item::quantity)) << ' '
            << Text(item, quantity_item::unit);
      }
      break;
    case IMP_TOKEN_POSITION:
      out << "position " << Text(r, position::description) << ' ' << Text(r, position::unit)
          << ' ' << Text(r, position::secondUnit) << " quantity "
          << Number(r.Double(position::quantity)) << " price "
          << Number(r.Double(position::price)) << " times "
          << Number(r.Double(position::multiplicity));
      break;
    case IMP_TOKEN_MEASUREMENT_LINE:
      out << "line " << r.Int(line::entryKind) << ' ' << Text(r, line::measurement) << ' '
          << Text(r, line::comment);
      break;
    case IMP_TOKEN_RESOURCE:
      out << "resource " << Kind(r.Int(resource::kind)) << ' ' << Text(r, resource::name) << ' '
          << Number(r.Double(resource::consumption)) << ' ' << Text(r, resource::consumptionText);
      if (r.Int(resource::investorQuantityMatches)) out << " investor";
      break;
    default:
      out << "token " << type;
  }
  return out.str();
}

// A whole import of `path`: "refused" when ImpStart declines the file
// ("error N" with the error number of a failed open), else the records
// joined by " | ", and "failed N" when ImpGetDescr reports a failure after
// the import.
std::string Outcome(const std::string& path) {
  if (ImpStart(path.c_str()) != IMP_START_OK) {
    const std::string message = ImpGetDescr();
    ImpEnd();
    return message.empty() ? "refused" : "error " + message;
  }
  std::string outcome;
  unsigned char buffer[IMP_MAX_RECORD_SIZE];
  int32_t type = 0;
  for (int guard = 0; guard < 1000000; ++guard) {
    const int32_t result = ImpGetNextToken(&type, buffer);
    if (result == 0) break;
    if (type == IMP_TOKEN_PROGRESS) continue;
    outcome += (outcome.empty() ? "" : " | ") + Render(type, buffer);
  }
  if (ImpGetDescr()[0] != '\0') outcome += std::string(" | failed ") + ImpGetDescr();
  ImpEnd();
  return outcome;
}

// --------------------------------------------------------------- inputs

// A file whose file section names '.' as its decimal symbol (the symbol
// carries over from one import to the next), then `lines`, each with a LF.
std::string Estimate(const std::vector<std::string>& lines) { return imp_test::File(lines); }

// Bytes from a fixed seed: the engine's output is the same everywhere.
std::string RandomBytes(size_t count, uint32_t seed) {
  std::mt19937 engine(seed);
  std::string bytes(count, '\0');
  for (char& c : bytes) c = static_cast<char>(engine() >> 24);
  return bytes;
}

const std::string kFactor = "Wsp\xF3\xB3" "czynnik koryguj\xB9" "cy=";
const std::string kInvestor = "Ilo\x9C\xE6 inwestora=";
const std::string kLevels = "Liczba poziom\xF3w=";
const std::string kMultiplicity = "Krotno\x9C\xE6=";
const std::string kIndirect = "Koszty po\x9Crednie=";
const std::string k400Digits(400, '9');
// The line buffer holds a line of 9191 bytes with its LF.
constexpr size_t kLongestLine = 9191;

// ------------------------------------------------------------------ rows

enum class Source { kFile, kFifo };

struct Row {
  const char* name;     // the test's name
  const char* rule;     // why the outcome is what it is
  std::function<std::string()> bytes;
  const char* outcome;  // what the host gets, as Outcome() writes it; nullptr:
                        // what it gets from the same bytes in a file
  Source source = Source::kFile;
  int imports = 1;      // more: memory must stay flat over them
};

std::ostream& operator<<(std::ostream& out, const Row& row) { return out << row.name; }

const std::vector<Row>& Rows() {
  static const std::vector<Row> rows = {
      {"RandomBytes", "the first line is not the file header",
       [] { return RandomBytes(64 * 1024, 1); },
       "refused"},
      {"RandomBytesAfterTheHeader",
       "no section header among the lines: only the summary, with no rates",
       [] { return "[Plik]\n" + RandomBytes(1 << 20, 2); },
       "summary 0 0 0"},
      {"NulBytesInKeysAndValues",
       "a value ends at its first NUL; a key holding a NUL is no known key, as keys compare "
       "with all their bytes; a NUL inside a header's prefix makes it no header",
       [] {
         return Estimate({"[Kosztorys]", std::string("Nazwa=Dom\0ek", 12),
                          std::string("Uwagi\0=5", 8), std::string("Nazwa\0x=Nie", 11),
                          kLevels + std::string("4\0", 2) + "7", std::string("[Element\0 1]", 12),
                          std::string("[Element 1\0.2]", 14), std::string("Opis=a\0b\tc", 10)});
       },
       "estimate \"Dom\" levels 3 remarks 0 | summary 0 0 0 | element 2 \"a\""},
      {"LineOf9192Bytes",
       "the first 9191 bytes of a longer line end the section; the rest is a line of its own, "
       "and the key lines after it are skipped up to the next header",
       [] {
         return Estimate({"[Kosztorys]", "Nazwa=" + std::string(9185, 'x'), "Uwagi=7",
                          "[Element 1]"});
       },
       "estimate \"\" levels 0 remarks 0 | summary 0 0 0 | element 1 \"\""},
      {"LineOf1MiB", "as a line of 9192 bytes: the section ends there",
       [] {
         return Estimate({"[Kosztorys]", "Nazwa=Dom", "Uwagi=" + std::string((1 << 20) - 7, '7'),
                          kLevels + "3", "[Element 1]", "Opis=po"});
       },
       "estimate \"Dom\" levels 0 remarks 0 | summary 0 0 0 | element 1 \"po\""},
      {"LineOf1MiBEndingInAHeader",
       "a long line is read 9191 bytes at a time: its last piece, \"[Element 7]\" and the LF, "
       "is a header",
       [] {
         return Estimate({"[Kosztorys]", "Nazwa=Dom",
                          std::string(kLongestLine * 114, 'y') + "[Element 7]", "Opis=po"});
       },
       "estimate \"Dom\" levels 0 remarks 0 | summary 0 0 0 | element 1 \"po\""},
      {"ValueWith9000Tabs",
       "a value has at most 10 fields, the tenth keeps the rest; fields 0 and 1 are read",
       [] {
         return Estimate({"[Pozycja 1]", "JM=m3\tszt" + std::string(9000, '\t') + "t", "Cena=5"});
       },
       "position \"\" \"m3\" \"szt\" quantity 0 price 5 times 1 | summary 0 0 0"},
      {"KeyOf9000Bytes",
       "a key keeps its first 63 bytes and is no known key then; the section goes on",
       [] {
         return Estimate({"[Kosztorys]", "Uwagi" + std::string(8995, 'x') + "=5",
                          "Nazwa" + std::string(58, ' ') + "=Nie", kLevels + "3", "Nazwa=Dom"});
       },
       "estimate \"Dom\" levels 2 remarks 0 | summary 0 0 0"},
      {"NumbersOf400Digits",
       "integers saturate at the int32 limits (the level count minus 1 too); decimals "
       "overflow to inf; the text of a cut consumption stays whole behind its slot",
       [] {
         return Estimate({"[Kosztorys]", kLevels + "-" + k400Digits, "Uwagi=" + k400Digits,
                          "[Pozycja 1]", "Obmiar=" + k400Digits, "Cena=-" + k400Digits,
                          kMultiplicity + "0." + std::string(399, '0') + "1", "[RMS 1]", "Typ=M",
                          "Tarvo=" + k400Digits, "Sta\xB3y nak\xB3" "ad=" + k400Digits,
                          "Koszty zakupu=" + k400Digits, kInvestor + k400Digits});
       },
       "estimate \"\" levels -2147483648 remarks 2147483647 | summary 0 inf 0 | "
       "position \"\" \"\" \"\" quantity inf price -inf times 0 | "
       "resource M \"\" inf \"9{400}\""},
      {"FactorOf1e308",
       "consumption times factor overflows to inf; the formula would not fit its field and "
       "stays empty; an investor quantity is not within 5 % of an infinite total",
       [] {
         return Estimate({"[Pozycja 1]", "Obmiar=10", "[RMS 1]", "Typ=R", "Tarvo=10",
                          kFactor + "1e308", kInvestor + "1e308", "[RMS 2]", "Typ=S",
                          kFactor + "-1e308"});
       },
       "position \"\" \"\" \"\" quantity 10 price 0 times 1 | resource R \"\" inf \"\" | "
       "resource S \"\" -1e+308 \"\" | summary 0 0 0"},
      {"NanAndInfValues",
       "nan and inf read as numbers; nan equals no rate, so each nan rate is a rate of its own "
       "and an equipment rate of nan gets its own item beside the labour one",
       [] {
         return Estimate({"[Pozycja 1]", "Obmiar=nan", "Cena=inf", kMultiplicity + "-inf",
                          "[RMS 1]", "Typ=R", "Tarvo=nan", kFactor + "inf", kIndirect + "nan",
                          "Zysk Kb=inf", "Zysk Kp=INF", kInvestor + "nan", "[RMS 2]", "Typ=S",
                          "Tarvo=-inf", kIndirect + "nan", kIndirect + "nan", "Zysk Kb=nan"});
       },
       "position \"\" \"\" \"\" quantity nan price inf times -inf | "
       "resource R \"\" nan \"nan*inf\" | resource S \"\" -inf \"-inf\" | "
       "summary nan nan 0 inf nan"},
      {"Fifo",
       "a FIFO is read like a file, whatever pieces the writer sends (its lack of a size, "
       "which leaves out progress reports: ImpGetNextToken.NoProgressForAnInputWithoutSize)",
       imp_test::RichFile, nullptr, Source::kFifo},
      {"RepeatedImportsKeepMemoryFlat",
       "every import starts afresh and ImpEnd releases what the host no longer reads: "
       "10,000 imports (and description reads) in one process leave the heap, the module's "
       "regions and the descriptors where the first ones left them",
       imp_test::RichFile, nullptr, Source::kFile, 10000},
  };
  return rows;
}

// ----------------------------------------------------------------- runs

#if !defined(_WIN32)
// Writes `bytes` into the FIFO at `path` in pieces of 1 to 4099 bytes,
// pausing between them, so that the reader meets the input in short reads:
// a CR LF split, a line split, a header split.
[[maybe_unused]] void FeedFifo(const std::string& path, const std::string& bytes) {
  int fd = -1;
  // Non-blocking until the reader has opened its end, so that a reader
  // that never comes cannot hang the test.
  for (int attempt = 0; attempt < 10000 && fd < 0; ++attempt) {
    fd = open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd < 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (fd < 0) return;
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  const size_t pieces[] = {1, 7, 4099, 1, 2, 300, 1, 4096, 13};
  size_t at = 0;
  for (size_t i = 0; at < bytes.size(); ++i) {
    const size_t n = std::min(pieces[i % (sizeof pieces / sizeof *pieces)], bytes.size() - at);
    if (write(fd, bytes.data() + at, n) != static_cast<ssize_t>(n)) break;
    at += n;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  close(fd);
}
#endif

// What the process holds: bytes in use on the C heap, the module's own
// regions, and the descriptor the next open would get.
struct Holdings {
  long heapBytes = -1;
  long moduleRegions = 0;
  int nextDescriptor = -1;
};

Holdings Measure() {
  Holdings h;
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 33)
  const struct mallinfo2 info = mallinfo2();
  h.heapBytes = static_cast<long>(info.uordblks + info.hblkhd);
#endif
  h.moduleRegions = imp::LowRegionsInUse();
#if !defined(_WIN32)
  h.nextDescriptor = dup(0);
  if (h.nextDescriptor >= 0) close(h.nextDescriptor);
#endif
  return h;
}

class HostileInput : public testing::TestWithParam<Row> {};

TEST_P(HostileInput, Outcome) {
  const Row& row = GetParam();
  SCOPED_TRACE(row.rule);
  const std::string bytes = row.bytes();
  const std::string path = imp_test::WriteFile(bytes);
  const std::string outcome = Outcome(path);
  if (row.outcome != nullptr) {
    EXPECT_EQ(outcome, row.outcome);
  }

  if (row.source == Source::kFifo) {
#if defined(_WIN32)
    GTEST_SKIP() << "no FIFOs on Windows";
#elif defined(__EMSCRIPTEN__)
    GTEST_SKIP() << "no threads to feed a FIFO in the WebAssembly build";
#else
    const std::string fifo = testing::TempDir() + "impordano_fifo_" + std::to_string(getpid());
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0) << std::strerror(errno);
    // A reader that stops early must not end the process with SIGPIPE.
    void (*previous)(int) = std::signal(SIGPIPE, SIG_IGN);
    std::thread writer(FeedFifo, fifo, bytes);
    const std::string fromFifo = Outcome(fifo);
    writer.join();
    std::signal(SIGPIPE, previous);
    std::remove(fifo.c_str());
    EXPECT_EQ(fromFifo, outcome);
#endif
    return;
  }

  if (row.imports > 1) {
    // The first imports may grow pools and caches that later ones reuse.
    const int warmUp = row.imports / 10;
    Holdings before;
    std::string description;
    for (int i = 1; i < row.imports; ++i) {
      if (i == warmUp) before = Measure();
      // The host shows the description first, then imports.
      ASSERT_EQ(ImpStart(path.c_str()), IMP_START_OK);
      const std::string shown = Description(ImpKosztDescr());
      ImpEnd();
      if (i == 1) description = shown;
      ASSERT_EQ(shown, description) << "description read " << i;
      const std::string again = Outcome(path);
      if (again != outcome) {
        ADD_FAILURE() << "import " << i << " gave " << again;
        break;
      }
    }
    const Holdings after = Measure();
    EXPECT_EQ(after.nextDescriptor, before.nextDescriptor) << "a descriptor stays open";
    EXPECT_EQ(after.moduleRegions, before.moduleRegions) << "module regions in use";
    // A bound far below what one lost block per import would add up to
    // over 9,000 imports.
    if (before.heapBytes >= 0) {
      EXPECT_LE(after.heapBytes - before.heapBytes, 16 * 1024) << "C heap bytes in use";
    }
    std::printf("[ memory   ] %d imports: heap %ld -> %ld bytes\n", row.imports, before.heapBytes,
                after.heapBytes);
  }
  std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileInput, testing::ValuesIn(Rows()),
                         [](const testing::TestParamInfo<Row>& info) { return info.param.name; });

}  // namespace
