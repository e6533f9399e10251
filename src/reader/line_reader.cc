#include "reader/line_reader.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#endif

#include "reader/numbers.h"
#include "reader/text_field.h"

namespace imp {
namespace {

constexpr char kEndOfText = 0x1A;
constexpr size_t kNone = static_cast<size_t>(-1);

struct HeaderPrefix {
  const char* text;
  size_t length;
  LineKind kind;
};

// Numbered headers: the prefix (its blank included) and the kind it gives.
constexpr HeaderPrefix kNumberedHeaders[] = {
    {"[Element ", 9, kElementHeader},
    {"[Pozycja ", 9, kPositionHeader},
    {"[RMS ", 5, kResourceHeader},
};

// Whether the line is exactly `text`, its LF included.
template <size_t N>
bool Is(const char* line, size_t length, const char (&text)[N]) {
  return length == N - 1 && std::memcmp(line, text, N - 1) == 0;
}

// While it lives, the first `symbol` of a field reads as '.': the field is
// the same again afterwards, also when the reading throws.
class SymbolAsPoint {
 public:
  SymbolAsPoint(char* field, char symbol) noexcept
      : at_(symbol != '.' ? std::strchr(field, symbol) : nullptr), symbol_(symbol) {
    if (at_ != nullptr) *at_ = '.';
  }
  ~SymbolAsPoint() {
    if (at_ != nullptr) *at_ = symbol_;
  }
  SymbolAsPoint(const SymbolAsPoint&) = delete;
  SymbolAsPoint& operator=(const SymbolAsPoint&) = delete;

 private:
  char* at_;
  char symbol_;
};

}  // namespace

void LineReader::Begin() {
  // A line may start anywhere in a chunk: room for one chunk behind the
  // unread rest of the longest line, and for the scan's loads past its end.
  buffer_.resize(input_.ChunkSize() + kMaxLine + 1 + kScanPadding);
  base_ = 0;
  begin_ = end_ = 0;
  ended_ = false;
  kind_ = kEndOfFile;
}

bool LineReader::RestartAt(int64_t offset) {
  const int64_t chunk = offset / static_cast<int64_t>(input_.ChunkSize());
  if (buffer_.empty() || !input_.RewindTo(chunk)) return false;
  base_ = chunk * static_cast<int64_t>(input_.ChunkSize());
  begin_ = end_ = 0;
  ended_ = false;
  kind_ = kEndOfFile;
  const size_t skip = static_cast<size_t>(offset - base_);
  while (end_ < skip && Refill()) {
  }
  begin_ = std::min(skip, end_);
  return true;
}

// Moves the unread bytes to the front and appends the next chunk, cut at a
// 0x1A. False when no byte came.
bool LineReader::Refill() {
  if (ended_) return false;
  char* buffer = buffer_.data();
  std::memmove(buffer, buffer + begin_, end_ - begin_);
  base_ += static_cast<int64_t>(begin_);
  end_ -= begin_;
  begin_ = 0;
  size_t got = input_.ReadChunk(buffer + end_);
  if (got == 0) {
    ended_ = true;
    return false;
  }
  if (const void* stop = std::memchr(buffer + end_, kEndOfText, got)) {
    got = static_cast<size_t>(static_cast<const char*>(stop) - (buffer + end_));
    ended_ = true;
  }
  end_ += got;
  return got > 0;
}

namespace {

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define IMP_SCAN_SSE2 1
#endif

unsigned LowestBit(unsigned bits) {
#if defined(__GNUC__)
  return static_cast<unsigned>(__builtin_ctz(bits));
#else
  unsigned bit = 0;
  while (!(bits >> bit & 1u)) ++bit;
  return bit;
#endif
}

// Where a line's LF and its first '=' are among the first `limit` bytes at
// `p`, and whether a TAB or NUL comes before the LF.
struct Scan {
  size_t lineFeed = kNone;
  size_t equals = kNone;  // only when before the LF
  bool tabOrNul = false;
};

#if defined(IMP_SCAN_SSE2)
// The bytes equal to `c` among the 32 in `low` and `high`, one bit each.
uint32_t Find32(__m128i low, __m128i high, char c) {
  const __m128i pattern = _mm_set1_epi8(c);
  return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, pattern))) |
         static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, pattern))) << 16;
}
#endif

#if defined(IMP_SCAN_SSE2)
// Most lines end within 32 bytes: one look at them, two 16-byte loads,
// finds the LF, the '=' and any TAB or NUL. No LF there: lineFeed is kNone.
// The reader's buffer has room to load 32 bytes past its data.
Scan ScanShortLine(const char* p) {
  Scan scan;
  const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
  const uint32_t lineFeeds = Find32(low, high, '\n');
  if (lineFeeds == 0) return scan;
  scan.lineFeed = LowestBit(lineFeeds);
  const uint32_t line = static_cast<uint32_t>((uint64_t(1) << scan.lineFeed) - 1);
  const uint32_t equals = Find32(low, high, '=') & line;
  if (equals != 0) scan.equals = LowestBit(equals);
  scan.tabOrNul = ((Find32(low, high, '\t') | Find32(low, high, '\0')) & line) != 0;
  return scan;
}
#endif

// Any line, 16 bytes at a time.
Scan ScanLine(const char* p, size_t limit) {
  Scan scan;
#if defined(IMP_SCAN_SSE2)
  const __m128i lineFeed = _mm_set1_epi8('\n'), equals = _mm_set1_epi8('=');
  const __m128i tab = _mm_set1_epi8('\t'), nul = _mm_setzero_si128();
  for (size_t at = 0; at < limit; at += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
    const unsigned valid = limit - at >= 16 ? 0xFFFFu : (1u << (limit - at)) - 1;
    const unsigned lf =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lineFeed))) & valid;
    const unsigned eq = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, equals)));
    const unsigned odd = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_or_si128(_mm_cmpeq_epi8(bytes, tab), _mm_cmpeq_epi8(bytes, nul))));
    // Only the bytes before the LF belong to the line.
    const unsigned line = lf != 0 ? (1u << LowestBit(lf)) - 1 : valid;
    if (scan.equals == kNone && (eq & line) != 0) scan.equals = at + LowestBit(eq & line);
    if ((odd & line) != 0) scan.tabOrNul = true;
    if (lf != 0) {
      scan.lineFeed = at + LowestBit(lf);
      return scan;
    }
  }
#else
  for (size_t i = 0; i < limit; ++i) {
    const char c = p[i];
    if (c == '\n') {
      scan.lineFeed = i;
      return scan;
    }
    if (c == '=' && scan.equals == kNone) scan.equals = i;
    if (c == '\t' || c == '\0') scan.tabOrNul = true;
  }
#endif
  return scan;
}

}  // namespace

// A key line: the key is cut at its 63rd byte; a NUL in it is one of its
// bytes, so such a key is no known one. The LF and the '=' become NULs, and
// so do the TABs that separate the fields, whose texts end at a NUL. Most
// lines have neither TAB nor NUL: one field, or none.
inline int32_t LineReader::KeyLine(char* line, size_t length, size_t equalsAt, bool tabOrNul) noexcept {
  char* const end = line + length - 1;  // the LF, or the CR before it
  char* const value = line + equalsAt + 1;
  *end = '\0';
  line[equalsAt] = '\0';
  keyText_ = line;
  keyLength_ = equalsAt < kKeyLimit ? equalsAt : kKeyLimit;
  if (tabOrNul) return SplitKeyLine(value, end);
  key_ = ClassifyKey(line, keyLength_);
  if (value != end) {
    fields_[0] = value;
    fieldLengths_[0] = static_cast<size_t>(end - value);
    fieldCount_ = 1;
  }
  return kKeyLine;
}

int32_t LineReader::SplitKeyLine(char* value, char* end) noexcept {
  key_ = ClassifyKey(keyText_, keyLength_);
  if (value == end) return kKeyLine;
  fields_[0] = value;
  fieldCount_ = 1;
  for (char* p = value; fieldCount_ < kMaxFields;) {
    auto* tab = static_cast<char*>(std::memchr(p, '\t', static_cast<size_t>(end - p)));
    if (tab == nullptr) break;
    *tab = '\0';
    p = tab + 1;
    fields_[fieldCount_++] = p;
  }
  for (int32_t i = 0; i < fieldCount_; ++i) fieldLengths_[i] = std::strlen(fields_[i]);
  return kKeyLine;
}

// The line at begin_ whose LF is at `lineFeed` and which fits: a CR before
// the LF is dropped.
inline int32_t LineReader::TakeLine(char* start, size_t lineFeed, size_t equalsAt,
                                     bool tabOrNul) noexcept {
  const bool crLf = lineFeed >= 1 && start[lineFeed - 1] == '\r';
  if (crLf) start[lineFeed - 1] = '\n';
  const size_t length = lineFeed + 1 - (crLf ? 1 : 0);
  lineOffset_ = Position();
  begin_ += lineFeed + 1;
  lineLength_ = length;
  if (equalsAt != kNone) return kind_ = KeyLine(start, length, equalsAt, tabOrNul);
  return kind_ = OtherLine(start, length);
}

int32_t LineReader::ReadLine() {
  fieldCount_ = 0;
  key_ = Key::kUnknown;
#if defined(IMP_SCAN_SSE2)
  if (end_ - begin_ >= 32) {
    char* const start = buffer_.data() + begin_;
    const Scan scan = ScanShortLine(start);
    if (scan.lineFeed != kNone) return TakeLine(start, scan.lineFeed, scan.equals, scan.tabOrNul);
  }
#endif
  for (;;) {
    char* const start = buffer_.data() + begin_;
    const size_t available = end_ - begin_;
    // A line fits when its LF is among the first 9192 bytes: 9191 of text,
    // or 9190 and a CR LF.
    const Scan scan = ScanLine(start, std::min(available, kMaxLine + 1));
    size_t consumed;
    if (scan.lineFeed != kNone) {
      const bool crLf = scan.lineFeed >= 1 && start[scan.lineFeed - 1] == '\r';
      if (scan.lineFeed + 1 - (crLf ? 1 : 0) <= kMaxLine) {
        return TakeLine(start, scan.lineFeed, scan.equals, scan.tabOrNul);
      }
      consumed = kMaxLine;
    } else if (available > kMaxLine) {
      consumed = kMaxLine;
    } else if (Refill()) {
      continue;
    } else if (available == 0) {
      lineLength_ = 0;
      lineOffset_ = Position();
      return kind_ = kEndOfFile;
    } else {
      consumed = available;  // the last line, without its LF
    }
    lineOffset_ = Position();
    begin_ += consumed;
    lineLength_ = consumed;
    return kind_ = kUnterminatedLine;
  }
}

// Headers, and every other line without '='.
int32_t LineReader::OtherLine(const char* line, size_t length) noexcept {
  if (line[0] != '[') return kOtherLine;
  if (Is(line, length, "[Plik]\n")) return kFileHeader;
  if (Is(line, length, "[Kosztorys]\n")) return kEstimateHeader;
  const char* const lineFeed = line + length - 1;
  for (const HeaderPrefix& header : kNumberedHeaders) {
    if (length >= header.length && std::memcmp(line, header.text, header.length) == 0) {
      // One field per part of the number: the parts are separated by '.'.
      const char* p = line + header.length;
      fieldCount_ = 1;
      while (fieldCount_ < kMaxFields) {
        p = static_cast<const char*>(std::memchr(p, '.', static_cast<size_t>(lineFeed - p)));
        if (p == nullptr) break;
        ++p;
        ++fieldCount_;
      }
      return header.kind;
    }
  }
  return kOtherLine;
}

int32_t LineReader::KeyNumber() const noexcept {
  // The key as it was cut: digits past its 63rd byte do not count.
  char number[kKeyLimit + 1] = {};
  if (keyLength_ > kNumberedKeyPrefix) {
    std::memcpy(number, keyText_ + kNumberedKeyPrefix, keyLength_ - kNumberedKeyPrefix);
  }
  return ParseInt(number);
}

int32_t LineReader::FieldInt(int32_t index, int32_t defaultValue) const noexcept {
  return HasText(index) ? ParseInt(fields_[index]) : defaultValue;
}

int32_t LineReader::FieldChar(int32_t index, int32_t defaultValue) const noexcept {
  return HasText(index) ? static_cast<unsigned char>(fields_[index][0]) : defaultValue;
}

double LineReader::FieldDouble(int32_t index, double defaultValue) noexcept {
  if (!HasText(index)) return defaultValue;
  double value;
  if (decimalSymbol_ == '.') return ParseDouble(fields_[index]);
  if (decimalSymbol_ == ',' && ParseDoubleWithComma(fields_[index], &value)) return value;
  const SymbolAsPoint point(fields_[index], decimalSymbol_);
  return ParseDouble(fields_[index]);
}

// The line lies where it was taken from: no refill moved the buffer since.
std::string_view LineReader::LineText() const noexcept {
  if (kind_ == kEndOfFile) return {};
  const char* start = buffer_.data() + (lineOffset_ - base_);
  return std::string_view(start, kind_ == kUnterminatedLine ? lineLength_ : lineLength_ - 1);
}

size_t LineReader::FieldExtent(int32_t index) const noexcept {
  if (index < 0 || index >= fieldCount_) return 0;
  if (index + 1 < fieldCount_) return static_cast<size_t>(fields_[index + 1] - 1 - fields_[index]);
  return static_cast<size_t>(LineText().data() + LineText().size() - fields_[index]);
}

size_t LineReader::FieldIntegerLength(int32_t index) const noexcept {
  return HasText(index) ? IntegerLength(fields_[index]) : 0;
}

size_t LineReader::FieldNumberLength(int32_t index) noexcept {
  if (!HasText(index)) return 0;
  const SymbolAsPoint point(fields_[index], decimalSymbol_);
  return NumberLength(fields_[index]);
}

void LineReader::CopyField(char* dest, int32_t index, size_t size, DecimalSymbolAs symbol) {
  if (index < 0 || index >= fieldCount_) {
    dest[0] = '\0';
    return;
  }
  const SymbolAsPoint asPoint(fields_[index],
                              symbol == DecimalSymbolAs::kPoint ? decimalSymbol_ : '.');
  CopyText(dest, size, fields_[index], fieldLengths_[index], store_);
}

}  // namespace imp
