#include "host/sections.h"

namespace imp {

void ReadFileSection(LineReader& reader, FileDecimalSymbol symbol, char* description,
                     size_t descriptionSize) {
  while (reader.ReadLine() == kKeyLine) {
    switch (reader.KeyOf()) {
      case Key::kDecimalSymbol:
        if (symbol == FileDecimalSymbol::kTaken) {
          reader.SetDecimalSymbol(static_cast<char>(reader.FieldChar(0, '.')));
        }
        break;
      case Key::kDescription:
        if (description == nullptr) break;
        try {
          reader.CopyField(description, 0, descriptionSize);
        } catch (...) {  // std::bad_alloc: the field holds the cut text and a 0 slot
        }
        break;
      default:
        break;
    }
  }
}

namespace {

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
        ReadFileSection(reader, FileDecimalSymbol::kTaken);
        break;
      default:
        SkipStrayLines(reader);
        break;
    }
  }
}

}  // namespace imp
