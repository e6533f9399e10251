// What both readings of a file do alike with the lines that build no
// record: the file section, which may name the file's decimal symbol, and
// stray lines.
#ifndef IMPORDANO_HOST_SECTIONS_H_
#define IMPORDANO_HOST_SECTIONS_H_

#include "reader/line_reader.h"

namespace imp {

// Reads the key lines after a "[Plik]" header; "Symbol dziesi\xEAtny" sets
// the decimal symbol from there on.
void ReadFileSection(LineReader& reader);
// Skips a line that fits no section (a key line where a header is due, an
// over-long line, any other line) and the key lines after it.
void SkipStrayLines(LineReader& reader);

}  // namespace imp

#endif  // IMPORDANO_HOST_SECTIONS_H_
