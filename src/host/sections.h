// The one dispatcher of sections that every reading of a file uses, and
// the one reader of the file section. Lines that build no record are
// handled here alike for every reading: the file section, which may name
// the file's decimal symbol, and stray lines.
#ifndef IMPORDANO_HOST_SECTIONS_H_
#define IMPORDANO_HOST_SECTIONS_H_

#include <cstddef>
#include <cstdint>

#include "impordano.h"
#include "reader/line_reader.h"
#include "records/element_record.h"
#include "records/estimate_record.h"
#include "records/position_record.h"
#include "records/resource_record.h"
#include "records/section_reading.h"

namespace imp {

// Room of the file's description: ImpKosztDescr's 256-byte text field.
constexpr size_t kDescriptionSize = 256;
using DescriptionField = char[kDescriptionSize];

// Reads the key lines after a "[Plik]" header by `reading`, up to the first
// line that is not one. The decimal symbol it names ("Symbol
// dziesi\xEAtny") becomes the reader's when `symbol` is kTaken, and stays
// in force from there on, in later files too; the description ("Opis") is
// copied into `description`, when one is given, and passed over otherwise.
// The description is for showing only: when the store cannot keep its full
// text it stays cut, without the full text's address. Throws
// std::bad_alloc only where reading a line does (a pipe's kept bytes).
enum class FileDecimalSymbol { kTaken, kLeft };
template <class Reading>
void ReadFileSection(Reading& reading, FileDecimalSymbol symbol,
                     DescriptionField* description = nullptr) {
  LineReader& reader = reading.Reader();
  while (reading.ReadLine() == kKeyLine) {
    switch (reader.KeyOf()) {
      case Key::kDecimalSymbol: {
        const char decimalSymbol = static_cast<char>(reading.Char(0, '.'));
        if (symbol == FileDecimalSymbol::kTaken) reader.SetDecimalSymbol(decimalSymbol);
        break;
      }
      case Key::kDescription:
        if (description == nullptr) {
          reading.KeyPassedOver();
          break;
        }
        try {
          reading.Text(*description, 0);
        } catch (...) {  // std::bad_alloc: the field holds the cut text and a 0 slot
        }
        break;
      default:
        reading.KeyPassedOver();
        break;
    }
  }
}

// Skips the key lines after a line that fits no section (a key line where
// a header is due, an over-long line, any other line).
template <class Reading>
void SkipStrayLines(Reading& reading) {
  while (reading.ReadLine() == kKeyLine) reading.KeyOutsideSection();
}

// Reads on from the current line to the next header of a section that
// builds a record, or to the end of the input, and returns its kind
// (kEstimateHeader, kElementHeader, kPositionHeader, kResourceHeader or
// kEndOfFile). With the reader at such a line already, reads nothing.
template <class Reading>
int32_t NextSection(Reading& reading) {
  for (;;) {
    switch (const int32_t kind = reading.Reader().Kind()) {
      case kEstimateHeader:
      case kElementHeader:
      case kPositionHeader:
      case kResourceHeader:
      case kEndOfFile:
        return kind;
      case kFileHeader:
        ReadFileSection(reading, FileDecimalSymbol::kTaken);
        break;
      default:
        SkipStrayLines(reading);
        break;
    }
  }
}

// Reads the section of `kind` (as NextSection gave it) by `reading` into
// `record`, which has room for IMP_MAX_RECORD_SIZE bytes; returns the
// record's token type.
template <class Reading>
int32_t ReadSection(int32_t kind, void* record, Reading& reading) {
  switch (kind) {
    case kEstimateHeader:
      ReadEstimate(static_cast<EstimateRecord*>(record), reading);
      return IMP_TOKEN_ESTIMATE;
    case kElementHeader:
      ReadElement(static_cast<ElementRecord*>(record), reading);
      return IMP_TOKEN_ELEMENT;
    case kPositionHeader:
      ReadPosition(static_cast<PositionRecord*>(record), reading);
      return IMP_TOKEN_POSITION;
    default:
      ReadResource(static_cast<ResourceRecord*>(record), reading);
      return IMP_TOKEN_RESOURCE;
  }
}

}  // namespace imp

#endif  // IMPORDANO_HOST_SECTIONS_H_
