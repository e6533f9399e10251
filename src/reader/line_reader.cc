#include "reader/line_reader.h"

#include <cstring>

#include "reader/numbers.h"
#include "support/memory.h"

namespace imp {
namespace {

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

}  // namespace

bool LineReader::ReadRawLine() noexcept {
  lineLength_ = input_ != nullptr ? input_->ReadLine(line_, kLineBufferSize - 1) : 0;
  line_[lineLength_] = '\0';
  return lineLength_ > 0;
}

bool LineReader::LineIs(const char* text) const noexcept {
  const size_t length = std::strlen(text);
  return length == lineLength_ && std::memcmp(line_, text, length) == 0;
}

int32_t LineReader::ReadLine() noexcept {
  fieldCount = 0;
  if (!ReadRawLine()) return kEndOfFile;
  if (line_[lineLength_ - 1] != '\n') return kUnterminatedLine;

  char* const lineFeed = line_ + lineLength_ - 1;
  if (auto* equals = static_cast<char*>(std::memchr(line_, '=', lineLength_ - 1))) {
    *lineFeed = '\0';
    *equals = '\0';
    size_t keyLength = static_cast<size_t>(equals - line_);
    if (keyLength > kKeySize - 1) keyLength = kKeySize - 1;
    std::memcpy(key, line_, keyLength);
    key[keyLength] = '\0';
    keyLength_ = keyLength;
    if (equals + 1 != lineFeed) SplitFields(equals + 1, lineFeed, '\t');
    return kKeyLine;
  }

  key[0] = '\0';
  keyLength_ = 0;
  if (LineIs("[Plik]\n")) return kFileHeader;
  if (LineIs("[Kosztorys]\n")) return kEstimateHeader;
  for (const HeaderPrefix& header : kNumberedHeaders) {
    if (lineLength_ >= header.length && std::memcmp(line_, header.text, header.length) == 0) {
      SplitFields(line_ + header.length, line_ + lineLength_, '.');
      return header.kind;
    }
  }
  return kOtherLine;
}

// Splits the text from `start` to `end` (a NUL) into fields at every
// `separator`: TABs in a key line's value, full stops in a header number,
// whose last part keeps the closing bracket and the LF (the integer getter
// stops there). The tenth field keeps the rest, separators included.
void LineReader::SplitFields(char* start, char* end, char separator) noexcept {
  fields[0] = start;
  fieldCount = 1;
  char* p = start;
  while (fieldCount < kMaxFields) {
    auto* found = static_cast<char*>(std::memchr(p, separator, static_cast<size_t>(end - p)));
    if (found == nullptr) break;
    *found = '\0';
    p = found + 1;
    fields[fieldCount++] = p;
  }
}

int32_t LineReader::FieldInt(int32_t index, int32_t defaultValue) const noexcept {
  if (index < 0 || index >= fieldCount || fields[index][0] == '\0') return defaultValue;
  return ParseInt(fields[index]);
}

int32_t LineReader::FieldChar(int32_t index, int32_t defaultValue) const noexcept {
  if (index < 0 || index >= fieldCount || fields[index][0] == '\0') return defaultValue;
  return static_cast<unsigned char>(fields[index][0]);
}

double LineReader::FieldDouble(int32_t index, double defaultValue) noexcept {
  if (index < 0 || index >= fieldCount || fields[index][0] == '\0') return defaultValue;
  char* field = fields[index];
  if (decimalSymbol != '.') {
    if (char* separator = std::strchr(field, decimalSymbol)) *separator = '.';
  }
  return ParseDouble(field);
}

int32_t LineReader::KeyHasPrefix(const char* prefix, int32_t* number) const noexcept {
  const size_t length = std::strlen(prefix);
  if (std::strncmp(key, prefix, length) != 0) return 0;
  *number = ParseInt(key + length);
  return 1;
}

// The whole key counts, NUL bytes in it included: "Nazwa\0x" is not "Nazwa".
bool LineReader::KeyIs(const char* name) const noexcept {
  return std::strlen(name) == keyLength_ && std::memcmp(key, name, keyLength_) == 0;
}

bool LineReader::CopyTextField(char* dest, int32_t index, int32_t size,
                               int32_t keepLongText) noexcept {
  if (index < 0 || index >= fieldCount) {
    dest[0] = '\0';
    return true;
  }
  const char* text = fields[index];
  const size_t length = std::strlen(text);
  const size_t n = static_cast<size_t>(size);
  if (length < n) {
    std::memcpy(dest, text, length + 1);
    if (keepLongText && length == n - 5) WriteSlot(dest + n - 4, nullptr);
    return true;
  }
  if (!keepLongText) {
    std::memcpy(dest, text, n - 1);
    dest[n - 1] = '\0';
    return true;
  }
  std::memcpy(dest, text, n - 5);
  dest[n - 5] = '\0';
  const char* full = store_ != nullptr ? store_->Keep(text, length) : nullptr;
  WriteSlot(dest + n - 4, full);
  return full != nullptr;
}

}  // namespace imp
