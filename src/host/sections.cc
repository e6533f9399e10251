#include "host/sections.h"

namespace imp {
namespace {

// Reads the key lines after a "[Plik]" header; "Symbol dziesi\xEAtny" sets
// the decimal symbol from there on.
void ReadFileSection(LineReader& reader) {
  while (reader.ReadLine() == kKeyLine) {
    if (reader.KeyOf() == Key::kDecimalSymbol) {
      reader.SetDecimalSymbol(static_cast<char>(reader.FieldChar(0, '.')));
    }
  }
}

// Skips a line that fits no section (a key line where a header is due, an
// over-long line, any other line) and the key lines after it.
void SkipStrayLines(LineReader& reader) {
  while (reader.ReadLine() == kKeyLine) {
  }
}

}  // namespace

int32_t NextSection(LineReader& reader) {
  for (;;) {
    switch (const int32_t kind = reader.Kind()) {
      case kEstimateHeader:
      case kElementHeader:
      case kPositionHeader:
      case kResourceHeader:
      case kEndOfFile:
        return kind;
      case kFileHeader:
        ReadFileSection(reader);
        break;
      default:
        SkipStrayLines(reader);
        break;
    }
  }
}

}  // namespace imp
