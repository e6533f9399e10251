#include "host/sections.h"

namespace imp {

void ReadFileSection(LineReader& reader) {
  while (reader.ReadLine() == kKeyLine) {
    if (reader.KeyOf() == Key::kDecimalSymbol) {
      reader.SetDecimalSymbol(static_cast<char>(reader.FieldChar(0, '.')));
    }
  }
}

void SkipStrayLines(LineReader& reader) {
  while (reader.ReadLine() == kKeyLine) {
  }
}

}  // namespace imp
