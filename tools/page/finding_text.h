// A finding of the import check (check/import_check.h) in words: its kind's
// stable name, its sentence in the page's language, the file's texts made
// visible. impordano-dump --check and the page's section of the findings
// say a finding alike.
#ifndef IMPORDANO_PAGE_FINDING_TEXT_H_
#define IMPORDANO_PAGE_FINDING_TEXT_H_

#include <string>
#include <string_view>

#include "check/import_check.h"
#include "page_words.h"

namespace imppage {

// The kind's name in the JSON Lines of --check and in the README:
// "keyNotRead", "readPartly", ...
const char* KindCode(imp::PassedOver kind);

// A text of the file (Windows-1250) in UTF-8, each control character shown
// as its symbol (U+2400 + code; U+2421 for DEL), so that a TAB or a NUL
// byte stays visible on a line of text.
std::string VisibleText(std::string_view cp1250);

// What the host gets, as the sentence names it: a number as ExactNumber
// writes it, an integer, or a letter in quotes.
std::string TakenText(const imp::Finding& finding);

// The sentence of the finding (UTF-8), without its line and section.
std::string FindingSentence(const imp::Finding& finding, const PageWords& words);

}  // namespace imppage

#endif  // IMPORDANO_PAGE_FINDING_TEXT_H_
