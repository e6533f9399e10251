// The one dispatcher of sections that both readings of a file use, and the
// one reader of the file section. Lines that build no record are handled
// here alike for both readings: the file section, which may name the
// file's decimal symbol, and stray lines.
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

namespace imp {

// Reads the key lines after a "[Plik]" header, up to the first line that is
// not one. The decimal symbol it names ("Symbol dziesi\xEAtny") becomes the
// reader's when `symbol` is kTaken, and stays in force from there on, in
// later files too; the description ("Opis") is copied into `description`,
// a text field of `descriptionSize` bytes, when one is given. The
// description is for showing only: when the store cannot keep its full
// text it stays cut, without the full text's address. Throws
// std::bad_alloc only where reading a line does (a pipe's kept bytes).
enum class FileDecimalSymbol { kTaken, kLeft };
void ReadFileSection(LineReader& reader, FileDecimalSymbol symbol, char* description = nullptr,
                     size_t descriptionSize = 0);

// Reads on from the current line to the next header of a section that
// builds a record, or to the end of the input, and returns its kind
// (kEstimateHeader, kElementHeader, kPositionHeader, kResourceHeader or
// kEndOfFile). With the reader at such a line already, reads nothing.
int32_t NextSection(LineReader& reader);

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
