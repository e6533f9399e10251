// LineReader: reads the estimate file one line at a time, classifies each
// line, and splits key lines into fields.
//
// Line grammar (bytes compared exactly, case-sensitive, nothing trimmed):
//   "[Plik]\n"              FileHeader       "[Kosztorys]\n"  EstimateHeader
//   "[Element " ...         ElementHeader    "[Pozycja " ...  PositionHeader
//   "[RMS " ...             ResourceHeader
//   any line holding '=' and ending in LF: KeyLine (tested before headers)
//   a read of nothing: EndOfFile; bytes without a LF: UnterminatedLine
//   every other line with a LF: OtherLine
//
// The file is read in text mode, the same on every platform: a CR directly
// before a LF is dropped (CR LF reads as LF), a lone CR stays, and the byte
// 0x1A ends the input. A line holds at most 9191 bytes, its LF included; a
// longer one arrives as an UnterminatedLine of 9191 bytes, and its rest is
// read as a line of its own.
//
// A key line "key=f0<TAB>f1..." has a key (the text before the first '=',
// cut to 63 bytes; compared with all its bytes, so "Nazwa<NUL>x" is no
// "Nazwa") and the TAB-separated fields of its value;
// an empty value has no fields. At most 10 fields: the tenth keeps the rest
// of the line, TABs included. A field's text ends at a NUL byte. A header's
// number "1.2.3]" counts one field per part: the element's depth.
//
// The lines are read straight from the chunks of the input in the reader's
// buffer, without copying; a line's fields stay valid until the next read.
// Reading allocates nothing, except in the first reading of an input that
// must keep its bytes (InputFile).
#ifndef IMPORDANO_READER_LINE_READER_H_
#define IMPORDANO_READER_LINE_READER_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "reader/input_file.h"
#include "reader/keys.h"
#include "reader/long_text_store.h"
#include "support/module_allocator.h"

namespace imp {

enum LineKind : int32_t {
  kEstimateHeader = 0,
  kFileHeader = 1,
  kElementHeader = 2,
  kPositionHeader = 3,
  kResourceHeader = 4,
  kKeyLine = 5,
  kEndOfFile = 6,
  kUnterminatedLine = 7,
  kOtherLine = 8,
};

class LineReader {
 public:
  static constexpr size_t kMaxLine = 9191;  // bytes of a line, its LF included
  static constexpr size_t kKeyLimit = 63;
  static constexpr int32_t kMaxFields = 10;

  // Reads from `input`; cut texts go to `store`.
  LineReader(InputFile& input, LongTextStore& store) noexcept : input_(input), store_(store) {}

  // Starts the first reading of the input, from its first byte. Throws
  // std::bad_alloc when the buffer cannot be made.
  void Begin();
  // Reads the input again from the byte at `offset` on; false when the
  // input cannot be read again.
  bool RestartAt(int64_t offset);

  // Reads and classifies the next line; Kind() gives the result until the
  // next read. Throws std::bad_alloc only in a first reading (InputFile).
  int32_t ReadLine();
  int32_t Kind() const noexcept { return kind_; }
  // The line was exactly "\n".
  bool IsBlank() const noexcept { return kind_ == kOtherLine && lineLength_ == 1; }
  // Input bytes consumed by the lines read so far, dropped CRs included.
  int64_t Position() const noexcept { return base_ + static_cast<int64_t>(begin_); }
  // Where the current line began in the input.
  int64_t LineOffset() const noexcept { return lineOffset_; }

  // The file's decimal separator, which FieldDouble reads as '.'.
  char DecimalSymbol() const noexcept { return decimalSymbol_; }
  void SetDecimalSymbol(char symbol) noexcept { decimalSymbol_ = symbol; }

  // Of a key line: its key, and the number after a numbered key's prefix
  // (0 without digits).
  Key KeyOf() const noexcept { return key_; }
  std::string_view KeyName() const noexcept { return std::string_view(keyText_, keyLength_); }
  int32_t KeyNumber() const noexcept;
  // Fields of a key line; parts of a header's number.
  int32_t FieldCount() const noexcept { return fieldCount_; }

  // Getters of a key line's fields; a missing or empty field gives the
  // default, a field without a number 0.
  int32_t FieldInt(int32_t index, int32_t defaultValue) const noexcept;
  // The first byte, unsigned: 1 to 255.
  int32_t FieldChar(int32_t index, int32_t defaultValue) const noexcept;
  // The first decimal symbol of the field reads as '.'.
  double FieldDouble(int32_t index, double defaultValue) noexcept;
  // The field's text; "" for a missing field.
  const char* FieldText(int32_t index) const noexcept {
    return index >= 0 && index < fieldCount_ ? fields_[index] : "";
  }
  // Length of the field's text; 0 for a missing field.
  size_t FieldLength(int32_t index) const noexcept {
    return index >= 0 && index < fieldCount_ ? fieldLengths_[index] : 0;
  }

  // What CopyField does with the first decimal symbol of a field: keeps it
  // as the file wrote it, or writes it as '.', the point FieldDouble reads.
  enum class DecimalSymbolAs { kWritten, kPoint };
  // Copies field `index` into the text field `dest` of `size` bytes by the
  // long-text rule (text_field.h). A missing field writes only a NUL at
  // byte 0. Throws std::bad_alloc when the store cannot keep a full text.
  void CopyField(char* dest, int32_t index, size_t size,
                 DecimalSymbolAs symbol = DecimalSymbolAs::kWritten);

  // What the check reading shows of a line; the import itself asks none of
  // these. The current line as read, without its LF (a key line holds NULs
  // where its '=' and its TABs were), valid until the next read; its length
  // with the LF.
  std::string_view LineText() const noexcept;
  size_t LineLength() const noexcept { return lineLength_; }
  // Bytes of field `index` up to the TAB or the line end after it: a NUL
  // in the field ends its text, not its extent.
  size_t FieldExtent(int32_t index) const noexcept;
  // How many bytes of the field FieldInt and FieldDouble read (numbers.h).
  size_t FieldIntegerLength(int32_t index) const noexcept;
  size_t FieldNumberLength(int32_t index) noexcept;

 private:
  // A line is scanned 16 or 32 bytes at a time, past its end.
  static constexpr size_t kScanPadding = 32;

  bool Refill();
  int32_t TakeLine(char* start, size_t lineFeed, size_t equalsAt, bool tabOrNul) noexcept;
  int32_t KeyLine(char* line, size_t length, size_t equalsAt, bool tabOrNul) noexcept;
  int32_t SplitKeyLine(char* value, char* end) noexcept;
  int32_t OtherLine(const char* line, size_t length) noexcept;
  bool HasText(int32_t index) const noexcept {
    return index >= 0 && index < fieldCount_ && fields_[index][0] != '\0';
  }

  InputFile& input_;
  LongTextStore& store_;
  std::vector<char, ModuleAllocator<char>> buffer_;
  int64_t base_ = 0;     // input offset of buffer_[0]
  size_t begin_ = 0;     // unread bytes are buffer_[begin_, end_)
  size_t end_ = 0;
  bool ended_ = true;    // no more chunks: end of input, a read error, or 0x1A

  int32_t kind_ = kEndOfFile;
  size_t lineLength_ = 0;
  int64_t lineOffset_ = 0;
  const char* keyText_ = "";
  size_t keyLength_ = 0;
  Key key_ = Key::kUnknown;
  int32_t fieldCount_ = 0;
  char* fields_[kMaxFields] = {};
  size_t fieldLengths_[kMaxFields] = {};  // up to the first NUL
  char decimalSymbol_ = '.';
};

}  // namespace imp

#endif  // IMPORDANO_READER_LINE_READER_H_
