// Command-line options of impordano-dump.
#ifndef IMPORDANO_DUMP_OPTIONS_H_
#define IMPORDANO_DUMP_OPTIONS_H_

#include <string>
#include <vector>

#include "page_words.h"

namespace impdump {

enum class Mode { kRecords, kDescribe, kRaw, kHtml, kXlsx, kCheck, kHelp, kVersion };

struct Options {
  Mode mode = Mode::kRecords;
  bool all = false;     // reserved fields too (JSON)
  bool pretty = false;  // indented JSON instead of one line a record
  bool json = false;    // --check: JSON Lines instead of sentences
  imppage::Language language = imppage::Language::kPolish;  // of the page, the workbook, the findings
  std::string library;  // empty: the module built or installed with the tool
  std::string output;   // empty: standard output
  std::string file;
};

// Parses the arguments after the program name. On a usage error returns
// false and sets *error.
bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error);

// The --help text.
std::string UsageText();

// Exit codes.
constexpr int kExitOk = 0;
constexpr int kExitCannotRead = 1;       // file or module cannot be opened
constexpr int kExitNotAnEstimate = 2;    // the file is no estimate export
constexpr int kExitImportFailed = 3;     // the module failed while importing
constexpr int kExitCannotWrite = 4;      // the output cannot be written
constexpr int kExitPassedOver = 6;       // --check: the import passes something over
constexpr int kExitUsage = 64;           // bad command line

}  // namespace impdump

#endif  // IMPORDANO_DUMP_OPTIONS_H_
