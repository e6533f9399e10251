// LineReader: reads the estimate file one line at a time, classifies each
// line, and splits key lines and numbered section headers into fields.
//
// Line grammar (bytes compared exactly, case-sensitive, nothing trimmed):
//   "[Plik]\n"              FileHeader       "[Kosztorys]\n"  EstimateHeader
//   "[Element " ...         ElementHeader    "[Pozycja " ...  PositionHeader
//   "[RMS " ...             ResourceHeader
//   any line holding '=' and ending in LF: KeyLine (tested before headers)
//   a read of nothing: EndOfFile; bytes without a LF: UnterminatedLine
//   every other line with a LF: OtherLine
//
// A key line "key=f0<TAB>f1..." has `key` (the text before the first '=',
// at most 63 bytes) and the TAB-separated fields of its value; an empty
// value has no fields. A header's number "1.2.3]\n" splits at every '.'
// into fields "1", "2" and "3]\n". At most 10 fields: the tenth keeps the
// rest of the line, separators included.
//
// Fields point into the line buffer and stay valid until the next read.
// Reading allocates nothing.
#ifndef IMPORDANO_READER_LINE_READER_H_
#define IMPORDANO_READER_LINE_READER_H_

#include <cstddef>
#include <cstdint>

#include "reader/input_stream.h"
#include "reader/long_text_store.h"

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
  static constexpr size_t kLineBufferSize = 9192;  // a line of 9191 bytes and its NUL
  static constexpr size_t kKeySize = 64;
  static constexpr int32_t kMaxFields = 10;

  // The stream to read and the store that keeps cut texts.
  void Attach(InputStream* input, LongTextStore* store) noexcept {
    input_ = input;
    store_ = store;
  }

  // Reads and classifies the next line.
  int32_t ReadLine() noexcept;
  // Reads the next line without classifying it; false at the end of input.
  bool ReadRawLine() noexcept;
  // Whether the line last read is exactly `text` (its LF included).
  bool LineIs(const char* text) const noexcept;

  // Getters of the current line's fields; a missing or empty field gives
  // the default. FieldDouble first turns the field's first decimal symbol
  // into '.', in place.
  int32_t FieldInt(int32_t index, int32_t defaultValue) const noexcept;
  int32_t FieldChar(int32_t index, int32_t defaultValue) const noexcept;
  double FieldDouble(int32_t index, double defaultValue) noexcept;
  // 1 when `key` begins with `prefix`, with *number the integer after it.
  int32_t KeyHasPrefix(const char* prefix, int32_t* number) const noexcept;
  bool KeyIs(const char* name) const noexcept;

  // Copies field `index` into a text field of `size` bytes. With
  // `keepLongText`, a text of `size` bytes or more keeps its first size-5
  // bytes and a NUL, and the last 4 bytes get the address of the full text
  // in the store; a text of exactly size-5 bytes gets a 0 address. Without
  // it, a long text is cut to size-1 bytes. A missing field writes only a
  // NUL at byte 0. Returns false when the store ran out of memory (the slot
  // then holds 0).
  bool CopyTextField(char* dest, int32_t index, int32_t size, int32_t keepLongText) noexcept;

  char key[kKeySize] = {};
  int32_t fieldCount = 0;
  char* fields[kMaxFields] = {};
  // The file's decimal separator; kept from one import to the next.
  char decimalSymbol = '.';

 private:
  void SplitFields(char* start, char* end, char separator) noexcept;

  InputStream* input_ = nullptr;
  LongTextStore* store_ = nullptr;
  char line_[kLineBufferSize] = {};
  size_t lineLength_ = 0;
  size_t keyLength_ = 0;  // bytes of `key` before its NUL, NUL bytes of the line included
};

}  // namespace imp

#endif  // IMPORDANO_READER_LINE_READER_H_
